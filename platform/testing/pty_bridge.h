// A line between two programs that each expect a serial device: two
// pseudo-terminals whose master sides are joined, so whatever the host of
// one slave writes, the host of the other reads. Each host keeps its own
// line settings, as two computers joined by a null-modem cable do; tools
// that set modes or flush their terminal (XModem tools do both) cannot
// reach into the other host's line.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/pty.h"

namespace platform::testing {

class PtyBridge {
  public:
    PtyBridge() = default;
    ~PtyBridge();
    PtyBridge(const PtyBridge&) = delete;
    PtyBridge& operator=(const PtyBridge&) = delete;

    // Opens both pseudo-terminals and starts carrying bytes.
    bool Open(std::string* error);
    void Close();

    // The two slave devices, one for each program.
    const std::string& PathA() const { return a_.SlavePath(); }
    const std::string& PathB() const { return b_.SlavePath(); }

    // Bytes carried so far from the host of A to the host of B, and back.
    std::uint64_t BytesFromA() const { return fromA_.load(); }
    std::uint64_t BytesFromB() const { return fromB_.load(); }

    // When the last byte from the host of A (or B) was carried, in the
    // milliseconds of platform::GetTickCount; 0 before the first one.
    DWORD LastByteFromA() const { return lastFromA_.load(); }
    DWORD LastByteFromB() const { return lastFromB_.load(); }

    // Waits until the host of A (or B) has written at least count bytes.
    bool WaitForBytesFromA(std::uint64_t count, DWORD timeoutMs) const;
    bool WaitForBytesFromB(std::uint64_t count, DWORD timeoutMs) const;

  private:
    void Carry(PseudoTerminal& from, PseudoTerminal& to, std::atomic<std::uint64_t>& counter,
               std::atomic<DWORD>& last);

    PseudoTerminal a_;
    PseudoTerminal b_;
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> fromA_{0};
    std::atomic<std::uint64_t> fromB_{0};
    std::atomic<DWORD> lastFromA_{0};
    std::atomic<DWORD> lastFromB_{0};
    std::thread aToB_;
    std::thread bToA_;
};

}  // namespace platform::testing
