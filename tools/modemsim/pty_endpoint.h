// The line's endpoint in the program: the pseudo-terminal master.
#pragma once

#include "platform/pty.h"
#include "tools/modemsim/line.h"

namespace modemsim {

class PtyEndpoint : public LineEndpoint {
  public:
    explicit PtyEndpoint(platform::PseudoTerminal& pty) : pty_(pty) {}
    long Read(void* buffer, std::size_t count, DWORD timeoutMs) override;
    std::size_t Write(const void* data, std::size_t count, DWORD timeoutMs) override;
    bool HostSpeed(unsigned* baud) override;
    bool Stopped() override;
    void Pause(DWORD ms) override;
    void Vanish() override;

  private:
    platform::PseudoTerminal& pty_;
    bool vanished_ = false;
};

}  // namespace modemsim
