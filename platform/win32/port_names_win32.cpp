// Port names on Windows: a COM name belongs to its device for good (the
// system remembers which COMn a USB adapter got and gives it the same one
// when it comes back), so the name a user gives is already the stable one.
// A device that left is back once the system knows its name again.
#include "platform/win32/windows_api.h"

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace platform {
// "COM5" and "\\.\COM5" are the DOS device COM5; a name that is no DOS
// device name cannot be looked up.
bool PortNameExists(const std::string& name) {
    const std::string path = DevicePathForPortName(name);
    const std::string device = path.compare(0, 4, "\\\\.\\") == 0 ? path.substr(4) : path;
    if (device.empty() || device.find_first_of("\\/") != std::string::npos) {
        return true;
    }
    char target[1024];
    return ::QueryDosDeviceA(device.c_str(), target, sizeof target) != 0;
}

std::string StablePortName(const std::string& name) {
    return name;
}

std::string StablePortNameIn(const std::string& name, const std::string&) {
    return name;
}

bool IsDeviceGoneError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:  // no device of that name (now)
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_NOT_READY:
        case ERROR_BAD_UNIT:
            return true;
        default:
            return false;
    }
}

}  // namespace platform
