// The operating system's own serial devices (internal to platform/).
#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace platform {

// Opens a device path exclusively and puts the line into raw mode. On
// failure returns null with an errno-style code in *error.
std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, int* error);

// n for a Windows-style port name "COMn" (any case, n from 1 to 9999), 0
// for any other name.
int ComPortNumber(const std::string& name);

}  // namespace platform
