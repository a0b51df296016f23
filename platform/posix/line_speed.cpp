#include "platform/posix/line_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform::posix {
namespace {

// The speed's own constant where the terminal interface has one: programs
// that know only those constants (wine's serial driver among them) can
// read the setting back. Other speeds go as BOTHER with the number.
tcflag_t SpeedConstant(unsigned baud) {
    static const struct {
        unsigned baud;
        tcflag_t constant;
    } kSpeeds[] = {{300, B300},      {600, B600},       {1200, B1200},     {2400, B2400},
                   {4800, B4800},    {9600, B9600},     {19200, B19200},   {38400, B38400},
                   {57600, B57600},  {115200, B115200}, {230400, B230400}, {460800, B460800},
                   {921600, B921600}};
    for (const auto& speed : kSpeeds) {
        if (speed.baud == baud) {
            return speed.constant;
        }
    }
    return BOTHER;
}

}  // namespace

bool GetLineSpeed(int fd, unsigned* baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return false;
    }
    *baud = tio.c_ospeed;
    return true;
}

bool SetLineSpeed(int fd, unsigned baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return false;
    }
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= SpeedConstant(baud);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

}  // namespace platform::posix
