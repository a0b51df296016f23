#include "wizard/cli/port_access.h"

#include <iostream>

#include "platform/serial_port.h"
#include "serial/answer_text.h"
#include "serial/serial.h"

namespace cli {

std::string OpenPort(CSerial& port, const std::string& name) {
    if (!port.SetPortName(name) || !port.Open()) {
        DWORD error = platform::GetLastError();
        return "cannot open port " + name + ": " +
               (name.empty() ? std::string("no port name given") : platform::ErrorText(error));
    }
    return {};
}

std::string PortFailure(CSerial& port, const std::string& name) {
    std::string why = OpenPort(port, name);
    if (why.empty()) {
        port.Close();
    }
    return why;
}

bool OpenPortOrReport(CSerial& port, const std::string& name) {
    const std::string why = OpenPort(port, name);
    if (!why.empty()) {
        std::cerr << "wizard-cli: " << why << "\n";
    }
    return why.empty();
}

bool ReportPortFailure(CSerial& port, const std::string& name) {
    const std::string why = PortFailure(port, name);
    if (!why.empty()) {
        std::cerr << "wizard-cli: " << why << "\n";
    }
    return !why.empty();
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
