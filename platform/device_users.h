// Why a serial device does not open: who else has it open, and who may open
// it. The front ends turn these facts into their messages.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// What an error of OpenSerialPort (GetLastError) says about the port.
enum class OpenRefusal {
    kOther,      // missing, not a serial device, ...
    kBusy,       // another program has it
    kForbidden,  // the user may not open it
};
OpenRefusal ClassifyOpenError(DWORD error);

struct DeviceUser {
    int pid = 0;
    std::string program;  // the program's name, "ModemManager"
};

struct DeviceUsers {
    std::vector<DeviceUser> users;  // by process id
    // Some processes could not be looked into (another user's, unless this
    // one is privileged): one of them may hold the device unseen.
    bool othersHidden = false;
};

// The other processes that have the device behind a port name open, found
// among the open files of every process this one may look into, as fuser
// does. This process itself is never listed. Empty where the system cannot
// tell.
DeviceUsers FindDeviceUsers(const std::string& portName);

// The running processes whose program has that name.
std::vector<DeviceUser> FindProcesses(const std::string& program);

// Who may open the device behind a port name.
struct DeviceAccess {
    std::string path;             // the device file
    std::string owner;            // its owner's name
    std::string group;            // its group's name
    unsigned mode = 0;            // its permission bits, 0660
    std::string user;             // the name of the user running this program
    bool userInGroup = false;     // the group database counts the user in
    bool processInGroup = false;  // this process has the group's rights now
};

// False when the device or the user cannot be looked up.
bool DescribeDeviceAccess(const std::string& portName, DeviceAccess* access);

}  // namespace platform
