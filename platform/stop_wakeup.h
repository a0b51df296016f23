// The system's side of platform/stop_signal.h (internal to platform/): how a
// stop request wakes a sleeping thread.
#pragma once

#include "platform/types.h"

namespace platform {

// Marks that a stop was requested; safe in a signal handler.
void NoteStopRequest();

// Wakes every thread in WaitForStopWakeup.
void WakeStopWaiters();

// Sleeps up to ms, or until WakeStopWaiters. False at once when nothing can
// wake a sleeper yet (the handlers are not installed): the caller sleeps.
bool WaitForStopWakeup(DWORD ms);

}  // namespace platform
