// Opening the port a command was given, with a clear message when it fails.
#pragma once

#include <string>

class CSerial;

namespace cli {

// Opens port on name. Returns why it does not open ("cannot open port
// NAME: REASON"), or empty when it opened.
std::string OpenPort(CSerial& port, const std::string& name);

// After an operation that opens the port itself has failed: why the port
// does not open, as OpenPort says it; or, when it opens after all, empty
// (the port is closed again).
std::string PortFailure(CSerial& port, const std::string& name);

// Opens port on name; on failure prints "wizard-cli: cannot open port NAME:
// REASON" to stderr and returns false.
bool OpenPortOrReport(CSerial& port, const std::string& name);

// After an operation that opens the port itself has failed: prints why
// the port does not open, as OpenPortOrReport does, and returns true; or,
// when it opens after all, closes it again and returns false.
bool ReportPortFailure(CSerial& port, const std::string& name);

// The text of a modem answer for a terminal: carriage returns dropped,
// blank lines at both ends removed.
std::string Printable(const std::string& answer);

}  // namespace cli
