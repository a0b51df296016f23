// Opening the port a command was given, with a clear message when it fails.
#pragma once

#include <string>

class CSerial;

namespace cli {

// Opens port on name; on failure prints "wizard-cli: cannot open port NAME:
// REASON" to stderr and returns false.
bool OpenPortOrReport(CSerial& port, const std::string& name);

// After an operation that opens the port itself has failed: prints why
// the port does not open, as OpenPortOrReport does, and returns true; or,
// when it opens after all, closes it again and returns false.
bool ReportPortFailure(CSerial& port, const std::string& name);

// For a port that another program holds or the user may not open: prints
// "wizard-cli: port NAME: REASON" (and a hint) to stderr and returns true.
// A port that opens, or fails for another reason, is left as it was.
bool ReportRefusedPort(const std::string& name);

// The text of a modem answer for a terminal: carriage returns dropped,
// blank lines at both ends removed.
std::string Printable(const std::string& answer);

}  // namespace cli
