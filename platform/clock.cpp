#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

std::atomic<ClockSource*> g_source{nullptr};

const std::chrono::steady_clock::time_point g_start = std::chrono::steady_clock::now();

}  // namespace

DWORD GetTickCount() {
    if (ClockSource* source = g_source.load()) {
        return source->Now();
    }
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    // Start at 1 so that no caller ever sees a tick of 0 as "unset".
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() + 1);
}

void Sleep(DWORD ms) {
    if (ClockSource* source = g_source.load()) {
        source->Sleep(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetClockSource(ClockSource* source) {
    g_source.store(source);
}

ClockSource* GetClockSource() {
    return g_source.load();
}

}  // namespace platform
