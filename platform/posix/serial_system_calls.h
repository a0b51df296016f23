// The system calls a serial device makes, behind an interface, so that tests
// can play what a pseudo-terminal cannot: an output queue the line drains at
// its own pace, a line stalled by flow control, a hang-up, EINTR and short
// writes. Each call behaves as the system call of its name: -1 with errno
// set on failure (internal to platform/).
#pragma once

#include <sys/types.h>
#include <termios.h>

namespace platform::posix {

class SerialSystemCalls {
  public:
    virtual ~SerialSystemCalls() = default;

    virtual ssize_t Read(int fd, void* buffer, size_t count) = 0;
    virtual ssize_t Write(int fd, const void* data, size_t count) = 0;
    // poll() of one descriptor; timeoutUs < 0 waits without limit. Returns
    // 1 with *revents set, 0 on time-out.
    virtual int Poll(int fd, short events, short* revents, long long timeoutUs) = 0;
    // FIONREAD, TIOCOUTQ, TIOCMBIS, TIOCMBIC, TIOCNXCL, TIOCGSERIAL, TIOCSSERIAL.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual int GetAttributes(int fd, termios* tio) = 0;
    virtual int SetAttributes(int fd, int when, const termios* tio) = 0;
    // tcflush()
    virtual int Flush(int fd, int queue) = 0;
    // Any speed, also those termios has no constant for.
    virtual bool GetSpeed(int fd, unsigned* baud) = 0;
    virtual bool SetSpeed(int fd, unsigned baud) = 0;
    virtual int Close(int fd) = 0;
    // Whether the device behind fd hangs on a USB bus (a USB serial adapter
    // or a USB modem), as the system's device tree shows it.
    virtual bool OnUsbBus(int fd) = 0;
};

// The operating system's own calls.
SerialSystemCalls& SystemCalls();

}  // namespace platform::posix
