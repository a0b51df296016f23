// A virtual clock and a simulated UART registered under a port name: the
// set-up of tests that need what a real line does (an output queue, CTS
// stalls, a device that goes).
#pragma once

#include <cstdint>
#include <string>

#include "platform/serial_device.h"
#include "platform/testing/simulated_uart.h"
#include "platform/testing/virtual_clock.h"

namespace test_support {

class UartPort {
  public:
    explicit UartPort(const std::string& name = "UART1") : uart_(clock_.clock()), name_(name) {
        platform::RegisterSerialDevice(name_, uart_.Device());
    }
    ~UartPort() { platform::UnregisterSerialDevice(name_); }
    UartPort(const UartPort&) = delete;
    UartPort& operator=(const UartPort&) = delete;

    const std::string& name() const { return name_; }
    platform::testing::SimulatedUart& uart() { return uart_; }
    std::uint64_t Now() const { return clock_.Now(); }
    void Advance(std::uint64_t ms) { clock_.clock().Advance(ms); }

  private:
    // Declared first: the UART runs on this clock.
    platform::testing::ScopedVirtualClock clock_;
    platform::testing::SimulatedUart uart_;
    std::string name_;
};

}  // namespace test_support
