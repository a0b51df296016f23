// Port handles, the test registry and the driver's time-out rules, common to
// every kind of serial device.
#include "platform/serial_port.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <map>
#include <mutex>

#include "platform/clock.h"
#include "platform/device_users.h"
#include "platform/serial_device.h"
#include "platform/system_serial.h"

namespace platform {
namespace {

struct PortHandle {
    std::shared_ptr<SerialDevice> device;
    std::string registeredName;  // non-empty for a registered (test) device
    // What a freshly opened driver reports: reads return at once with what
    // is waiting, writes have no limit until somebody sets one.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
};

struct Registered {
    std::shared_ptr<SerialDevice> device;
    bool open = false;
};

std::mutex g_registryMutex;
std::map<std::string, Registered>& Registry() {
    static std::map<std::string, Registered> registry;
    return registry;
}

thread_local DWORD t_lastError = 0;

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

PortHandle* Port(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        t_lastError = kErrorNotOpen;
        return nullptr;
    }
    return static_cast<PortHandle*>(handle);
}

bool Fail(DWORD code) {
    t_lastError = code;
    return false;
}

// The reason of a failed device call.
bool FailDevice(int code) {
    return Fail(code != 0 ? static_cast<DWORD>(code) : kErrorDeviceFailed);
}

// A device that has gone fails every call at once.
bool FailGone() {
    return Fail(kErrorDeviceGone);
}

// The end of a read or write the device's driver did: the count it moved,
// and its error when it failed.
bool DriverDone(bool ok, DWORD done, DWORD* count) {
    if (count != nullptr) {
        *count = done;
    }
    return ok || FailDevice(errno);
}

// Time left until start + limit, 0 when it has passed; MAXDWORD stays "no limit".
DWORD Remaining(DWORD start, DWORD limit) {
    if (limit == MAXDWORD) {
        return MAXDWORD;
    }
    DWORD elapsed = GetTickCount() - start;
    return elapsed >= limit ? 0 : limit - elapsed;
}

DWORD TotalLimit(DWORD multiplier, DWORD constant, DWORD count) {
    if (multiplier == 0 && constant == 0) {
        return MAXDWORD;
    }
    unsigned long long total = static_cast<unsigned long long>(multiplier) * count +
                               static_cast<unsigned long long>(constant);
    return total >= MAXDWORD ? MAXDWORD - 1 : static_cast<DWORD>(total);
}

}  // namespace

void RegisterSerialDevice(const std::string& name, std::shared_ptr<SerialDevice> device) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    Registry()[Lower(name)] = Registered{std::move(device), false};
}

void UnregisterSerialDevice(const std::string& name) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    Registry().erase(Lower(name));
}

HANDLE OpenSerialPort(const std::string& name) {
    if (name.empty()) {
        Fail(kErrorNoSuchPort);
        return INVALID_HANDLE_VALUE;
    }
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        auto it = Registry().find(Lower(name));
        if (it != Registry().end()) {
            if (it->second.open) {
                Fail(kErrorPortBusy);
                return INVALID_HANDLE_VALUE;
            }
            it->second.open = true;
            auto* port = new PortHandle;
            port->device = it->second.device;
            port->registeredName = it->first;
            port->device->Opened();
            return port;
        }
    }
    int error = 0;
    std::unique_ptr<SerialDevice> device =
        OpenSystemSerialDevice(DevicePathForPortName(name), &error);
    if (!device) {
        Fail(error);
        return INVALID_HANDLE_VALUE;
    }
    // The exclusive open keeps out whoever opens the port later; a program
    // that opened it before without a lock (ModemManager, a terminal
    // program) would still take away part of every answer.
    if (!FindDeviceUsers(name).users.empty()) {
        device->Close();
        Fail(kErrorPortBusy);
        return INVALID_HANDLE_VALUE;
    }
    device->Opened();
    auto* port = new PortHandle;
    port->device = std::move(device);
    return port;
}

bool CloseSerialPort(HANDLE handle) {
    PortHandle* port = Port(handle);
    if (port == nullptr) {
        return false;
    }
    if (!port->registeredName.empty()) {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        auto it = Registry().find(port->registeredName);
        if (it != Registry().end() && it->second.device == port->device) {
            it->second.open = false;
        }
    }
    port->device->Close();
    delete port;
    return true;
}

bool GetCommState(HANDLE handle, DCB* dcb) {
    PortHandle* port = Port(handle);
    if (port == nullptr || dcb == nullptr) {
        return false;
    }
    return port->device->GetSettings(*dcb) || FailDevice(errno);
}

bool SetCommState(HANDLE handle, const DCB* dcb) {
    PortHandle* port = Port(handle);
    if (port == nullptr || dcb == nullptr) {
        return false;
    }
    if (dcb->BaudRate == 0 || dcb->ByteSize < 5 || dcb->ByteSize > 8) {
        return Fail(kErrorBadArgument);
    }
    return port->device->SetSettings(*dcb) || FailDevice(errno);
}

bool GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
    PortHandle* port = Port(handle);
    if (port == nullptr || timeouts == nullptr) {
        return false;
    }
    if (SerialDevice::DriverTimeouts* driver = port->device->Driver()) {
        return driver->GetTimeouts(timeouts) || FailDevice(errno);
    }
    *timeouts = port->timeouts;
    return true;
}

bool SetCommTimeouts(HANDLE handle, const COMMTIMEOUTS* timeouts) {
    PortHandle* port = Port(handle);
    if (port == nullptr || timeouts == nullptr) {
        return false;
    }
    if (SerialDevice::DriverTimeouts* driver = port->device->Driver()) {
        return driver->SetTimeouts(*timeouts) || FailDevice(errno);
    }
    port->timeouts = *timeouts;
    return true;
}

bool ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
    PortHandle* port = Port(handle);
    if (port == nullptr) {
        return false;
    }
    if (errors != nullptr) {
        *errors = 0;
    }
    const std::size_t waiting = port->device->Available();
    if (status != nullptr) {
        *status = COMSTAT{0, static_cast<DWORD>(waiting), 0};
    }
    return !port->device->Gone() || FailGone();
}

LowLatency SerialPortLowLatency(HANDLE handle, std::string* reason) {
    std::string ignored;
    std::string* text = reason != nullptr ? reason : &ignored;
    text->clear();
    PortHandle* port = Port(handle);
    return port == nullptr ? LowLatency::kNotOffered : port->device->LowLatencyMode(text);
}

bool SerialPortGone(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    return static_cast<PortHandle*>(handle)->device->Gone();
}

bool PurgeComm(HANDLE handle, DWORD flags) {
    PortHandle* port = Port(handle);
    if (port == nullptr) {
        return false;
    }
    return port->device->Purge(flags) || FailDevice(errno);
}

bool EscapeCommFunction(HANDLE handle, DWORD function) {
    PortHandle* port = Port(handle);
    if (port == nullptr) {
        return false;
    }
    if (function != SETDTR && function != CLRDTR) {
        return Fail(kErrorBadArgument);
    }
    return port->device->SetDtr(function == SETDTR) || FailDevice(errno);
}

bool ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* read) {
    if (read != nullptr) {
        *read = 0;
    }
    PortHandle* port = Port(handle);
    if (port == nullptr || buffer == nullptr) {
        return false;
    }
    SerialDevice& device = *port->device;
    if (device.Gone()) {
        return FailGone();
    }
    if (SerialDevice::DriverTimeouts* driver = device.Driver()) {
        DWORD done = 0;
        const bool ok = driver->Read(buffer, count, &done);
        return DriverDone(ok, done, read);
    }
    const COMMTIMEOUTS t = port->timeouts;
    auto* out = static_cast<unsigned char*>(buffer);
    DWORD got = 0;

    const bool immediate = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                           t.ReadTotalTimeoutConstant == 0;
    // Interval and multiplier MAXDWORD with a constant: return as soon as
    // anything arrives, or after the constant.
    const bool firstByteEnds =
        t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
        t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < MAXDWORD;
    const DWORD total =
        firstByteEnds ? t.ReadTotalTimeoutConstant
                      : TotalLimit(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count);
    const DWORD gap = (t.ReadIntervalTimeout == MAXDWORD || t.ReadIntervalTimeout == 0)
                          ? MAXDWORD
                          : t.ReadIntervalTimeout;

    const DWORD start = GetTickCount();
    DWORD lastByte = start;
    while (got < count) {
        long n = device.ReadSome(out + got, count - got);
        if (n < 0) {
            // Also a device that went away in the middle: the read ends at
            // once with what had come.
            if (read != nullptr) {
                *read = got;
            }
            return FailDevice(errno);
        }
        if (n > 0) {
            got += static_cast<DWORD>(n);
            lastByte = GetTickCount();
            continue;
        }
        if (immediate || (firstByteEnds && got > 0)) {
            break;
        }
        DWORD wait = Remaining(start, total);
        if (wait == 0) {
            break;
        }
        if (got > 0 && gap != MAXDWORD) {
            DWORD gapLeft = Remaining(lastByte, gap);
            if (gapLeft == 0) {
                break;
            }
            wait = std::min(wait, gapLeft);
        }
        device.WaitReadable(wait);
    }
    if (read != nullptr) {
        *read = got;
    }
    return true;
}

bool WaitCommInput(HANDLE handle, DWORD timeoutMs) {
    PortHandle* port = Port(handle);
    if (port == nullptr) {
        return false;
    }
    SerialDevice& device = *port->device;
    const DWORD start = GetTickCount();
    for (;;) {
        if (device.Available() > 0) {
            return true;
        }
        // Nothing will come from a device that has gone: say so at once.
        if (device.Gone()) {
            return FailGone();
        }
        DWORD wait = Remaining(start, timeoutMs);
        if (wait == 0) {
            return false;
        }
        if (device.WaitReadable(wait) && device.Available() == 0 && !device.Gone()) {
            // Woken without a byte to count: do not spin on it.
            Sleep(std::min<DWORD>(Remaining(start, timeoutMs), 10));
        }
    }
}

bool WriteFile(HANDLE handle, const void* data, DWORD count, DWORD* written) {
    if (written != nullptr) {
        *written = 0;
    }
    PortHandle* port = Port(handle);
    if (port == nullptr || (data == nullptr && count > 0)) {
        return false;
    }
    SerialDevice& device = *port->device;
    if (device.Gone()) {
        return FailGone();
    }
    if (SerialDevice::DriverTimeouts* driver = device.Driver()) {
        DWORD done = 0;
        const bool ok = driver->Write(data, count, &done);
        return DriverDone(ok, done, written);
    }
    const DWORD total = TotalLimit(port->timeouts.WriteTotalTimeoutMultiplier,
                                   port->timeouts.WriteTotalTimeoutConstant, count);
    const auto* in = static_cast<const unsigned char*>(data);
    const DWORD start = GetTickCount();
    // A write counts what the line carried, not what the driver queued: a
    // line held by flow control would otherwise take writes without end
    // (until its queue is full) and send them long after they were given up.
    DWORD queued = 0;   // bytes of this write the device took
    DWORD carried = 0;  // ... and sent on
    for (;;) {
        long n = 0;
        if (queued < count) {
            n = device.WriteSome(in + queued, count - queued);
            if (n < 0) {
                if (written != nullptr) {
                    *written = carried;
                }
                return FailDevice(errno);
            }
            queued += static_cast<DWORD>(n);
        }
        // Queued bytes leave in order: the newest pending ones are ours.
        const long pending = device.OutputPending();
        if (pending < 0) {
            if (written != nullptr) {
                *written = carried;
            }
            return FailDevice(errno);
        }
        carried = queued - std::min<DWORD>(queued, static_cast<DWORD>(pending));
        if (carried == count) {
            break;
        }
        DWORD wait = Remaining(start, total);
        if (wait == 0) {
            if (pending > 0) {
                // Given up: what the line did not take must not go out later.
                device.Purge(PURGE_TXCLEAR);
            }
            break;
        }
        if (queued < count && n == 0) {
            device.WaitWritable(wait);
        } else if (queued == count) {
            device.WaitOutputSent(wait);
        }
    }
    if (written != nullptr) {
        *written = carried;
    }
    return true;
}

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD code) {
    t_lastError = code;
}

}  // namespace platform
