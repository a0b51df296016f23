// Opening the port a command was given, with a clear message when it fails.
#pragma once

#include <string>

#include "wizard/cli/port_failure.h"

class CSerial;

namespace cli {

// Opens port on name. False when it does not open, with *failure saying
// why: "cannot open port NAME: REASON" and a hint.
bool OpenPort(CSerial& port, const std::string& name, PortFailure* failure);

// After an operation that opens the port itself has failed: true, with
// *failure as OpenPort gives it, when the port does not open; false when it
// opens after all (it is closed again).
bool PortRefused(CSerial& port, const std::string& name, PortFailure* failure);

// Prints head and the failure's reason to stderr, and its hint below.
void PrintFailure(const std::string& head, const PortFailure& failure);

// Opens port on name; on failure prints "wizard-cli: cannot open port NAME:
// REASON" to stderr and returns false.
bool OpenPortOrReport(CSerial& port, const std::string& name);

// After an operation that opens the port itself has failed: prints why
// the port does not open, as OpenPortOrReport does, and returns true; or,
// when it opens after all, closes it again and returns false.
bool ReportPortFailure(CSerial& port, const std::string& name);

// For a port that another program holds or the user may not open: true,
// with *failure saying who or why. A port that opens, or fails for another
// reason, is left as it was.
bool RefusedPort(const std::string& name, PortFailure* failure);

// The same, printed as "wizard-cli: port NAME: REASON" (and a hint) on stderr.
bool ReportRefusedPort(const std::string& name);

// The text of a modem answer for a terminal: carriage returns dropped,
// blank lines at both ends removed.
std::string Printable(const std::string& answer);

}  // namespace cli
