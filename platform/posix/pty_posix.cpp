// Pseudo-terminal master on Linux. Line settings applied to the master go
// to the slave (the kernel forwards termios requests to the linked tty), so
// the raw mode and the speed the host sees are set and read from here.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/clock.h"
#include "platform/posix/line_speed.h"
#include "platform/posix/stop_signal_posix.h"
#include "platform/pty.h"
#include "platform/stop_signal.h"

namespace platform {
namespace {

// While nobody has the slave open the master reports a hang-up on every
// poll; this is how long to sleep between looks instead of spinning.
constexpr DWORD kDetachedPollMs = 20;

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

DWORD Remaining(DWORD start, DWORD limit) {
    DWORD elapsed = GetTickCount() - start;
    return elapsed >= limit ? 0 : limit - elapsed;
}

// Polls fd for events (and the stop pipe) for up to ms. Returns the revents
// of fd, 0 on time-out or stop.
short PollWithStop(int fd, short events, DWORD ms) {
    pollfd fds[2] = {{fd, events, 0}, {posix::StopSignalFd(), POLLIN, 0}};
    nfds_t count = fds[1].fd >= 0 ? 2 : 1;
    int r = poll(fds, count, static_cast<int>(std::min<DWORD>(ms, 0x7FFFFFFF)));
    if (r <= 0) {
        return 0;
    }
    return fds[0].revents;
}

}  // namespace

PseudoTerminal::PseudoTerminal() = default;

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::Open(unsigned baud, std::string* error) {
    Close();
    int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = Errno("posix_openpt");
        return false;
    }
    if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
        *error = Errno("grantpt/unlockpt");
        ::close(fd);
        return false;
    }
    char name[128];
    if (ptsname_r(fd, name, sizeof name) != 0) {
        *error = Errno("ptsname");
        ::close(fd);
        return false;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        *error = Errno("tcgetattr");
        ::close(fd);
        return false;
    }
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        *error = Errno("tcsetattr");
        ::close(fd);
        return false;
    }
    if (!posix::SetLineSpeed(fd, baud)) {
        *error = Errno("setting the line speed");
        ::close(fd);
        return false;
    }
    master_ = fd;
    slavePath_ = name;
    return true;
}

bool PseudoTerminal::IsOpen() const {
    return master_ >= 0;
}

void PseudoTerminal::Close() {
    if (!linkPath_.empty()) {
        struct stat st {};
        if (lstat(linkPath_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            ::unlink(linkPath_.c_str());
        }
        linkPath_.clear();
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    slavePath_.clear();
}

const std::string& PseudoTerminal::SlavePath() const {
    return slavePath_;
}

bool PseudoTerminal::LinkAt(const std::string& path, std::string* error) {
    if (master_ < 0) {
        *error = "no pseudo-terminal open";
        return false;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = path + " exists and is not a symbolic link";
            return false;
        }
        if (::unlink(path.c_str()) != 0) {
            *error = Errno(("removing old link " + path).c_str());
            return false;
        }
    }
    if (::symlink(slavePath_.c_str(), path.c_str()) != 0) {
        *error = Errno(("linking " + path).c_str());
        return false;
    }
    linkPath_ = path;
    return true;
}

long PseudoTerminal::Read(void* buffer, std::size_t count, DWORD timeoutMs) {
    if (master_ < 0) {
        errno = EBADF;
        return -1;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        ssize_t n = ::read(master_, buffer, count);
        if (n > 0) {
            return static_cast<long>(n);
        }
        // EIO (or an end of file, which a master should never report): no
        // host has the slave open. EAGAIN: nothing there yet.
        const bool detached = n == 0 || (n < 0 && errno == EIO);
        if (n < 0 && errno != EAGAIN && errno != EINTR && !detached) {
            return -1;
        }
        if (StopRequested()) {
            return 0;
        }
        DWORD left = Remaining(start, timeoutMs);
        if (left == 0) {
            return 0;
        }
        if (detached) {
            SleepUnlessStopped(std::min(left, kDetachedPollMs));
            continue;
        }
        short revents = PollWithStop(master_, POLLIN, left);
        if ((revents & POLLHUP) != 0 && (revents & POLLIN) == 0) {
            SleepUnlessStopped(std::min(Remaining(start, timeoutMs), kDetachedPollMs));
        }
    }
}

std::size_t PseudoTerminal::Write(const void* data, std::size_t count, DWORD timeoutMs) {
    if (master_ < 0) {
        return 0;
    }
    if (!HostAttached()) {
        return count;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    const DWORD start = GetTickCount();
    std::size_t sent = 0;
    while (sent < count) {
        ssize_t n = ::write(master_, bytes + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
        if (StopRequested()) {
            break;
        }
        DWORD left = Remaining(start, timeoutMs);
        if (left == 0) {
            break;
        }
        short revents = PollWithStop(master_, POLLOUT, left);
        if ((revents & POLLHUP) != 0) {
            return count;  // the host went away mid-write
        }
    }
    return sent;
}

bool PseudoTerminal::LeaveCooked(std::string* error) {
    termios tio{};
    if (master_ < 0 || tcgetattr(master_, &tio) != 0) {
        *error = Errno("tcgetattr");
        return false;
    }
    tio.c_iflag |= ICRNL | IXON | BRKINT;
    tio.c_iflag &= ~(INLCR | IGNCR);
    tio.c_oflag |= OPOST | ONLCR;
    tio.c_lflag |= ECHO | ECHOE | ECHOK | ICANON | ISIG | IEXTEN;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(master_, TCSANOW, &tio) != 0) {
        *error = Errno("tcsetattr");
        return false;
    }
    return true;
}

bool PseudoTerminal::HostLineSpeed(unsigned* baud) const {
    return master_ >= 0 && posix::GetLineSpeed(master_, baud);
}

bool PseudoTerminal::HostAttached() const {
    if (master_ < 0) {
        return false;
    }
    pollfd p{master_, 0, 0};
    if (poll(&p, 1, 0) < 0) {
        return true;
    }
    return (p.revents & POLLHUP) == 0;
}

}  // namespace platform
