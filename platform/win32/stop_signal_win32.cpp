// Ctrl-C, Ctrl-Break and the closing console through SetConsoleCtrlHandler:
// the handler (which runs on a thread of its own) sets the flag and an
// event that waiters sleep on.
#include "platform/win32/windows_api.h"

#include <atomic>
#include <mutex>

#include "platform/clock.h"
#include "platform/stop_signal.h"

namespace platform {
namespace {

std::atomic<bool> g_stop{false};
HANDLE g_event = nullptr;
std::once_flag g_once;
bool g_installed = false;

void Stop() {
    g_stop.store(true);
    if (g_event != nullptr) {
        ::SetEvent(g_event);
    }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            Stop();
            return TRUE;
        default:
            return FALSE;
    }
}

void Install() {
    g_event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_installed = g_event != nullptr && ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != 0;
}

}  // namespace

bool InstallStopSignals() {
    std::call_once(g_once, Install);
    return g_installed;
}

bool StopRequested() {
    return g_stop.load();
}

void RequestStop() {
    Stop();
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
        if (g_event == nullptr || GetClockSource() != nullptr) {
            Sleep(left);
            continue;
        }
        ::WaitForSingleObject(g_event, left);
    }
}

}  // namespace platform
