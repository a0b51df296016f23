#include "tools/modemsim/pty_endpoint.h"

#include "platform/stop_signal.h"

namespace modemsim {

long PtyEndpoint::Read(void* buffer, std::size_t count, DWORD timeoutMs) {
    long n = pty_.Read(buffer, count, timeoutMs);
    if (n < 0) {
        // The master only fails when it is gone; treat it as a stop rather
        // than spinning on the error.
        platform::RequestStop();
        return 0;
    }
    return n;
}

std::size_t PtyEndpoint::Write(const void* data, std::size_t count, DWORD timeoutMs) {
    return pty_.Write(data, count, timeoutMs);
}

bool PtyEndpoint::HostSpeed(unsigned* baud) {
    return pty_.HostLineSpeed(baud);
}

bool PtyEndpoint::Stopped() {
    return vanished_ || platform::StopRequested();
}

void PtyEndpoint::Vanish() {
    // Without its master the slave is hung up: the host's reads end and
    // its writes fail, as on a serial port whose device was unplugged.
    pty_.Close();
    vanished_ = true;
}

void PtyEndpoint::Pause(DWORD ms) {
    if (!vanished_) {
        platform::SleepUnlessStopped(ms);
    }
}

}  // namespace modemsim
