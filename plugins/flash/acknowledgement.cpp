#include "plugins/flash/acknowledgement.h"

#include "platform/clock.h"
#include "plugins/flash/flash_trace.h"
#include "serial/serial.h"

namespace flinta {
namespace {

// Milliseconds left until deadline, 0 when it has passed (wrap-safe).
DWORD Until(DWORD deadline) {
    int left = static_cast<int>(deadline - platform::GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

bool EndsWithOk(const std::string& text) {
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "OK") == 0;
}

}  // namespace

Acknowledgement WaitForAcknowledgement(CSerial* port, std::string* answer, DWORD timeoutMs) {
    const DWORD deadline = platform::GetTickCount() + timeoutMs;
    std::string collected;
    Acknowledgement result = Acknowledgement::kNone;
    bool refusing = false;  // "NOK" came; its line is read to the end
    for (DWORD left = timeoutMs; left > 0; left = Until(deadline)) {
        std::string byte;
        if (port->ReadTimeout(byte, 1, left, 0) == 0) {
            break;  // time is up, or the port failed
        }
        collected += byte;
        if (refusing) {
            if (byte[0] == '\r' || byte[0] == '\n') {
                break;
            }
        } else if (EndsWithOk(collected)) {
            if (collected.size() >= 3 && collected[collected.size() - 3] == 'N') {
                result = Acknowledgement::kRefused;
                refusing = true;
            } else {
                result = Acknowledgement::kOk;
                break;
            }
        }
    }
    switch (result) {
        case Acknowledgement::kOk:
            Trace("FLASH: acknowledged\n");
            break;
        case Acknowledgement::kRefused:
            Trace("FLASH: refused: %s\n", collected.c_str());
            break;
        case Acknowledgement::kNone:
            if (port->DeviceGone()) {
                Trace("FLASH: no acknowledgement, the modem is gone\n");
            } else {
                Trace("FLASH: no acknowledgement within %d ms\n", static_cast<int>(timeoutMs));
            }
            break;
    }
    if (answer != nullptr) {
        *answer = collected;
    }
    return result;
}

}  // namespace flinta
