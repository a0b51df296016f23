// The line's endpoint in the program: the pseudo-terminal master. With a
// link it can play a USB modem that leaves the bus and comes back under
// another name.
#pragma once

#include <memory>
#include <string>

#include "platform/pty.h"
#include "tools/modemsim/line.h"

namespace modemsim {

class PtyEndpoint : public LineEndpoint {
  public:
    // pty is open; link, when not empty, already leads to it.
    PtyEndpoint(std::unique_ptr<platform::PseudoTerminal> pty, std::string link, unsigned baud);
    long Read(void* buffer, std::size_t count, DWORD timeoutMs) override;
    std::size_t Write(const void* data, std::size_t count, DWORD timeoutMs) override;
    bool HostSpeed(unsigned* baud) override;
    bool Stopped() override;
    void Pause(DWORD ms) override;
    void Vanish() override;
    // A new pseudo-terminal is made first, so that it gets another name;
    // the old one closes with its link.
    bool Leave() override;
    bool ComeBack(std::string* name) override;

    const std::string& Path() const { return pty_->SlavePath(); }
    void Close() { pty_->Close(); }

  private:
    std::unique_ptr<platform::PseudoTerminal> pty_;
    std::string link_;
    unsigned baud_;
    bool vanished_ = false;
};

}  // namespace modemsim
