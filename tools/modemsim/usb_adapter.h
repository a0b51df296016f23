// The USB serial adapter between the modem's UART and the host, in the
// direction from the modem to the host: what it receives waits in its
// buffer until a packet is full or its latency timer runs out, and only
// then does the host see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

namespace modemsim {

class UsbAdapter {
  public:
    // The payload of one USB packet of the common adapters.
    static constexpr std::size_t kPacketBytes = 62;
    static constexpr std::uint64_t kNever = UINT64_MAX;

    // latencyMs 0: no adapter, bytes pass at once.
    explicit UsbAdapter(unsigned latencyMs) : latencyUs_(latencyMs * 1000ULL) {}

    bool Enabled() const { return latencyUs_ != 0; }
    // Bytes that have crossed the UART by nowUs.
    void Take(const std::string& bytes, std::uint64_t nowUs);
    // What the host gets at nowUs: every full packet, and the rest once the
    // timer has run out since the first of them.
    std::string Due(std::uint64_t nowUs);
    // When Due next has something (kNever while nothing is held).
    std::uint64_t NextDueUs() const;
    std::size_t Held() const { return held_; }
    // The adapter loses what it holds (it leaves the bus).
    void Drop();

  private:
    std::uint64_t latencyUs_;
    // Runs of bytes with the time they arrived, oldest first.
    std::deque<std::pair<std::uint64_t, std::string>> runs_;
    std::size_t held_ = 0;
};

}  // namespace modemsim
