// The descriptor that becomes readable on a stop request, so that poll-based
// waits elsewhere in platform/posix wake up at once (internal).
#pragma once

namespace platform::posix {

// -1 until InstallStopSignals has run.
int StopSignalFd();

}  // namespace platform::posix
