// A virtual clock, a scripted serial device registered under a port name,
// and an AT modem double on it: the usual set-up of engine tests. A second
// port of a test shares the first one's clock.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"
#include "platform/testing/scripted_serial.h"
#include "platform/testing/virtual_clock.h"
#include "tests/support/scripted_modem.h"

namespace test_support {

class ScriptedPort {
  public:
    // Installs a virtual clock of its own unless sharedClock is given.
    explicit ScriptedPort(const std::string& name = "SCRIPTED1",
                          platform::testing::VirtualClock* sharedClock = nullptr)
        : ownClock_(sharedClock == nullptr
                        ? std::make_unique<platform::testing::ScopedVirtualClock>()
                        : nullptr),
          clock_(sharedClock != nullptr ? *sharedClock : ownClock_->clock()),
          name_(name),
          device_(std::make_shared<platform::testing::ScriptedSerial>(clock_)),
          modem_(*device_) {
        platform::RegisterSerialDevice(name_, device_);
    }
    ~ScriptedPort() { platform::UnregisterSerialDevice(name_); }

    const std::string& name() const { return name_; }
    platform::testing::ScriptedSerial& device() { return *device_; }
    ScriptedModem& modem() { return modem_; }
    platform::testing::VirtualClock& clock() { return clock_; }
    std::uint64_t Now() const { return clock_.Now64(); }

  private:
    // Declared first: the device runs on this clock.
    std::unique_ptr<platform::testing::ScopedVirtualClock> ownClock_;
    platform::testing::VirtualClock& clock_;
    std::string name_;
    std::shared_ptr<platform::testing::ScriptedSerial> device_;
    ScriptedModem modem_;
};

}  // namespace test_support
