// The simulated serial line between the host and the modem. Every byte in
// either direction passes here, so this is where a speed mismatch turns
// traffic into noise, where --rate paces it and where --usb-latency holds
// the modem's bytes in an adapter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "tools/modemsim/event_log.h"
#include "tools/modemsim/usb_adapter.h"

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
    // A USB modem restarting: the device leaves (its name and link are
    // gone), then comes back under a new name with the link moved to it.
    // False when the endpoint cannot do that. Come back gives the new name.
    virtual bool Leave() { return false; }
    virtual bool ComeBack(std::string* /*name*/) { return false; }
};

// One direction of a serial line at a byte rate: it carries one byte after
// the other, each taking 1/rate seconds. A line that was idle has lost that
// time: bytes never cross faster than the rate, however quiet it was before.
class LinePacer {
  public:
    explicit LinePacer(unsigned bytesPerSecond) : rate_(bytesPerSecond) {}
    bool Enabled() const { return rate_ != 0; }
    // The most bytes handed on at once: 20 ms of line time.
    std::size_t Piece() const { return rate_ / 50 > 0 ? rate_ / 50 : 1; }
    // Puts count bytes on the line at nowUs (behind what it still
    // carries); returns when the last of them has crossed. waiting: they
    // were there before the last bytes had crossed (the host had written
    // more than one piece), so the line carried them without a pause.
    std::uint64_t Carry(std::size_t count, std::uint64_t nowUs, bool waiting = false);
    // When the line has carried everything it was given.
    std::uint64_t FreeAtUs() const { return freeAtUs_; }
    // When the first of the last count bytes carried had crossed.
    std::uint64_t FirstOfLastUs(std::size_t count) const {
        return count > 1 ? freeAtUs_ - (count - 1) * 1000000ULL / rate_ : freeAtUs_;
    }

  private:
    unsigned rate_;
    std::uint64_t freeAtUs_ = 0;
    std::uint64_t fraction_ = 0;  // of a microsecond, in units of 1/rate
};

class Line {
  public:
    // usbLatencyMs, when not 0: the host sees the modem's bytes through a
    // USB adapter with that latency timer (see UsbAdapter).
    Line(LineEndpoint& endpoint, EventLog& log, unsigned rateBytesPerSecond,
         unsigned usbLatencyMs = 0);

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
    // Sends count noise bytes (line garbage: top bit set, never an answer
    // word, ACK or NAK).
    void SendNoise(std::size_t count);

    // Reads and discards everything for ms (a modem that is busy or off).
    void Idle(DWORD ms);
    // The device leaves the bus and comes back under a new name (see
    // LineEndpoint); the line forgets what it had buffered.
    bool Leave();
    bool ComeBack(std::string* name);
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
    // Reads from the host, passing on what the adapter lets go meanwhile.
    long ReadHost(void* buffer, std::size_t count, DWORD timeoutMs);
    // Sleeps until the monotonic time untilUs, passing on what the adapter
    // lets go meanwhile; returns early on a stop.
    void SleepUntil(std::uint64_t untilUs);
    // Hands the host what has crossed the line (through the adapter).
    // arrivedUs: when the first of them had crossed (the adapter's timer
    // starts with it).
    void Deliver(const std::string& bytes, std::uint64_t arrivedUs);
    void WriteDue();
    void WriteToHost(const std::string& bytes);
    void NoteGarbled(std::size_t count);
    void FlushGarbledWhenQuiet();
    unsigned char NoiseByte();

    LineEndpoint& endpoint_;
    EventLog& log_;
    unsigned modemSpeed_ = 115200;
    bool mismatch_ = false;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool lastReadFull_ = false;  // the last read took all it asked for: more was waiting
    LinePacer in_;
    LinePacer out_;
    UsbAdapter adapter_;
    std::uint32_t noise_ = 0x2545F491u;
    DWORD lastGarbled_ = 0;
    bool garbledPending_ = false;
    bool writeStalled_ = false;  // reported once until the host reads again
};

}  // namespace modemsim
