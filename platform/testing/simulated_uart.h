// A UART and its line for tests, played at the system calls of the POSIX
// serial device on a virtual clock: an output queue that the line drains at
// the speed the port set, a CTS line that holds it, an adapter that keeps
// bytes a flush cannot take back, the driver's wait at close, a device that
// goes, and the faults of system calls (EINTR, short writes). All of it is
// what a pseudo-terminal cannot show. Register Device() under a port name
// and open that name as usual.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_device.h"
#include "platform/testing/virtual_clock.h"

namespace platform::testing {

class SimulatedUart {
  public:
    // How a device goes.
    enum class Loss {
        kHangUp,     // poll reports POLLHUP, reads are at their end, writes fail (EIO)
        kEndOfFile,  // poll reports the port readable, reads are at their end
        kIoError,    // every call fails with EIO
        kNoAddress,  // ... with ENXIO
        kNoDevice,   // ... with ENODEV
    };

    // The device behind the line, as its driver answers for the serial
    // settings (TIOCGSERIAL / TIOCSSERIAL) and their low-latency flag.
    enum class Adapter {
        kNotUsb,      // a UART on the board (the default): not on a USB bus
        kLowLatency,  // a USB adapter whose driver offers low latency
        kRefusing,    // a USB adapter whose driver refuses the change (EPERM)
        kNoSettings,  // a USB device whose driver has no serial settings (ENOTTY)
        kForgetting,  // takes the change without error and keeps no flag
    };

    // The driver's wait for unsent output at close, as Linux has it.
    static constexpr std::uint64_t kClosingWaitMs = 30000;

    explicit SimulatedUart(VirtualClock& clock, std::size_t queueSize = 4096);
    ~SimulatedUart();
    SimulatedUart(const SimulatedUart&) = delete;
    SimulatedUart& operator=(const SimulatedUart&) = delete;

    // The system's serial device over this UART.
    std::shared_ptr<SerialDevice> Device();

    // CTS low holds the output queue while the port uses CTS flow control.
    void SetCts(bool high);
    // CTS drops once the line has carried count more bytes.
    void DropCtsAfter(std::size_t count);
    // CTS rises again at the virtual time t.
    void RaiseCtsAt(std::uint64_t t);
    // The first count bytes in the queue are in the adapter already: a
    // flush leaves them.
    void KeepOnFlush(std::size_t count);

    // Each write takes at most this many bytes.
    void LimitWrites(std::size_t bytesPerCall);
    // The next writes, polls and reads fail with EINTR.
    void InterruptNext(int writes, int polls, int reads);
    // The device goes at the virtual time t (now, when t has passed).
    void VanishAt(std::uint64_t t, Loss how);

    // The device is of this kind; lowLatency is the driver's flag now.
    void SetAdapter(Adapter adapter, bool lowLatency = false);
    // The driver's low-latency flag as it stands.
    bool LowLatencyOn() const;
    // TIOCSSERIAL calls the driver has taken.
    int SerialSettingsChanges() const;

    // Bytes from the modem, readable at once; or once the line has carried
    // wireBytes bytes in all (a receiver's answer to what it got).
    void Deliver(const std::string& bytes);
    void AnswerWhenCarried(std::size_t wireBytes, const std::string& bytes);

    std::string Wire() const;     // bytes the line carried, in order
    std::string Flushed() const;  // bytes a flush discarded
    std::size_t Queued() const;   // bytes in the output queue now
    bool Closed() const;
    bool CtsFlowAtClose() const;  // the port still used CTS flow control when it closed

  private:
    class Calls;
    std::unique_ptr<Calls> calls_;
    std::shared_ptr<SerialDevice> device_;
};

}  // namespace platform::testing
