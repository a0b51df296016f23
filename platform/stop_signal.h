// Turning SIGTERM and SIGINT (on Windows: Ctrl-C, Ctrl-Break and closing
// the console) into a stop request that a long-running tool can notice at
// its next wait, so it can clean up (remove links, flush logs) instead of
// dying mid-write.
#pragma once

#include "platform/types.h"

namespace platform {

// Installs the handlers (idempotent). SIGPIPE is ignored from then on: a
// vanished reader shows up as a failed write, not as a dead process.
bool InstallStopSignals();

// True once SIGTERM or SIGINT has arrived.
bool StopRequested();

// Asks for a stop from inside the process, as the signals do.
void RequestStop();

// Sleeps up to ms; returns early when a stop is requested. True when the
// sleep was cut short by a stop request.
bool SleepUnlessStopped(DWORD ms);

}  // namespace platform
