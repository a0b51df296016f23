// Serial devices of the system: a Windows communications handle, opened by
// name with share mode 0. Its driver applies the communications time-outs,
// so a read or a write is one ReadFile or WriteFile under the time-outs the
// port has set, and the thread sleeps in the driver while it waits.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/serial_port.h"
#include "platform/system_serial.h"
#include "platform/win32/port_guard.h"

namespace platform {
namespace {

static_assert(kErrorNoSuchPort == ERROR_FILE_NOT_FOUND && kErrorPortBusy == ERROR_ACCESS_DENIED &&
                  kErrorNotOpen == ERROR_INVALID_HANDLE &&
                  kErrorBadArgument == ERROR_INVALID_PARAMETER &&
                  kErrorDeviceFailed == ERROR_IO_DEVICE &&
                  kErrorDeviceGone == ERROR_DEVICE_NOT_CONNECTED,
              "the port errors are the system's own");

bool IsTimeout(DWORD code) {
    return code == ERROR_SEM_TIMEOUT || code == ERROR_TIMEOUT;
}

// The errors with which the drivers end the calls on a handle whose device
// has left (a USB adapter pulled out, a modem restarting into new firmware):
// the handle stays useless until it is closed.
bool IsRemovalError(DWORD code) {
    switch (code) {
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_ACCESS_DENIED:  // on a handle that was open
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_OPERATION_ABORTED:
            return true;
        default:
            return false;
    }
}

class Win32SerialDevice final : public SerialDevice, private SerialDevice::DriverTimeouts {
  public:
    explicit Win32SerialDevice(HANDLE handle) : handle_(handle) {}
    ~Win32SerialDevice() override { Close(); }

    SerialDevice::DriverTimeouts* Driver() override { return this; }
    win32::PortGuard& Guard() { return guard_; }

    // The driver's queue, and the byte a wait has taken from it.
    std::size_t Available() override {
        DWORD errors = 0;
        COMSTAT status{};
        std::size_t queued = 0;
        if (::ClearCommError(handle_, &errors, &status)) {
            queued = status.cbInQue;
        } else {
            FailTransfer(::GetLastError());
        }
        return queued + (held_ ? 1 : 0);
    }

    bool Gone() override { return gone_; }

    // There is no way to wait for input without taking it (short of
    // overlapped I/O): one ReadFile of one byte that returns as soon as a
    // byte arrives, or when the time is up, and the byte is kept for the
    // next read.
    bool WaitReadable(DWORD timeoutMs) override {
        if (held_ || Available() > 0) {
            return true;
        }
        COMMTIMEOUTS wait{};
        if (timeoutMs == MAXDWORD) {
            wait = COMMTIMEOUTS{0, 0, 0, 0, 0};  // until a byte comes
        } else if (timeoutMs == 0) {
            wait = COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0};  // what is there, at once
        } else {
            wait = COMMTIMEOUTS{MAXDWORD, MAXDWORD, std::min<DWORD>(timeoutMs, MAXDWORD - 1), 0, 0};
        }
        DWORD got = 0;
        bool ok = ReadUnder(wait, &heldByte_, 1, &got);
        held_ = ok && got == 1;
        return held_;
    }

    long ReadSome(void* buffer, std::size_t count) override {
        DWORD got = 0;
        if (count == 0) {
            return 0;
        }
        auto* out = static_cast<unsigned char*>(buffer);
        DWORD taken = TakeHeld(out);
        if (!ReadUnder(COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0}, out + taken,
                       static_cast<DWORD>(std::min<std::size_t>(count - taken, MAXDWORD - 1)),
                       &got)) {
            return taken > 0 ? static_cast<long>(taken) : -1;
        }
        return static_cast<long>(taken + got);
    }

    bool WaitWritable(DWORD) override { return true; }

    long WriteSome(const void* data, std::size_t count) override {
        DWORD done = 0;
        if (!Write(data, static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD - 1)), &done)) {
            return -1;
        }
        return static_cast<long>(done);
    }

    bool GetSettings(DCB& dcb) override {
        dcb.DCBlength = sizeof(DCB);
        return ::GetCommState(handle_, &dcb) || FailLast();
    }

    bool SetSettings(const DCB& dcb) override {
        DCB copy = dcb;
        return ::SetCommState(handle_, &copy) || FailLast();
    }

    bool Purge(DWORD flags) override {
        if ((flags & (PURGE_RXCLEAR | PURGE_RXABORT)) != 0) {
            held_ = false;
        }
        return ::PurgeComm(handle_, flags) || FailLast();
    }

    bool SetDtr(bool on) override {
        return ::EscapeCommFunction(handle_, on ? SETDTR : CLRDTR) || FailLast();
    }

    void Close() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
        guard_.Release();
        held_ = false;
    }

  private:
    // Failures go to the port functions in errno, as the system's error
    // code.
    static bool FailWith(DWORD code) {
        errno = static_cast<int>(code);
        return false;
    }

    static bool FailLast() { return FailWith(::GetLastError()); }

    // A read, a write or the look at the queue that failed: an error that
    // says the device has gone is remembered for good.
    bool FailTransfer(DWORD code) {
        gone_ = gone_ || IsRemovalError(code);
        return FailWith(code);
    }

    // DriverTimeouts
    bool GetTimeouts(COMMTIMEOUTS* timeouts) override {
        return ::GetCommTimeouts(handle_, timeouts) || FailLast();
    }

    bool SetTimeouts(const COMMTIMEOUTS& timeouts) override {
        COMMTIMEOUTS copy = timeouts;
        return ::SetCommTimeouts(handle_, &copy) || FailLast();
    }

    bool Read(void* buffer, DWORD count, DWORD* done) override {
        *done = 0;
        if (!held_ || count == 0) {
            return ::ReadFile(handle_, buffer, count, done, nullptr) ||
                   FailTransfer(::GetLastError());
        }
        // A wait took the first byte: it counts as received at the start of
        // this read, and the rest follows the rules of the time-outs in
        // force (which the driver cannot apply to a byte it no longer has).
        COMMTIMEOUTS t{};
        if (!::GetCommTimeouts(handle_, &t)) {
            return FailLast();
        }
        auto* out = static_cast<unsigned char*>(buffer);
        *done = TakeHeld(out);
        return ReadRest(t, out, count, done);
    }

    bool Write(const void* data, DWORD count, DWORD* done) override {
        *done = 0;
        if (::WriteFile(handle_, data, count, done, nullptr)) {
            return true;
        }
        // Some drivers end a write whose time-out expired with an error:
        // that is a short write, not a failure.
        DWORD error = ::GetLastError();
        return IsTimeout(error) || FailTransfer(error);
    }

    // The bytes after the first (held) one, until count, a gap without a
    // byte, or the total time of t.
    bool ReadRest(const COMMTIMEOUTS& t, unsigned char* out, DWORD count, DWORD* done) {
        const DWORD interval = t.ReadIntervalTimeout;
        if (interval == MAXDWORD) {
            // Reads that return what is waiting: the rest of what is there.
            DWORD got = 0;
            bool ok =
                ReadUnder(COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0}, out + *done, count - *done, &got);
            *done += got;
            return ok;
        }
        unsigned long long total =
            static_cast<unsigned long long>(t.ReadTotalTimeoutMultiplier) * count +
            t.ReadTotalTimeoutConstant;
        const bool noTotal = t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
        const DWORD limit =
            noTotal ? MAXDWORD
                    : static_cast<DWORD>(std::min<unsigned long long>(total, MAXDWORD - 1));
        if (interval == 0) {
            DWORD got = 0;
            bool ok = ReadUnder(COMMTIMEOUTS{0, 0, noTotal ? 0 : limit, 0, 0}, out + *done,
                                count - *done, &got);
            *done += got;
            return ok;
        }
        // A gap limit: each read returns as soon as anything arrives, and
        // one that waits a whole gap in vain ends the read.
        const DWORD start = ::GetTickCount();
        while (*done < count) {
            DWORD left = MAXDWORD - 1;
            if (!noTotal) {
                DWORD elapsed = ::GetTickCount() - start;
                if (elapsed >= limit) {
                    break;
                }
                left = limit - elapsed;
            }
            DWORD got = 0;
            if (!ReadUnder(COMMTIMEOUTS{MAXDWORD, MAXDWORD, std::min(interval, left), 0, 0},
                           out + *done, count - *done, &got)) {
                return false;
            }
            if (got == 0) {
                break;
            }
            *done += got;
        }
        return true;
    }

    // One ReadFile under the given time-outs; those of the port are put
    // back afterwards.
    bool ReadUnder(const COMMTIMEOUTS& timeouts, void* buffer, DWORD count, DWORD* got) {
        *got = 0;
        COMMTIMEOUTS saved{};
        if (!::GetCommTimeouts(handle_, &saved)) {
            return FailLast();
        }
        COMMTIMEOUTS use = timeouts;
        bool ok =
            ::SetCommTimeouts(handle_, &use) && ::ReadFile(handle_, buffer, count, got, nullptr);
        DWORD error = ::GetLastError();
        ::SetCommTimeouts(handle_, &saved);
        return ok || FailTransfer(error);
    }

    DWORD TakeHeld(unsigned char* out) {
        if (!held_) {
            return 0;
        }
        out[0] = heldByte_;
        held_ = false;
        return 1;
    }

    HANDLE handle_;
    win32::PortGuard guard_;
    unsigned char heldByte_ = 0;
    bool held_ = false;
    bool gone_ = false;
};

// What no program should find left behind by the previous user of the
// port: settings under which the driver drops, replaces or refuses bytes.
// The rest of the line setting is CSerial::Open's.
bool MakeBinaryLine(HANDLE handle) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb)) {
        return false;
    }
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fDsrSensitivity = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fAbortOnError = 0;
    return ::SetCommState(handle, &dcb) != 0;
}

}  // namespace

std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, int* error) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(::GetLastError());
        return nullptr;
    }
    if (::GetFileType(handle) != FILE_TYPE_CHAR || !MakeBinaryLine(handle)) {
        *error = ERROR_NOT_SUPPORTED;
        ::CloseHandle(handle);
        return nullptr;
    }
    auto device = std::make_unique<Win32SerialDevice>(handle);
    DWORD busy = 0;
    if (!device->Guard().Claim(path, &busy)) {
        *error = static_cast<int>(busy);
        return nullptr;  // the device closes the handle
    }
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return device;
}

std::string DevicePathForPortName(const std::string& name) {
    // "COMn" (any case) is the device \\.\COMn, also beyond COM9; everything
    // else is opened as given.
    const int number = ComPortNumber(name);
    return number >= 1 ? "\\\\.\\COM" + name.substr(3) : name;
}

std::string ErrorText(DWORD code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return "the port is in use by another program";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return "no such port";
        case ERROR_NOT_READY:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_BAD_UNIT:
            return "no device behind this port";
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return "not a serial device";
        case ERROR_INVALID_HANDLE:
            return "the port is not open";
        default:
            return win32::SystemErrorText(code);
    }
}

}  // namespace platform
