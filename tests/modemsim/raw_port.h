// A bare client for the simulator's device: bytes in, bytes out, a line
// speed, nothing of the production AT engine.
#pragma once

#include <string>

#include "platform/types.h"

namespace modemsim_test {

class RawPort {
  public:
    RawPort() = default;
    ~RawPort();
    RawPort(const RawPort&) = delete;
    RawPort& operator=(const RawPort&) = delete;

    bool Open(const std::string& path, unsigned baud = 115200);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // True once the simulator's side of the line has gone.
    bool Gone() const;
    bool SetSpeed(unsigned baud);

    void Write(const std::string& bytes);
    // One byte, or -1 when none came within timeoutMs.
    int ReadByte(DWORD timeoutMs);
    // Everything that arrives within ms.
    std::string ReadFor(DWORD ms);
    // Reads until the collected bytes contain expected (returned with them)
    // or timeoutMs passes (then whatever came is returned).
    std::string ReadUntil(const std::string& expected, DWORD timeoutMs);
    // Sends command + CR and collects up to the final OK or ERROR line.
    std::string Command(const std::string& command, DWORD timeoutMs = 3000);
    void Purge();

  private:
    HANDLE handle_ = nullptr;
};

}  // namespace modemsim_test
