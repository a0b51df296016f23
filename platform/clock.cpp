#include "platform/clock.h"

#include <atomic>

#include "platform/system_clock.h"

namespace platform {
namespace {

std::atomic<ClockSource*> g_source{nullptr};

const DWORD g_start = SystemTickCount();

}  // namespace

DWORD GetTickCount() {
    if (ClockSource* source = g_source.load()) {
        return source->Now();
    }
    // Start at 1 so that no caller ever sees a tick of 0 as "unset".
    return SystemTickCount() - g_start + 1;
}

void Sleep(DWORD ms) {
    if (ClockSource* source = g_source.load()) {
        source->Sleep(ms);
        return;
    }
    SystemSleep(ms);
}

void SetClockSource(ClockSource* source) {
    g_source.store(source);
}

ClockSource* GetClockSource() {
    return g_source.load();
}

}  // namespace platform
