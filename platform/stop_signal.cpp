// Stop requests and the sleeps they cut short, alike on every system.
#include "platform/stop_signal.h"

#include <atomic>

#include "platform/clock.h"
#include "platform/stop_wakeup.h"

namespace platform {
namespace {

std::atomic<bool> g_stop{false};

}  // namespace

void NoteStopRequest() {
    g_stop.store(true);
}

bool StopRequested() {
    return g_stop.load();
}

void RequestStop() {
    NoteStopRequest();
    WakeStopWaiters();
}

bool SleepUnlessStopped(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (g_stop.load()) {
            return true;
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) {
            return false;
        }
        DWORD left = ms - elapsed;
        if (GetClockSource() != nullptr || !WaitForStopWakeup(left)) {
            Sleep(left);
        }
    }
}

}  // namespace platform
