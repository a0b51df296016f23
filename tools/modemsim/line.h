// The simulated serial line between the host and the modem. Every byte in
// either direction passes here, so this is where a speed mismatch turns
// traffic into noise and where --rate paces it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "tools/modemsim/event_log.h"

namespace modemsim {

// Where the line's bytes come from and go to: the pseudo-terminal in the
// program, anything in tests.
class LineEndpoint {
  public:
    virtual ~LineEndpoint() = default;
    // Bytes from the host; 0 when none came within timeoutMs.
    virtual long Read(void* buffer, std::size_t count, DWORD timeoutMs) = 0;
    // Bytes to the host; returns the count accepted within timeoutMs.
    virtual std::size_t Write(const void* data, std::size_t count, DWORD timeoutMs) = 0;
    // The speed the host's side of the line runs at.
    virtual bool HostSpeed(unsigned* baud) = 0;
    virtual bool Stopped() = 0;
    // Sleeps, returning early on a stop request.
    virtual void Pause(DWORD ms) = 0;
    // Closes the host's line for good, as an unplugged modem does; Stopped()
    // is true from then on.
    virtual void Vanish() = 0;
};

// A token bucket: at most `rate` bytes per second, in bursts of 20 ms.
class RateLimiter {
  public:
    explicit RateLimiter(unsigned bytesPerSecond);
    bool Enabled() const { return rate_ != 0; }
    // Whole bytes that may pass now.
    std::size_t Available();
    // Milliseconds until count bytes may pass (count capped to the burst).
    DWORD WaitFor(std::size_t count);
    void Consume(std::size_t count);
    std::size_t Burst() const { return burst_; }

  private:
    void Refill();
    unsigned rate_;
    std::size_t burst_;
    double tokens_;
    DWORD last_;
};

class Line {
  public:
    Line(LineEndpoint& endpoint, EventLog& log, unsigned rateBytesPerSecond);

    // The speed the modem side runs at; 0 means it follows the host (every
    // host speed matches).
    void SetModemSpeed(unsigned baud);
    unsigned ModemSpeed() const { return modemSpeed_; }
    bool SpeedsMatch();

    // The next byte from the host that arrived intact, or -1 when none came
    // within timeoutMs. Bytes sent at a mismatched speed never arrive: they
    // are dropped and counted.
    int ReadByte(DWORD timeoutMs);
    // The next intact byte if one is already buffered, else -1; not consumed.
    int PeekBuffered() const;
    // True as soon as the host writes anything, intact or not; every byte
    // read is discarded.
    bool WaitForAnyInput(DWORD timeoutMs);

    // Sends bytes to the host; at a mismatched speed each byte turns into a
    // noise byte (never ACK or NAK: noise has its top bit set).
    void Send(const std::string& bytes);
    void Send(unsigned char byte) { Send(std::string(1, static_cast<char>(byte))); }

    // Reads and discards everything for ms (a modem that is busy or off).
    void Idle(DWORD ms);
    // Discards input until the host has been quiet for quietMs, or maxMs.
    void DrainUntilQuiet(DWORD quietMs, DWORD maxMs);
    // Waits without reading (input stays queued).
    void Pause(DWORD ms);
    void DiscardBuffered();

    // The modem's device disappears (what: where, for the log). The line
    // carries nothing from then on and the simulator stops.
    void Vanish(const std::string& what);

    bool Stopped();

  private:
    // Reads one chunk into the buffer. False when nothing came in time.
    bool Fill(DWORD timeoutMs);
    void NoteGarbled(std::size_t count);
    void FlushGarbledWhenQuiet();
    unsigned char NoiseByte();

    LineEndpoint& endpoint_;
    EventLog& log_;
    unsigned modemSpeed_ = 115200;
    bool mismatch_ = false;
    std::string buffer_;
    std::size_t pos_ = 0;
    RateLimiter in_;
    RateLimiter out_;
    std::uint32_t noise_ = 0x2545F491u;
    DWORD lastGarbled_ = 0;
    bool garbledPending_ = false;
    bool writeStalled_ = false;  // reported once until the host reads again
};

}  // namespace modemsim
