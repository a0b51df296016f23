#include "raw_port.h"

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace modemsim_test {

RawPort::~RawPort() {
    Close();
}

bool RawPort::Open(const std::string& path, unsigned baud) {
    Close();
    HANDLE handle = platform::OpenSerialPort(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = handle;
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = 2000;
    platform::SetCommTimeouts(handle_, &timeouts);
    return SetSpeed(baud);
}

void RawPort::Close() {
    if (handle_ != nullptr) {
        platform::CloseSerialPort(handle_);
        handle_ = nullptr;
    }
}

bool RawPort::Gone() const {
    return handle_ != nullptr && platform::SerialPortGone(handle_);
}

bool RawPort::SetSpeed(unsigned baud) {
    DCB dcb{};
    if (handle_ == nullptr || !platform::GetCommState(handle_, &dcb)) {
        return false;
    }
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    return platform::SetCommState(handle_, &dcb);
}

void RawPort::Write(const std::string& bytes) {
    DWORD written = 0;
    if (handle_ != nullptr) {
        platform::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
    }
}

int RawPort::ReadByte(DWORD timeoutMs) {
    if (handle_ == nullptr) {
        return -1;
    }
    // Return with the first byte, or after the constant.
    COMMTIMEOUTS timeouts{};
    platform::GetCommTimeouts(handle_, &timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = timeoutMs == 0 ? 1 : timeoutMs;
    platform::SetCommTimeouts(handle_, &timeouts);
    unsigned char byte = 0;
    DWORD read = 0;
    if (!platform::ReadFile(handle_, &byte, 1, &read) || read != 1) {
        return -1;
    }
    return byte;
}

std::string RawPort::ReadFor(DWORD ms) {
    std::string out;
    const DWORD start = platform::GetTickCount();
    for (;;) {
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= ms) {
            return out;
        }
        int b = ReadByte(ms - elapsed);
        if (b >= 0) {
            out += static_cast<char>(b);
        }
    }
}

std::string RawPort::ReadUntil(const std::string& expected, DWORD timeoutMs) {
    std::string out;
    const DWORD start = platform::GetTickCount();
    while (out.find(expected) == std::string::npos) {
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            break;
        }
        int b = ReadByte(timeoutMs - elapsed);
        if (b >= 0) {
            out += static_cast<char>(b);
        }
    }
    return out;
}

std::string RawPort::Command(const std::string& command, DWORD timeoutMs) {
    Write(command + "\r");
    std::string out;
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (out.find("\r\nOK\r\n") != std::string::npos ||
            out.find("\r\nERROR\r\n") != std::string::npos) {
            return out;
        }
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return out;
        }
        int b = ReadByte(timeoutMs - elapsed);
        if (b >= 0) {
            out += static_cast<char>(b);
        }
    }
}

void RawPort::Purge() {
    if (handle_ != nullptr) {
        platform::PurgeComm(handle_, PURGE_RXCLEAR);
    }
}

}  // namespace modemsim_test
