#include "platform/port_names.h"

#include <algorithm>

#include "platform/clock.h"

namespace platform {
namespace {

// How often a vanished device's name is looked for.
constexpr DWORD kLookIntervalMs = 100;

}  // namespace

bool WaitForPortName(const std::string& name, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (PortNameExists(name)) {
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        Sleep(std::min(kLookIntervalMs, timeoutMs - elapsed));
    }
}

}  // namespace platform
