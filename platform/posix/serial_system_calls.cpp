#include "platform/posix/serial_system_calls.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <string>

#include "platform/posix/line_speed.h"

namespace platform::posix {
namespace {

class OperatingSystemCalls final : public SerialSystemCalls {
  public:
    ssize_t Read(int fd, void* buffer, size_t count) override { return ::read(fd, buffer, count); }

    ssize_t Write(int fd, const void* data, size_t count) override {
        return ::write(fd, data, count);
    }

    int Poll(int fd, short events, short* revents, long long timeoutUs) override {
        pollfd p{fd, events, 0};
        timespec limit{static_cast<time_t>(timeoutUs / 1000000),
                       static_cast<long>(timeoutUs % 1000000) * 1000};
        int r = ::ppoll(&p, 1, timeoutUs < 0 ? nullptr : &limit, nullptr);
        *revents = r > 0 ? p.revents : 0;
        return r;
    }

    int Ioctl(int fd, unsigned long request, void* argument) override {
        return ::ioctl(fd, request, argument);
    }

    int GetAttributes(int fd, termios* tio) override { return ::tcgetattr(fd, tio); }

    int SetAttributes(int fd, int when, const termios* tio) override {
        return ::tcsetattr(fd, when, tio);
    }

    int Flush(int fd, int queue) override { return ::tcflush(fd, queue); }

    bool GetSpeed(int fd, unsigned* baud) override { return GetLineSpeed(fd, baud); }

    bool SetSpeed(int fd, unsigned baud) override { return SetLineSpeed(fd, baud); }

    int Close(int fd) override { return ::close(fd); }

    bool OnUsbBus(int fd) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
            return false;
        }
        // /sys/dev/char/MAJOR:MINOR leads to the device's place in the
        // tree, below its USB interface for a USB device. Pseudo-terminals
        // have no entry there.
        const std::string node = "/sys/dev/char/" + std::to_string(major(info.st_rdev)) + ":" +
                                 std::to_string(minor(info.st_rdev));
        char target[PATH_MAX];
        const ssize_t n = ::readlink(node.c_str(), target, sizeof target - 1);
        if (n <= 0) {
            return false;
        }
        return std::string(target, static_cast<std::size_t>(n)).find("/usb") != std::string::npos;
    }
};

}  // namespace

SerialSystemCalls& SystemCalls() {
    static OperatingSystemCalls calls;
    return calls;
}

}  // namespace platform::posix
