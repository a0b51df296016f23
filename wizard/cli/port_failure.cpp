#include "wizard/cli/port_failure.h"

#include <cstdio>

#include "platform/serial_port.h"

namespace cli {
namespace {

std::string Named(const platform::DeviceUser& user) {
    return user.program + " (pid " + std::to_string(user.pid) + ")";
}

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

}  // namespace

PortFailure BusyPort(const platform::DeviceUsers& users,
                     const std::vector<platform::DeviceUser>& running, const std::string& plain) {
    PortFailure failure;
    bool modemManager = false;
    if (!users.users.empty()) {
        failure.reason = "the port is in use by ";
        for (std::size_t i = 0; i < users.users.size(); ++i) {
            failure.reason += (i == 0                        ? ""
                               : i + 1 == users.users.size() ? " and "
                                                             : ", ") +
                              Named(users.users[i]);
            modemManager = modemManager || users.users[i].program == kModemManager;
        }
    } else {
        failure.reason = plain;
        if (users.othersHidden && !running.empty()) {
            failure.reason += "; " + Named(running.front()) + " is running and may hold it";
            modemManager = true;
        }
    }
    if (modemManager) {
        failure.hint = std::string(kModemManager) +
                       " probes every modem that appears; \"man wizard-cli\" (MODEMMANAGER) "
                       "shows how to keep it away from this one";
    }
    return failure;
}

std::string PermissionText(const platform::DeviceAccess& access) {
    const std::string prefix = "permission denied: ";
    const std::string facts = " (owner " + access.owner + ", group " + access.group + ", mode " +
                              Octal(access.mode) + ")";
    if ((access.mode & 060u) != 060u) {
        return prefix + access.path + " may be opened by " + access.owner + " only" + facts;
    }
    if (access.processInGroup) {
        // The rights are there; something beyond them (an ACL, a security
        // module) says no.
        return prefix + access.path + facts;
    }
    if (access.userInGroup) {
        return prefix + access.path + " belongs to the group " + access.group + ", which " +
               access.user + " has joined since logging in: log out and in again";
    }
    return prefix + access.path + " belongs to the group " + access.group +
           "; add yourself to it with \"sudo usermod -aG " + access.group + " " + access.user +
           "\", then log out and in again";
}

PortFailure ExplainPortFailure(const std::string& name, DWORD error) {
    if (name.empty()) {
        return {"no port name given", ""};
    }
    const std::string plain = platform::ErrorText(error);
    platform::DeviceAccess access;
    switch (platform::ClassifyOpenError(error)) {
        case platform::OpenRefusal::kBusy:
            return BusyPort(platform::FindDeviceUsers(name), platform::FindProcesses(kModemManager),
                            plain);
        case platform::OpenRefusal::kForbidden:
            if (platform::DescribeDeviceAccess(name, &access)) {
                return {PermissionText(access), ""};
            }
            break;
        case platform::OpenRefusal::kOther:
            break;
    }
    return {plain, ""};
}

}  // namespace cli
