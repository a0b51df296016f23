// The system's own millisecond clock and sleep, under the seam of
// platform/clock.h (internal to platform/).
#pragma once

#include "platform/types.h"

namespace platform {

// Milliseconds of a monotonic clock from an arbitrary start; wraps.
DWORD SystemTickCount();

// Suspends the calling thread for ms milliseconds.
void SystemSleep(DWORD ms);

}  // namespace platform
