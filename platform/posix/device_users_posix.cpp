// Open files from /proc/PID/fd, names from /proc/PID/comm and cmdline,
// owners and groups from the user and group databases.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/device_users.h"
#include "platform/serial_port.h"

namespace platform {
namespace {

// The process ids of /proc, this process left out.
std::vector<int> OtherProcesses() {
    std::vector<int> pids;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return pids;
    }
    const int self = static_cast<int>(::getpid());
    while (dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && pid > 0 && pid != self) {
            pids.push_back(static_cast<int>(pid));
        }
    }
    ::closedir(proc);
    std::sort(pids.begin(), pids.end());
    return pids;
}

// Empty when the process has gone meanwhile: a read of a process that ends
// fails with ESRCH, which a stream would throw out of the scan.
std::string ReadProcFile(int pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::string();
    }
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            text.clear();
            break;
        }
        if (got == 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

// The name the system keeps is cut at 15 characters; the first word of the
// command line gives the whole one where it begins the same.
std::string ProgramName(int pid) {
    std::string comm = ReadProcFile(pid, "comm");
    while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) {
        comm.pop_back();
    }
    std::string first = ReadProcFile(pid, "cmdline");
    first = first.substr(0, first.find('\0'));
    first = first.substr(first.rfind('/') == std::string::npos ? 0 : first.rfind('/') + 1);
    first = first.substr(0, first.find(' '));
    return (!comm.empty() && first.size() > comm.size() && first.compare(0, comm.size(), comm) == 0)
               ? first
               : comm;
}

bool HoldsDevice(int pid, dev_t device, bool* hidden) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* fds = ::opendir(dir.c_str());
    if (fds == nullptr) {
        if (errno == EACCES || errno == EPERM) {
            *hidden = true;
        }
        return false;
    }
    bool holds = false;
    const int at = ::dirfd(fds);
    while (dirent* entry = ::readdir(fds)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        // Only files below /dev can be the device; the rest (pipes, sockets,
        // files) are passed over without a stat.
        char target[16];
        const ssize_t length = ::readlinkat(at, entry->d_name, target, sizeof target);
        if (length < 5 || std::string(target, 5) != "/dev/") {
            continue;
        }
        struct stat st {};
        if (::fstatat(at, entry->d_name, &st, 0) == 0 && S_ISCHR(st.st_mode) &&
            st.st_rdev == device) {
            holds = true;
            break;
        }
    }
    ::closedir(fds);
    return holds;
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

}  // namespace

OpenRefusal ClassifyOpenError(DWORD error) {
    switch (error) {
        case EBUSY:
            return OpenRefusal::kBusy;
        case EACCES:
        case EPERM:
            return OpenRefusal::kForbidden;
        default:
            return OpenRefusal::kOther;
    }
}

DeviceUsers FindDeviceUsers(const std::string& portName) {
    DeviceUsers result;
    struct stat device {};
    if (::stat(DevicePathForPortName(portName).c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
        return result;
    }
    for (int pid : OtherProcesses()) {
        if (HoldsDevice(pid, device.st_rdev, &result.othersHidden)) {
            result.users.push_back({pid, ProgramName(pid)});
        }
    }
    return result;
}

std::vector<DeviceUser> FindProcesses(const std::string& program) {
    std::vector<DeviceUser> found;
    for (int pid : OtherProcesses()) {
        if (ProgramName(pid) == program) {
            found.push_back({pid, program});
        }
    }
    return found;
}

bool DescribeDeviceAccess(const std::string& portName, DeviceAccess* access) {
    *access = DeviceAccess{};
    access->path = DevicePathForPortName(portName);
    struct stat st {};
    if (::stat(access->path.c_str(), &st) != 0) {
        return false;
    }
    access->mode = static_cast<unsigned>(st.st_mode & 07777);
    access->owner = UserName(st.st_uid);
    access->user = UserName(::geteuid());

    std::vector<char> buffer(65536);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        access->group = std::to_string(st.st_gid);
    } else {
        access->group = found->gr_name;
        for (char** member = found->gr_mem; *member != nullptr; ++member) {
            access->userInGroup = access->userInGroup || access->user == *member;
        }
    }
    passwd user{};
    passwd* me = nullptr;
    std::vector<char> userBuffer(16384);
    if (::getpwuid_r(::geteuid(), &user, userBuffer.data(), userBuffer.size(), &me) == 0 &&
        me != nullptr && me->pw_gid == st.st_gid) {
        access->userInGroup = true;
    }

    access->processInGroup = ::getegid() == st.st_gid;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        access->processInGroup = access->processInGroup ||
                                 std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
    }
    return true;
}

}  // namespace platform
