// The port operations of CSerial: open in the fixed line setting, reads and
// writes with per-call time-outs, purge, DTR, close.
#include "serial/serial.h"

#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "serial/trace.h"

namespace {

void TraceSerial(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "%s", text);
}

void TraceSystemError() {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "%lu (%s)\n",
                 static_cast<unsigned long>(platform::GetLastError()),
                 platform::ErrorText(platform::GetLastError()).c_str());
}

void TraceGone(const char* operation, const CSerial& port) {
    if (port.DeviceGone()) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "%s: The device <%s> is gone.\n", operation,
                     port.PortName().c_str());
    }
}

void TraceLineSetting(const DCB& dcb) {
    const int L = TRACE_LEVEL_SERIAL;
    xdebug_Trace(-1, L, "\t\tCurrent baud rate          : %d - changed to 115200\n",
                 static_cast<int>(dcb.BaudRate));
    xdebug_Trace(-1, L, "\t\tBinary mode, no EOF check  : %d - changed to 1\n",
                 static_cast<int>(dcb.fBinary));
    xdebug_Trace(-1, L, "\t\tEnable parity checking     : %d - unchanged\n",
                 static_cast<int>(dcb.fParity));
    xdebug_Trace(-1, L, "\t\tCTS output flow control    : %d - changed to 1\n",
                 static_cast<int>(dcb.fOutxCtsFlow));
    xdebug_Trace(-1, L, "\t\tDSR output flow control    : %d - changed to 0\n",
                 static_cast<int>(dcb.fOutxDsrFlow));
    xdebug_Trace(-1, L,
                 "\t\tDTR flow control type      : %d - not changed to DTR_CONTROL_ENABLE: %d\n",
                 static_cast<int>(dcb.fDtrControl), 1);
    xdebug_Trace(-1, L, "\t\tDSR sensitivity            : %d - unchanged\n",
                 static_cast<int>(dcb.fDsrSensitivity));
    xdebug_Trace(-1, L, "\t\tXOFF continues Tx          : %d - unchanged\n",
                 static_cast<int>(dcb.fTXContinueOnXoff));
    xdebug_Trace(-1, L, "\t\tXON/XOFF out flow control  : %d - changed to 0\n",
                 static_cast<int>(dcb.fOutX));
    xdebug_Trace(-1, L, "\t\tXON/XOFF in flow control   : %d - changed to 0\n",
                 static_cast<int>(dcb.fInX));
    xdebug_Trace(-1, L, "\t\tEnable error replacement   : %d - unchanged\n",
                 static_cast<int>(dcb.fErrorChar));
    xdebug_Trace(-1, L, "\t\tEnable null stripping      : %d - unchanged\n",
                 static_cast<int>(dcb.fNull));
    xdebug_Trace(-1, L,
                 "\t\tRTS flow control           : %d - not changed to RTS_CONTROL_ENABLE: %d\n",
                 static_cast<int>(dcb.fRtsControl), 1);
    xdebug_Trace(-1, L, "\t\tAbort on error             : %d - unchanged\n",
                 static_cast<int>(dcb.fAbortOnError));
    xdebug_Trace(-1, L, "\t\tReserved                   : %d - unchanged\n",
                 static_cast<int>(dcb.fDummy2));
    xdebug_Trace(-1, L, "\t\tNot currently used         : %d - unchanged\n",
                 static_cast<int>(dcb.wReserved));
    xdebug_Trace(-1, L, "\t\tTransmit XON threshold     : %d - unchanged\n",
                 static_cast<int>(dcb.XonLim));
    xdebug_Trace(-1, L, "\t\tTransmit XOFF threshold    : %d - unchanged\n",
                 static_cast<int>(dcb.XoffLim));
    xdebug_Trace(-1, L, "\t\tNumber of bits/byte, 4-8   : %d - changed to 8\n",
                 static_cast<int>(dcb.ByteSize));
    xdebug_Trace(-1, L, "\t\t0-4=no,odd,even,mark,space : %d - changed to NOPARITY: %d\n",
                 static_cast<int>(dcb.Parity), 0);
    xdebug_Trace(-1, L, "\t\t0,1,2 = 1, 1.5, 2          : %d - changed to ONESTOPBIT: %d\n",
                 static_cast<int>(dcb.StopBits), 0);
    xdebug_Trace(-1, L, "\t\tTx and Rx XON character    : %d - unchanged\n",
                 static_cast<int>(dcb.XonChar));
    xdebug_Trace(-1, L, "\t\tTx and Rx XOFF character   : %d - unchanged\n",
                 static_cast<int>(dcb.XoffChar));
    xdebug_Trace(-1, L, "\t\tError replacement character: %d - unchanged\n",
                 static_cast<int>(dcb.ErrorChar));
    xdebug_Trace(-1, L, "\t\tEnd of input character     : %d - unchanged\n",
                 static_cast<int>(dcb.EofChar));
    xdebug_Trace(-1, L, "\t\tReceived event character   : %d - unchanged\n",
                 static_cast<int>(dcb.EvtChar));
    xdebug_Trace(-1, L, "\t\tReserved; do not use       : %d - unchanged\n",
                 static_cast<int>(dcb.wReserved1));
}

// What the open did about a USB adapter's latency timer; nothing for a port
// that is no USB adapter.
void TraceLowLatency(HANDLE handle, const std::string& name) {
    std::string reason;
    switch (platform::SerialPortLowLatency(handle, &reason)) {
        case platform::LowLatency::kSwitchedOn:
            xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                         "CSerial::Open: <%s>: low latency mode switched on\n", name.c_str());
            break;
        case platform::LowLatency::kAlreadyOn:
            xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                         "CSerial::Open: <%s>: low latency mode is on already\n", name.c_str());
            break;
        case platform::LowLatency::kRefused:
            xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                         "CSerial::Open: <%s>: the driver refuses low latency mode (%s); the "
                         "latency timer is left as it is\n",
                         name.c_str(), reason.c_str());
            break;
        case platform::LowLatency::kNotOffered:
            break;
    }
}

}  // namespace

CSerial::CSerial() : port_(INVALID_HANDLE_VALUE) {}

CSerial::~CSerial() {
    Close();
}

bool CSerial::SetPortName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    portName_ = name;
    return true;
}

bool CSerial::Open() {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Open: <%s>\n", portName_.c_str());
    if (port_ != INVALID_HANDLE_VALUE) {
        Close();
    }
    HANDLE handle = platform::OpenSerialPort(portName_);
    if (handle == INVALID_HANDLE_VALUE) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Open: Abort Open <%s>\n", portName_.c_str());
        return false;
    }
    // Keep the reason of a failure for the caller, past CloseSerialPort.
    auto fail = [handle] {
        DWORD error = platform::GetLastError();
        platform::CloseSerialPort(handle);
        platform::SetLastError(error);
        return false;
    };
    DCB dcb{};
    if (!platform::GetCommState(handle, &dcb)) {
        return fail();
    }
    TraceLineSetting(dcb);
    dcb.DCBlength = 28;
    dcb.BaudRate = 115200;
    dcb.fBinary = 1;
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!platform::SetCommState(handle, &dcb)) {
        return fail();
    }
    COMMTIMEOUTS timeouts{};
    if (!platform::GetCommTimeouts(handle, &timeouts)) {
        return fail();
    }
    timeouts.WriteTotalTimeoutMultiplier = 100;
    timeouts.WriteTotalTimeoutConstant = 2000;
    if (!platform::SetCommTimeouts(handle, &timeouts)) {
        return fail();
    }
    port_ = handle;
    TraceLowLatency(handle, portName_);
    PulseDTR(20);
    platform::Sleep(20);
    return true;
}

bool CSerial::Close() {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Close: Try to close: <%s>\n", portName_.c_str());
    if (port_ == INVALID_HANDLE_VALUE) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Close: <%s> already closed!\n",
                     portName_.c_str());
        return false;
    }
    ClearInput(0);
    if (platform::SerialPortLowLatency(port_, nullptr) == platform::LowLatency::kSwitchedOn) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                     "CSerial::Close: <%s>: low latency mode switched off again\n",
                     portName_.c_str());
    }
    // Unsent output is stale now; a line held by flow control must not
    // hold the close either.
    platform::PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
    if (!platform::CloseSerialPort(port_)) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Close: Closing of <%s> failed!\n",
                     portName_.c_str());
        return false;
    }
    port_ = INVALID_HANDLE_VALUE;
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Close: Closed: <%s>\n", portName_.c_str());
    return true;
}

bool CSerial::DeviceGone() const {
    return platform::SerialPortGone(port_);
}

bool CSerial::QueryInbuff() {
    DWORD errors = 0;
    COMSTAT status{};
    bool waiting = platform::ClearCommError(port_, &errors, &status) && status.cbInQue != 0;
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::QueryInbuff: Inbuff is %sempty\n",
                 waiting ? "not " : "");
    return waiting;
}

DWORD CSerial::Read(std::string& out, DWORD count) {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Read: Ready to read %i bytes\n",
                 static_cast<int>(count));
    std::vector<char> buffer(static_cast<std::size_t>(count) + 1, 0);
    DWORD read = 0;
    if (!platform::ReadFile(port_, buffer.data(), count, &read)) {
        TraceSerial("CSerial::Read: Critial Error: ");
        TraceSystemError();
        TraceGone("CSerial::Read", *this);
    }
    out.assign(buffer.data(), read);
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Read: %i bytes read\n", static_cast<int>(read));
    return read;
}

DWORD CSerial::ReadTimeout(std::string& out, DWORD count, DWORD totalMs, DWORD gapMs) {
    xdebug_Trace(
        -1, TRACE_LEVEL_SERIAL,
        "CSerial::ReadTimeout: Ready to read %i bytes within %i ms and wait only %i ms between 2 "
        "characters\n",
        static_cast<int>(count), static_cast<int>(totalMs), static_cast<int>(gapMs));
    COMMTIMEOUTS saved{};
    platform::GetCommTimeouts(port_, &saved);
    COMMTIMEOUTS timeouts = saved;
    timeouts.ReadIntervalTimeout = gapMs;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = totalMs;
    platform::SetCommTimeouts(port_, &timeouts);
    DWORD read = Read(out, count);
    platform::SetCommTimeouts(port_, &saved);
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::ReadTimeout: %i bytes read\n",
                 static_cast<int>(read));
    return read;
}

DWORD CSerial::ReadAll(std::string& out, DWORD totalMs, DWORD gapMs) {
    const DWORD deadline = platform::GetTickCount() + totalMs;
    DWORD total = 0;
    DWORD remaining = totalMs;
    xdebug_Trace(
        -1, TRACE_LEVEL_SERIAL,
        "CSerial::ReadAll: Ready to read all bytes within %i ms and wait only %i ms between 2 "
        "characters\n",
        static_cast<int>(totalMs), static_cast<int>(gapMs));
    out.clear();
    if (remaining != 0) {
        std::string chunk;
        DWORD n = 0;
        do {
            n = ReadTimeout(chunk, 256, remaining, gapMs);
            total += n;
            out += chunk;
            DWORD now = platform::GetTickCount();
            // Signed difference: the deadline may lie past a wrap of the tick.
            int left = static_cast<int>(deadline - now);
            remaining = left > 0 ? static_cast<DWORD>(left) : 0;
        } while (remaining > 0 && n == 256);
    }
    if (total != 0) {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::ReadAll: Read: %s\n", out.c_str());
    } else {
        TraceSerial("CSerial::ReadAll: Nothing read\n");
    }
    return total;
}

DWORD CSerial::Write(const std::string& data, DWORD count) {
    if (count == 0 || count > data.size()) {
        count = static_cast<DWORD>(data.size());
    }
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Write: Ready to write %i bytes\n",
                 static_cast<int>(count));
    DWORD written = 0;
    if (!platform::WriteFile(port_, data.data(), count, &written)) {
        TraceSerial("CSerial::Write: Critial Error: ");
        TraceSystemError();
        TraceGone("CSerial::Write", *this);
    }
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Write: %i bytes written\n",
                 static_cast<int>(written));
    return written;
}

DWORD CSerial::WriteTimeout(const std::string& data, DWORD count, DWORD totalMs) {
    COMMTIMEOUTS saved{};
    platform::GetCommTimeouts(port_, &saved);
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                 "CSerial::WriteTimeout: Ready to write %i bytes with total timeout of %i ms\n",
                 static_cast<int>(count), static_cast<int>(totalMs));
    COMMTIMEOUTS timeouts = saved;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = totalMs;
    platform::SetCommTimeouts(port_, &timeouts);
    DWORD written = Write(data, count);
    platform::SetCommTimeouts(port_, &saved);
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                 "CSerial::WriteTimeout: Returned from write with %i bytes written\n",
                 static_cast<int>(written));
    return written;
}

bool CSerial::ClearInput(DWORD waitMs) {
    if (waitMs != 0) {
        platform::Sleep(waitMs);
    }
    if (port_ == INVALID_HANDLE_VALUE) {
        return true;
    }
    return platform::PurgeComm(port_, PURGE_RXCLEAR);
}

bool CSerial::PulseDTR(DWORD ms) {
    platform::EscapeCommFunction(port_, SETDTR);
    platform::EscapeCommFunction(port_, CLRDTR);
    platform::Sleep(ms);
    return platform::EscapeCommFunction(port_, SETDTR);
}

bool CSerial::WaitInput(DWORD ms) {
    return platform::WaitCommInput(port_, ms);
}
