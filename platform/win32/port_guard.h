// The session-wide note that one of the wizard's processes has a port open
// (internal to platform/win32; include after windows_api.h). Share mode 0
// keeps every other open of a port out where the driver enforces it; the
// note keeps out the wizard's other processes also where it does not (some
// emulations of the system), and tells them who holds the port, which the
// system does not tell an ordinary program.
#pragma once

#include <string>

namespace platform::win32 {

class PortGuard {
  public:
    PortGuard() = default;
    ~PortGuard() { Release(); }
    PortGuard(const PortGuard&) = delete;
    PortGuard& operator=(const PortGuard&) = delete;

    // Takes the note for the port of a device path, with this process's id
    // and program name in it. False (with the system's error in *error)
    // when another process holds it.
    bool Claim(const std::string& devicePath, DWORD* error);
    void Release();

    // Who holds the note of a device path: false when nobody does.
    static bool Holder(const std::string& devicePath, DWORD* pid, std::string* program);

  private:
    HANDLE note_ = nullptr;
};

}  // namespace platform::win32
