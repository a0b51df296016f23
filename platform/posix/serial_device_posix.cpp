// Serial devices of the system: a terminal device opened exclusively, in raw
// mode, with every wait done by poll() so that the CPU idles while waiting.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/posix/line_speed.h"
#include "platform/serial_port.h"
#include "platform/system_serial.h"

namespace platform {
namespace {

int PollTimeout(DWORD ms) {
    return ms == MAXDWORD ? -1 : static_cast<int>(std::min<DWORD>(ms, 0x7FFFFFFF));
}

bool PollFor(int fd, short events, DWORD timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        int r = poll(&p, 1, PollTimeout(timeoutMs));
        if (r > 0) {
            return true;  // readiness, hang-up or error: the next call reports which
        }
        if (r == 0 || errno != EINTR) {
            return false;
        }
    }
}

class PosixSerialDevice final : public SerialDevice {
  public:
    explicit PosixSerialDevice(int fd) : fd_(fd) {}
    ~PosixSerialDevice() override { Close(); }

    std::size_t Available() override {
        int n = 0;
        if (ioctl(fd_, FIONREAD, &n) != 0 || n < 0) {
            return 0;
        }
        return static_cast<std::size_t>(n);
    }

    bool WaitReadable(DWORD timeoutMs) override { return PollFor(fd_, POLLIN, timeoutMs); }

    long ReadSome(void* buffer, std::size_t count) override {
        ssize_t n = ::read(fd_, buffer, count);
        if (n < 0) {
            return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
        }
        return static_cast<long>(n);
    }

    bool WaitWritable(DWORD timeoutMs) override { return PollFor(fd_, POLLOUT, timeoutMs); }

    long WriteSome(const void* data, std::size_t count) override {
        ssize_t n = ::write(fd_, data, count);
        if (n < 0) {
            return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
        }
        return static_cast<long>(n);
    }

    bool GetSettings(DCB& dcb) override {
        termios tio{};
        unsigned baud = 0;
        if (tcgetattr(fd_, &tio) != 0 || !posix::GetLineSpeed(fd_, &baud)) {
            return false;
        }
        dcb = kept_;
        dcb.DCBlength = sizeof(DCB);
        dcb.BaudRate = baud;
        dcb.fBinary = 1;
        dcb.fParity = (tio.c_iflag & INPCK) ? 1 : 0;
        dcb.fOutxCtsFlow = (tio.c_cflag & CRTSCTS) ? 1 : 0;
        dcb.fOutxDsrFlow = 0;
        dcb.fOutX = (tio.c_iflag & IXON) ? 1 : 0;
        dcb.fInX = (tio.c_iflag & IXOFF) ? 1 : 0;
        switch (tio.c_cflag & CSIZE) {
            case CS5:
                dcb.ByteSize = 5;
                break;
            case CS6:
                dcb.ByteSize = 6;
                break;
            case CS7:
                dcb.ByteSize = 7;
                break;
            default:
                dcb.ByteSize = 8;
                break;
        }
        dcb.Parity =
            (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY) : NOPARITY;
        dcb.StopBits = (tio.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
        dcb.XonChar = static_cast<char>(tio.c_cc[VSTART]);
        dcb.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
        return true;
    }

    bool SetSettings(const DCB& dcb) override {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0) {
            return false;
        }
        MakeRaw(tio);
        tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        switch (dcb.ByteSize) {
            case 5:
                tio.c_cflag |= CS5;
                break;
            case 6:
                tio.c_cflag |= CS6;
                break;
            case 7:
                tio.c_cflag |= CS7;
                break;
            default:
                tio.c_cflag |= CS8;
                break;
        }
        if (dcb.Parity == ODDPARITY) {
            tio.c_cflag |= PARENB | PARODD;
        } else if (dcb.Parity == EVENPARITY) {
            tio.c_cflag |= PARENB;
        }
        if (dcb.StopBits == TWOSTOPBITS) {
            tio.c_cflag |= CSTOPB;
        }
        if (dcb.fOutxCtsFlow) {
            tio.c_cflag |= CRTSCTS;
        }
        if (dcb.fOutX) {
            tio.c_iflag |= IXON;
        }
        if (dcb.fInX) {
            tio.c_iflag |= IXOFF;
        }
        tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
        tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
        if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
            return false;
        }
        if (!posix::SetLineSpeed(fd_, dcb.BaudRate)) {
            return false;
        }
        kept_ = dcb;
        return true;
    }

    bool Purge(DWORD flags) override {
        bool ok = true;
        if ((flags & (PURGE_RXCLEAR | PURGE_RXABORT)) != 0) {
            ok = tcflush(fd_, TCIFLUSH) == 0 && ok;
        }
        if ((flags & (PURGE_TXCLEAR | PURGE_TXABORT)) != 0) {
            ok = tcflush(fd_, TCOFLUSH) == 0 && ok;
        }
        return ok;
    }

    bool SetDtr(bool on) override {
        int bits = TIOCM_DTR;
        return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
    }

    void Close() override {
        if (fd_ >= 0) {
            // A pseudo-terminal's slave keeps its exclusive flag after the
            // last close while the master lives, which would lock out the
            // next open by an unprivileged user.
            ioctl(fd_, TIOCNXCL);
            ::close(fd_);  // also releases the flock
            fd_ = -1;
        }
    }

    // Raw mode: no echo, no canonical input, no CR/LF translation, no
    // software flow control, no parity stripping, reads never block in the
    // driver (waits are done with poll).
    static void MakeRaw(termios& tio) {
        cfmakeraw(&tio);
        tio.c_iflag &= ~(IXON | IXOFF | IXANY | ISTRIP | INPCK | IGNBRK | BRKINT | PARMRK | ICRNL |
                         INLCR | IGNCR | IGNPAR);
        tio.c_oflag &= ~OPOST;
        tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
    }

  private:
    int fd_;
    // Fields the terminal driver has no notion of, kept as they were set.
    DCB kept_ = [] {
        DCB d{};
        d.DCBlength = sizeof(DCB);
        d.fBinary = 1;
        d.fDtrControl = DTR_CONTROL_ENABLE;
        d.fRtsControl = RTS_CONTROL_ENABLE;
        d.XonLim = 2048;
        d.XoffLim = 512;
        d.ByteSize = 8;
        return d;
    }();
};

}  // namespace

std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, int* error) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        *error = ENOTTY;
        ::close(fd);
        return nullptr;
    }
    // TIOCEXCL keeps other users out; the lock also keeps out privileged
    // processes, which TIOCEXCL lets through.
    ioctl(fd, TIOCEXCL);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *error = (errno == EWOULDBLOCK) ? EBUSY : errno;
        ::close(fd);
        return nullptr;
    }
    PosixSerialDevice::MakeRaw(tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        *error = errno;
        ::close(fd);
        return nullptr;
    }
    tcflush(fd, TCIOFLUSH);
    return std::make_unique<PosixSerialDevice>(fd);
}

std::string DevicePathForPortName(const std::string& name) {
    // "COMn" (any case) is the n-th system UART; everything else is a path.
    const int number = ComPortNumber(name);
    return number >= 1 ? "/dev/ttyS" + std::to_string(number - 1) : name;
}

std::string ErrorText(DWORD code) {
    switch (code) {
        case EBUSY:
            return "the port is in use by another program";
        case ENOENT:
            return "no such port";
        case ENODEV:
        case ENXIO:
            return "no device behind this port";
        case EACCES:
        case EPERM:
            return "permission denied (is the user in the dialout group?)";
        case ENOTTY:
            return "not a serial device";
        case EIO:
            return "input/output error (device gone?)";
        default:
            return std::strerror(static_cast<int>(code));
    }
}

}  // namespace platform
