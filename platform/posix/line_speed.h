// Arbitrary line speeds through termios2 (internal to platform/posix).
// <asm/termbits.h> clashes with <termios.h>, hence a file of its own.
#pragma once

namespace platform::posix {

bool GetLineSpeed(int fd, unsigned* baud);
bool SetLineSpeed(int fd, unsigned baud);

}  // namespace platform::posix
