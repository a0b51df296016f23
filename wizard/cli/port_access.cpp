#include "wizard/cli/port_access.h"

#include <iostream>

#include "platform/device_users.h"
#include "platform/serial_port.h"
#include "serial/answer_text.h"
#include "serial/serial.h"
#include "wizard/cli/port_failure.h"

namespace cli {

namespace {

void PrintFailure(const std::string& head, const PortFailure& failure) {
    std::cerr << head << failure.reason << "\n";
    if (!failure.hint.empty()) {
        std::cerr << "wizard-cli: " << failure.hint << "\n";
    }
}

}  // namespace

bool OpenPortOrReport(CSerial& port, const std::string& name) {
    if (!port.SetPortName(name) || !port.Open()) {
        PrintFailure("wizard-cli: cannot open port " + name + ": ",
                     ExplainPortFailure(name, platform::GetLastError()));
        return false;
    }
    return true;
}

bool ReportRefusedPort(const std::string& name) {
    CSerial port;
    if (port.SetPortName(name) && port.Open()) {
        port.Close();
        return false;
    }
    const DWORD error = platform::GetLastError();
    if (platform::ClassifyOpenError(error) == platform::OpenRefusal::kOther) {
        return false;
    }
    PrintFailure("wizard-cli: port " + name + ": ", ExplainPortFailure(name, error));
    return true;
}

bool ReportPortFailure(CSerial& port, const std::string& name) {
    if (!OpenPortOrReport(port, name)) {
        return true;
    }
    port.Close();
    return false;
}

std::string Printable(const std::string& answer) {
    std::string text;
    for (char c : answer) {
        if (c != '\r') {
            text += c;
        }
    }
    return Trim(text, "\n");
}

}  // namespace cli
