// The master side of a pseudo-terminal: one end of a line whose other end,
// the slave device, a host program opens like any serial port. The modem
// simulator sits here.
#pragma once

#include <cstddef>
#include <string>

#include "platform/types.h"

namespace platform {

class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair and puts the slave side into raw mode at baud, so a
    // host that opens it without configuring anything sees a clean 8-bit
    // line at that speed.
    bool Open(unsigned baud, std::string* error);
    bool IsOpen() const;
    void Close();  // also removes the link made by LinkAt

    // Path of the slave device, for example /dev/pts/3.
    const std::string& SlavePath() const;

    // Makes path a symbolic link to the slave device, replacing an earlier
    // link (but never a regular file). Removed again by Close.
    bool LinkAt(const std::string& path, std::string* error);

    // Waits up to timeoutMs for input from the host, then reads what is
    // there (at most count bytes). Returns the count, 0 when nothing came in
    // time or a stop was requested (see stop_signal.h), -1 on a device error.
    // While no host has the slave open it waits without spinning.
    long Read(void* buffer, std::size_t count, DWORD timeoutMs);

    // Writes all bytes, waiting up to timeoutMs for the host to make room.
    // Bytes written while no host has the slave open are dropped, as on a
    // line nobody listens to; they count as written. Returns the count.
    std::size_t Write(const void* data, std::size_t count, DWORD timeoutMs);

    // Puts the line into the mode a shell leaves a terminal in (canonical
    // input with echo, CR read as LF, LF written as CR LF, XON/XOFF, signal
    // characters), as a program that used the device before may have left
    // it. For tests of hosts that must make the line raw themselves.
    bool LeaveCooked(std::string* error);

    // The line speed (bit/s) the host has set on the slave side.
    bool HostLineSpeed(unsigned* baud) const;

    // False while the slave has been opened before and is now closed by
    // everybody; true otherwise (before the first open this cannot be told).
    bool HostAttached() const;

  private:
    int master_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

}  // namespace platform
