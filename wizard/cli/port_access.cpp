#include "wizard/cli/port_access.h"

#include <iostream>

#include "platform/serial_port.h"
#include "serial/answer_text.h"
#include "serial/serial.h"

namespace cli {

bool OpenPortOrReport(CSerial& port, const std::string& name) {
    if (!port.SetPortName(name) || !port.Open()) {
        DWORD error = platform::GetLastError();
        std::cerr << "wizard-cli: cannot open port " << name << ": "
                  << (name.empty() ? std::string("no port name given") : platform::ErrorText(error))
                  << "\n";
        return false;
    }
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
