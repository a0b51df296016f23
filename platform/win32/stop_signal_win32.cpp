// Ctrl-C, Ctrl-Break and the closing console through SetConsoleCtrlHandler:
// the handler (which runs on a thread of its own) notes the request and
// sets the event that waiters sleep on.
#include "platform/win32/windows_api.h"

#include <mutex>

#include "platform/stop_signal.h"
#include "platform/stop_wakeup.h"

namespace platform {
namespace {

HANDLE g_event = nullptr;
std::once_flag g_once;
bool g_installed = false;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            RequestStop();
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

void WakeStopWaiters() {
    if (g_event != nullptr) {
        ::SetEvent(g_event);
    }
}

bool WaitForStopWakeup(DWORD ms) {
    if (g_event == nullptr) {
        return false;
    }
    ::WaitForSingleObject(g_event, ms);
    return true;
}

}  // namespace platform
