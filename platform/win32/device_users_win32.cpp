// Windows opens a COM port with share mode 0: a port another program holds
// fails to open with ERROR_ACCESS_DENIED, and the system keeps no list of
// who holds it that an ordinary program may read. The wizard's own
// processes leave a note (port_guard.h): one of them is named; any other
// program stays "another program". Nor does a device file carry an owner
// and group that would explain a refusal.
#include "platform/win32/windows_api.h"

#include "platform/device_users.h"
#include "platform/serial_port.h"
#include "platform/win32/port_guard.h"

namespace platform {

OpenRefusal ClassifyOpenError(DWORD error) {
    return (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) ? OpenRefusal::kBusy
                                                                              : OpenRefusal::kOther;
}

DeviceUsers FindDeviceUsers(const std::string& portName) {
    DeviceUsers found;
    DWORD pid = 0;
    std::string program;
    if (win32::PortGuard::Holder(DevicePathForPortName(portName), &pid, &program) &&
        pid != ::GetCurrentProcessId()) {
        found.users.push_back(DeviceUser{static_cast<int>(pid), program});
    }
    return found;
}

// Only ModemManager is looked for, which Windows has not.
std::vector<DeviceUser> FindProcesses(const std::string&) {
    return {};
}

bool DescribeDeviceAccess(const std::string&, DeviceAccess*) {
    return false;
}

}  // namespace platform
