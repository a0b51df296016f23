// A clock for tests: time moves only when somebody sleeps or waits, so waits
// of minutes take microseconds and every run sees the same times.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace platform::testing {

class VirtualClock : public ClockSource {
  public:
    explicit VirtualClock(std::uint64_t startMs = 1000) : now_(startMs) {}

    DWORD Now() override { return static_cast<DWORD>(now_.load()); }
    void Sleep(DWORD ms) override { now_ += ms; }

    std::uint64_t Now64() const { return now_.load(); }
    void Advance(std::uint64_t ms) { now_ += ms; }
    // Moves the clock forward to t (never backwards).
    void AdvanceTo(std::uint64_t t) {
        std::uint64_t current = now_.load();
        while (t > current && !now_.compare_exchange_weak(current, t)) {
        }
    }

  private:
    std::atomic<std::uint64_t> now_;
};

// Installs a virtual clock for the lifetime of the object.
class ScopedVirtualClock {
  public:
    explicit ScopedVirtualClock(std::uint64_t startMs = 1000) : clock_(startMs) {
        SetClockSource(&clock_);
    }
    ~ScopedVirtualClock() { SetClockSource(nullptr); }
    ScopedVirtualClock(const ScopedVirtualClock&) = delete;
    ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;

    VirtualClock& clock() { return clock_; }
    std::uint64_t Now() const { return clock_.Now64(); }

  private:
    VirtualClock clock_;
};

}  // namespace platform::testing
