#include "platform/posix/serial_system_calls.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <ctime>

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
};

}  // namespace

SerialSystemCalls& SystemCalls() {
    static OperatingSystemCalls calls;
    return calls;
}

}  // namespace platform::posix
