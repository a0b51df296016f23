// The reason a port does not open, in words a user can act on: who holds a
// busy port, and for a port the user may not open, its group and how to
// join it.
#pragma once

#include <string>
#include <vector>

#include "platform/device_users.h"
#include "platform/types.h"

namespace cli {

// The program that probes every modem that appears, the usual holder.
constexpr const char* kModemManager = "ModemManager";

struct PortFailure {
    std::string reason;  // one line, without the program's prefix
    std::string hint;    // a line on what to do, or empty
};

// Why the port on name did not open with error (GetLastError after the
// open). Looks up the holders of a busy port, the group of a forbidden one.
PortFailure ExplainPortFailure(const std::string& name, DWORD error);

// The same from what was found. running: the ModemManager processes, for
// when the holder itself cannot be seen; plain: the system's own text.
PortFailure BusyPort(const platform::DeviceUsers& users,
                     const std::vector<platform::DeviceUser>& running, const std::string& plain);
std::string PermissionText(const platform::DeviceAccess& access);

}  // namespace cli
