// Monotonic milliseconds and sleeping, with a seam that lets tests run
// minutes of protocol time in microseconds.
#pragma once

#include "platform/types.h"

namespace platform {

// Milliseconds since the process started (never since boot, so the 32-bit
// value does not wrap during any realistic run).
DWORD GetTickCount();

// Suspends the calling thread; the CPU stays idle.
void Sleep(DWORD ms);

// A replacement time source. While one is installed, GetTickCount and Sleep
// use it, and so does every wait inside the serial devices.
class ClockSource {
  public:
    virtual ~ClockSource() = default;
    virtual DWORD Now() = 0;
    virtual void Sleep(DWORD ms) = 0;
};

// Installs a clock source (nullptr restores the real clock). Not owned.
void SetClockSource(ClockSource* source);
ClockSource* GetClockSource();

}  // namespace platform
