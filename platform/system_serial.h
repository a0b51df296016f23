// The operating system's own serial devices (internal to platform/).
#pragma once

#include <cerrno>
#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace platform {

// The errors (GetLastError) the port functions give for reasons of their
// own, in the system's numbering: errno values on POSIX, system error
// codes on Windows (numbers here: <windows.h> cannot meet types.h).
#if defined(_WIN32)
constexpr DWORD kErrorNoSuchPort = 2;       // ERROR_FILE_NOT_FOUND
constexpr DWORD kErrorPortBusy = 5;         // ERROR_ACCESS_DENIED, as share mode 0 refuses
constexpr DWORD kErrorNotOpen = 6;          // ERROR_INVALID_HANDLE
constexpr DWORD kErrorBadArgument = 87;     // ERROR_INVALID_PARAMETER
constexpr DWORD kErrorDeviceFailed = 1117;  // ERROR_IO_DEVICE
constexpr DWORD kErrorDeviceGone = 1167;    // ERROR_DEVICE_NOT_CONNECTED
#else
constexpr DWORD kErrorNoSuchPort = ENOENT;
constexpr DWORD kErrorPortBusy = EBUSY;
constexpr DWORD kErrorNotOpen = EBADF;
constexpr DWORD kErrorBadArgument = EINVAL;
constexpr DWORD kErrorDeviceFailed = EIO;
constexpr DWORD kErrorDeviceGone = ENODEV;
#endif

// Opens a device path exclusively and puts the line into raw mode. On
// failure returns null with an errno-style code in *error.
std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, int* error);

// n for a Windows-style port name "COMn" (any case, n from 1 to 9999), 0
// for any other name.
int ComPortNumber(const std::string& name);

}  // namespace platform
