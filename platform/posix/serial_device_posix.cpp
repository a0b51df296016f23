// Serial devices of the system: a terminal device opened exclusively, in raw
// mode, with every wait done by poll() so that the CPU idles while waiting.
// Its system calls go through posix::SerialSystemCalls.
#include <fcntl.h>
#include <linux/serial.h>
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

#include "platform/posix/posix_serial_device.h"
#include "platform/serial_port.h"
#include "platform/system_serial.h"

namespace platform {
namespace {

// Shortest and longest single wait for queued output to leave.
constexpr long long kLeastOutputWaitUs = 200;
constexpr long long kLongestOutputWaitUs = 50000;

long long Microseconds(DWORD ms) {
    return ms == MAXDWORD ? -1 : static_cast<long long>(ms) * 1000;
}

// Errors that say the device behind the descriptor is no longer there.
bool MeansGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

class PosixSerialDevice final : public SerialDevice {
  public:
    PosixSerialDevice(int fd, posix::SerialSystemCalls& calls)
        : fd_(fd), descriptor_(fd), calls_(calls) {}
    ~PosixSerialDevice() override { Close(); }

    bool Gone() override { return gone_; }

    std::size_t Available() override {
        int n = 0;
        if (gone_) {
            return 0;
        }
        if (calls_.Ioctl(fd_, FIONREAD, &n) != 0) {
            Note(errno);
            return 0;
        }
        return n < 0 ? 0 : static_cast<std::size_t>(n);
    }

    bool WaitReadable(DWORD timeoutMs) override { return Wait(POLLIN, Microseconds(timeoutMs)); }

    long ReadSome(void* buffer, std::size_t count) override {
        if (gone_) {
            return GoneResult();
        }
        ssize_t n = calls_.Read(fd_, buffer, count);
        if (n != 0) {
            return Result(n);
        }
        // In raw mode a read returns 0 both when nothing waits and at the
        // end of the file (a hung-up line): only the line's state tells them
        // apart. Readable, yet nothing to read, is the end.
        short revents = 0;
        if (calls_.Poll(fd_, POLLIN, &revents, 0) <= 0) {
            return 0;
        }
        if ((revents & POLLHUP) != 0) {
            return MarkGone(ENODEV);
        }
        if ((revents & POLLIN) == 0) {
            return 0;
        }
        n = calls_.Read(fd_, buffer, count);
        return n == 0 ? MarkGone(ENODEV) : Result(n);
    }

    bool WaitWritable(DWORD timeoutMs) override { return Wait(POLLOUT, Microseconds(timeoutMs)); }

    long WriteSome(const void* data, std::size_t count) override {
        if (gone_) {
            return GoneResult();
        }
        return Result(calls_.Write(fd_, data, count));
    }

    long OutputPending() override {
        if (gone_) {
            return GoneResult();
        }
        int n = 0;
        if (calls_.Ioctl(fd_, TIOCOUTQ, &n) != 0) {
            if (errno == ENOTTY || errno == EINVAL) {
                return 0;  // no output queue to ask
            }
            return Result(-1);
        }
        return n < 0 ? 0 : n;
    }

    void WaitOutputSent(DWORD timeoutMs) override {
        const long pending = OutputPending();
        if (pending <= 0) {
            return;
        }
        const long long us = std::clamp(static_cast<long long>(pending) * ByteTimeUs(),
                                        kLeastOutputWaitUs, kLongestOutputWaitUs);
        // No event says "output sent": sleep about as long as the line
        // needs; a hang-up still ends the wait.
        Wait(0, std::min(us, Microseconds(timeoutMs)));
    }

    bool GetSettings(DCB& dcb) override {
        termios tio{};
        unsigned baud = 0;
        if (gone_ || calls_.GetAttributes(fd_, &tio) != 0 || !calls_.GetSpeed(fd_, &baud)) {
            Note(gone_ ? goneError_ : errno);
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
        if (gone_ || calls_.GetAttributes(fd_, &tio) != 0) {
            Note(gone_ ? goneError_ : errno);
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
        if (calls_.SetAttributes(fd_, TCSANOW, &tio) != 0) {
            Note(errno);
            return false;
        }
        if (!calls_.SetSpeed(fd_, dcb.BaudRate)) {
            Note(errno);
            return false;
        }
        kept_ = dcb;
        return true;
    }

    bool Purge(DWORD flags) override {
        if (gone_) {
            errno = goneError_;
            return false;
        }
        bool ok = true;
        if ((flags & (PURGE_RXCLEAR | PURGE_RXABORT)) != 0) {
            ok = Succeeded(calls_.Flush(fd_, TCIFLUSH)) && ok;
        }
        if ((flags & (PURGE_TXCLEAR | PURGE_TXABORT)) != 0) {
            ok = DiscardUnsent() && ok;
        }
        return ok;
    }

    bool SetDtr(bool on) override {
        int bits = TIOCM_DTR;
        if (gone_) {
            errno = goneError_;
            return false;
        }
        return calls_.Ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
    }

    void Opened() override {
        if (fd_ < 0) {
            fd_ = descriptor_;  // a registered device opened again
        }
        AskForLowLatency();
    }

    LowLatency LowLatencyMode(std::string* reason) const override {
        *reason = lowLatency_ == LowLatency::kRefused ? std::strerror(lowLatencyError_) : "";
        return lowLatency_;
    }

    void Close() override {
        if (fd_ < 0) {
            return;
        }
        if (!gone_) {
            DropUnsentOutput();
            PutLatencyBack();
        }
        lowLatency_ = LowLatency::kNotOffered;
        // A pseudo-terminal's slave keeps its exclusive flag after the last
        // close while the master lives, which would lock out the next open
        // by an unprivileged user.
        calls_.Ioctl(fd_, TIOCNXCL, nullptr);
        calls_.Close(fd_);  // also releases the flock
        fd_ = -1;
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
    // A USB adapter passes on what it received when its packet is full or
    // its latency timer runs out; low latency makes that timer 1 ms. A
    // driver that takes the request without keeping the flag has no timer
    // to set: that counts as a refusal too.
    void AskForLowLatency() {
        lowLatency_ = LowLatency::kNotOffered;
        lowLatencyError_ = 0;
        if (gone_ || !calls_.OnUsbBus(fd_)) {
            return;
        }
        serial_struct settings{};
        if (calls_.Ioctl(fd_, TIOCGSERIAL, &settings) != 0) {
            Refused(errno);
            return;
        }
        if ((settings.flags & ASYNC_LOW_LATENCY) != 0) {
            lowLatency_ = LowLatency::kAlreadyOn;
            return;
        }
        settings.flags |= ASYNC_LOW_LATENCY;
        if (calls_.Ioctl(fd_, TIOCSSERIAL, &settings) != 0) {
            Refused(errno);
            return;
        }
        serial_struct kept{};
        if (calls_.Ioctl(fd_, TIOCGSERIAL, &kept) != 0 || (kept.flags & ASYNC_LOW_LATENCY) == 0) {
            Refused(EOPNOTSUPP);
            return;
        }
        lowLatency_ = LowLatency::kSwitchedOn;
    }

    void Refused(int error) {
        lowLatency_ = LowLatency::kRefused;
        // ENOTTY: a driver without serial settings at all.
        lowLatencyError_ = (error == 0 || error == ENOTTY) ? EOPNOTSUPP : error;
    }

    // The adapter keeps its timer after the close: what this open switched
    // on is switched off again.
    void PutLatencyBack() {
        if (lowLatency_ != LowLatency::kSwitchedOn) {
            return;
        }
        serial_struct settings{};
        if (calls_.Ioctl(fd_, TIOCGSERIAL, &settings) == 0) {
            settings.flags &= ~ASYNC_LOW_LATENCY;
            calls_.Ioctl(fd_, TIOCSSERIAL, &settings);
        }
    }

    // Waits for events (none: only a hang-up); true when something is to
    // be reported.
    bool Wait(short events, long long timeoutUs) {
        if (gone_) {
            return true;
        }
        short revents = 0;
        const int r = calls_.Poll(fd_, events, &revents, timeoutUs);
        if (r > 0 && (revents & POLLHUP) != 0) {
            MarkGone(ENODEV);
        }
        return r > 0;
    }

    // A call's count, or -1 with errno; "try again" and an interrupted call
    // count as nothing done.
    long Result(ssize_t n) {
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EAGAIN || errno == EINTR) {
            return 0;
        }
        Note(errno);
        return -1;
    }

    bool Succeeded(int r) {
        if (r != 0) {
            Note(errno);
        }
        return r == 0;
    }

    void Note(int error) {
        if (!gone_ && MeansGone(error)) {
            gone_ = true;
            goneError_ = error;
        }
        errno = error;
    }

    long MarkGone(int error) {
        Note(error);
        return -1;
    }

    long GoneResult() const {
        errno = goneError_;
        return -1;
    }

    // Line time of one byte: start bit, data bits, parity, stop bits.
    long long ByteTimeUs() const {
        const DWORD baud = kept_.BaudRate != 0 ? kept_.BaudRate : 115200;
        const int bits = 1 + kept_.ByteSize + (kept_.Parity != NOPARITY ? 1 : 0) +
                         (kept_.StopBits == TWOSTOPBITS ? 2 : 1);
        return std::max<long long>(1, 1000000LL * bits / baud);
    }

    // Drops what the output queue holds. Only when it holds something: a
    // pseudo-terminal reports an empty queue for bytes it has already handed
    // over, and a flush there would still take them back from the peer.
    bool DiscardUnsent() {
        const long pending = OutputPending();
        if (pending < 0) {
            return false;
        }
        return pending == 0 || Succeeded(calls_.Flush(fd_, TCOFLUSH));
    }

    // What the line has not sent by now is stale. The driver would also
    // hold the close for up to its closing time (30 s by default) while a
    // line held by flow control does not take its queue.
    void DropUnsentOutput() {
        DiscardUnsent();
        int pending = 0;
        if (calls_.Ioctl(fd_, TIOCOUTQ, &pending) != 0 || pending <= 0) {
            return;
        }
        // The rest has been handed to the adapter and cannot be withdrawn:
        // without flow control it leaves at once instead of holding the close.
        termios tio{};
        if (calls_.GetAttributes(fd_, &tio) == 0 && (tio.c_cflag & CRTSCTS) != 0) {
            tio.c_cflag &= ~CRTSCTS;
            calls_.SetAttributes(fd_, TCSANOW, &tio);
        }
    }

    int fd_;
    int descriptor_;  // fd_ as it was opened
    posix::SerialSystemCalls& calls_;
    LowLatency lowLatency_ = LowLatency::kNotOffered;
    int lowLatencyError_ = 0;
    bool gone_ = false;
    int goneError_ = ENODEV;
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

namespace posix {

std::unique_ptr<SerialDevice> MakeSerialDevice(int fd, SerialSystemCalls& calls) {
    return std::make_unique<PosixSerialDevice>(fd, calls);
}

}  // namespace posix

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
    return posix::MakeSerialDevice(fd, posix::SystemCalls());
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
