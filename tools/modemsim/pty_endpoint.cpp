#include "tools/modemsim/pty_endpoint.h"

#include "platform/stop_signal.h"

namespace modemsim {

PtyEndpoint::PtyEndpoint(std::unique_ptr<platform::PseudoTerminal> pty, std::string link,
                         unsigned baud)
    : pty_(std::move(pty)), link_(std::move(link)), baud_(baud) {}

long PtyEndpoint::Read(void* buffer, std::size_t count, DWORD timeoutMs) {
    long n = pty_->Read(buffer, count, timeoutMs);
    if (n < 0) {
        // The master only fails when it is gone; treat it as a stop rather
        // than spinning on the error.
        platform::RequestStop();
        return 0;
    }
    return n;
}

std::size_t PtyEndpoint::Write(const void* data, std::size_t count, DWORD timeoutMs) {
    return pty_->Write(data, count, timeoutMs);
}

bool PtyEndpoint::HostSpeed(unsigned* baud) {
    return pty_->HostLineSpeed(baud);
}

bool PtyEndpoint::Stopped() {
    return vanished_ || platform::StopRequested();
}

void PtyEndpoint::Vanish() {
    // Without its master the slave is hung up: the host's reads end and
    // its writes fail, as on a serial port whose device was unplugged.
    pty_->Close();
    vanished_ = true;
}

void PtyEndpoint::Pause(DWORD ms) {
    if (!vanished_) {
        platform::SleepUnlessStopped(ms);
    }
}

bool PtyEndpoint::Leave() {
    if (link_.empty()) {
        return false;
    }
    auto next = std::make_unique<platform::PseudoTerminal>();
    std::string error;
    if (!next->Open(baud_, &error)) {
        return false;
    }
    pty_->Close();  // the host's handle hangs up; the link goes
    pty_ = std::move(next);
    return true;
}

bool PtyEndpoint::ComeBack(std::string* name) {
    std::string error;
    if (link_.empty() || !pty_->LinkAt(link_, &error)) {
        return false;
    }
    *name = pty_->SlavePath();
    return true;
}

}  // namespace modemsim
