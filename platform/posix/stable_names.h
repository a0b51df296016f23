// The stable names of serial devices on Linux: the links udev keeps in
// /dev/serial/by-id (internal to platform/posix).
#pragma once

#include <map>
#include <string>

namespace platform::posix {

constexpr const char* kStableNameDirectory = "/dev/serial/by-id";

// Device node (as the links lead to it, resolved) -> link path, for every
// link in directory that leads to an existing device.
std::map<std::string, std::string> StableNameLinks(const std::string& directory);

}  // namespace platform::posix
