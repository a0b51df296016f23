#include "platform/posix/line_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform::posix {

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
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

}  // namespace platform::posix
