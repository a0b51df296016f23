// A helper process that holds a device open the plain way, without any
// lock (as ModemManager and terminal programs do): sleep, with the device
// on its descriptor 3.
#pragma once

#include <string>

#include "platform/process.h"

namespace test_support {

// Starts holder and returns once it has the device open; false, with the
// reason in *error, when it did not open it within 5 s.
bool HoldDeviceOpen(platform::Process* holder, const std::string& device, std::string* error);

}  // namespace test_support
