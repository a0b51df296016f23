// A serial device for tests, driven on a virtual clock: the test (or a
// modem double) reacts to written bytes by scheduling answer bytes at
// virtual times, and every wait of the port moves the clock to the next
// arrival or to the end of the wait. Register it under a port name with
// platform::RegisterSerialDevice and open that name as usual.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "platform/testing/virtual_clock.h"

namespace platform::testing {

class ScriptedSerial : public SerialDevice {
  public:
    // Called after each write with the bytes that went out.
    using WriteHandler = std::function<void(ScriptedSerial& port, const std::string& bytes)>;

    explicit ScriptedSerial(VirtualClock& clock);

    void OnWrite(WriteHandler handler);

    // Schedules bytes to arrive delayMs from now, each perByteMs after the
    // previous one (0 = all at once).
    void Deliver(const std::string& bytes, DWORD delayMs = 0, DWORD perByteMs = 0);
    // Drops every byte that has not been read yet, arrived or scheduled.
    void DropPending();

    // Everything written to the port so far.
    std::string Written() const;
    std::string TakeWritten();

    // A record of line events ("open", "close", "dtr 0", "dtr 1",
    // "purge rx", "speed 57600", ...), in order.
    std::vector<std::string> Events() const;
    // The virtual time of each event, in the same order.
    std::vector<std::uint64_t> EventTimes() const;

    // The peer's line speed: while the port runs at another speed, every
    // byte it reads arrives garbled (0 = no such check).
    void SetPeerSpeed(DWORD baud);

    DCB Settings() const;
    bool Dtr() const;
    int OpenCount() const;

    // Faults.
    void SetWritesBlocked(bool blocked);  // writes make no progress (time out)
    void FailNextWrites(int count);       // the next count writes fail at once (EIO)
    int FailedWrites() const;             // writes failed that way so far
    void SetFailSettings(bool getFails, bool setFails);
    void SetFailPurge(bool fails);
    void SetFailDtr(bool fails);
    void Vanish();  // the device is gone: reads and writes fail

    // SerialDevice
    std::size_t Available() override;
    bool Gone() override;
    bool WaitReadable(DWORD timeoutMs) override;
    long ReadSome(void* buffer, std::size_t count) override;
    bool WaitWritable(DWORD timeoutMs) override;
    long WriteSome(const void* data, std::size_t count) override;
    bool GetSettings(DCB& dcb) override;
    bool SetSettings(const DCB& dcb) override;
    bool Purge(DWORD flags) override;
    bool SetDtr(bool on) override;
    void Close() override;
    void Opened() override;

  private:
    struct Byte {
        std::uint64_t at;
        char value;
    };
    std::size_t ArrivedLocked() const;
    void EventLocked(std::string event);

    VirtualClock& clock_;
    mutable std::mutex mutex_;
    std::deque<Byte> incoming_;
    std::string written_;
    std::vector<std::string> events_;
    std::vector<std::uint64_t> eventTimes_;
    DWORD peerSpeed_ = 0;
    WriteHandler handler_;
    DCB settings_;
    bool dtr_ = true;
    bool writesBlocked_ = false;
    int writesToFail_ = 0;
    int failedWrites_ = 0;
    bool failGet_ = false;
    bool failSet_ = false;
    bool failPurge_ = false;
    bool failDtr_ = false;
    bool vanished_ = false;
    bool wouldBlockForever_ = false;
    int opens_ = 0;
};

}  // namespace platform::testing
