// The serial device of a terminal descriptor, over a set of system calls
// (internal to platform/: the real ones in production, a simulated line in
// tests).
#pragma once

#include <memory>

#include "platform/posix/serial_system_calls.h"
#include "platform/serial_device.h"

namespace platform::posix {

// Takes over fd (closed with the device). calls must outlive the device.
std::unique_ptr<SerialDevice> MakeSerialDevice(int fd, SerialSystemCalls& calls);

}  // namespace platform::posix
