#include "wizard/cli/port_access.h"

#include <iostream>

#include "platform/device_users.h"
#include "platform/serial_port.h"
#include "serial/answer_text.h"
#include "serial/serial.h"
#include "wizard/cli/port_failure.h"

namespace cli {

void PrintFailure(const std::string& head, const PortFailure& failure) {
    std::cerr << head << failure.reason << "\n";
    if (!failure.hint.empty()) {
        std::cerr << "wizard-cli: " << failure.hint << "\n";
    }
}

bool OpenPort(CSerial& port, const std::string& name, PortFailure* failure) {
    if (!port.SetPortName(name) || !port.Open()) {
        *failure = ExplainPortFailure(name, platform::GetLastError());
        failure->reason = "cannot open port " + name + ": " + failure->reason;
        return false;
    }
    return true;
}

bool PortRefused(CSerial& port, const std::string& name, PortFailure* failure) {
    if (!OpenPort(port, name, failure)) {
        return true;
    }
    port.Close();
    return false;
}

bool OpenPortOrReport(CSerial& port, const std::string& name) {
    PortFailure failure;
    if (!OpenPort(port, name, &failure)) {
        PrintFailure("wizard-cli: ", failure);
        return false;
    }
    return true;
}

bool RefusedPort(const std::string& name, PortFailure* failure) {
    CSerial port;
    if (port.SetPortName(name) && port.Open()) {
        port.Close();
        return false;
    }
    const DWORD error = platform::GetLastError();
    if (platform::ClassifyOpenError(error) == platform::OpenRefusal::kOther) {
        return false;
    }
    *failure = ExplainPortFailure(name, error);
    return true;
}

bool ReportRefusedPort(const std::string& name) {
    PortFailure failure;
    if (!RefusedPort(name, &failure)) {
        return false;
    }
    PrintFailure("wizard-cli: port " + name + ": ", failure);
    return true;
}

bool ReportPortFailure(CSerial& port, const std::string& name) {
    PortFailure failure;
    if (PortRefused(port, name, &failure)) {
        PrintFailure("wizard-cli: ", failure);
        return true;
    }
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
