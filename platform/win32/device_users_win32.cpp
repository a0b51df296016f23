// Windows opens a COM port with share mode 0: a port another program holds
// fails to open with ERROR_ACCESS_DENIED, and the system keeps no list of
// who holds it that an ordinary program may read. Nobody is named here.
#include "platform/device_users.h"

namespace platform {
namespace {

// The system error codes, without <windows.h> (whose names clash with the
// portable definitions of platform/types.h).
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorSharingViolation = 32;

}  // namespace

OpenRefusal ClassifyOpenError(DWORD error) {
    return (error == kErrorAccessDenied || error == kErrorSharingViolation) ? OpenRefusal::kBusy
                                                                            : OpenRefusal::kOther;
}

DeviceUsers FindDeviceUsers(const std::string&) {
    return DeviceUsers{};
}

std::vector<DeviceUser> FindProcesses(const std::string&) {
    return {};
}

bool DescribeDeviceAccess(const std::string&, DeviceAccess*) {
    return false;
}

}  // namespace platform
