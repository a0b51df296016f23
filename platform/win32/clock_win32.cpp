// The system's tick count and Sleep.
#include "platform/win32/windows_api.h"

#include "platform/system_clock.h"

namespace platform {

DWORD SystemTickCount() {
    return ::GetTickCount();
}

void SystemSleep(DWORD ms) {
    ::Sleep(ms);
}

}  // namespace platform
