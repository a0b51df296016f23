// The monotonic clock of the C++ library (CLOCK_MONOTONIC) and its sleep.
#include <chrono>
#include <thread>

#include "platform/system_clock.h"

namespace platform {

DWORD SystemTickCount() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SystemSleep(DWORD ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
