// Serial communications in the shape of the Windows communications API, so
// the line code reads like the behaviour it implements. Every function
// fails (false / INVALID_HANDLE_VALUE) with the reason in GetLastError().
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Opens a port by name with exclusive access: another open of the same port,
// by this or any other process, fails while this handle is open; and the
// open fails (EBUSY) while another process has the port open, even without
// a lock (device_users.h says who). "COM1" to
// "COM9" (any case) name the first nine system UARTs; any other name is a
// device path. The line is put into raw mode (every byte passes untouched).
HANDLE OpenSerialPort(const std::string& name);
bool CloseSerialPort(HANDLE port);

bool GetCommState(HANDLE port, DCB* dcb);
bool SetCommState(HANDLE port, const DCB* dcb);
bool GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
bool SetCommTimeouts(HANDLE port, const COMMTIMEOUTS* timeouts);
// Reports the bytes waiting in cbInQue and clears pending line errors.
// Fails once the device has gone.
bool ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);
bool PurgeComm(HANDLE port, DWORD flags);
bool EscapeCommFunction(HANDLE port, DWORD function);
// Reads up to count bytes under the time-outs in force. A time-out is not a
// failure: *read tells how many bytes came. A read on a device that has gone
// fails at once (with *read the bytes that came before).
bool ReadFile(HANDLE port, void* buffer, DWORD count, DWORD* read);
// Waits until at least one received byte is waiting, or timeoutMs passes.
// The thread sleeps in the meantime (no polling loop). False at once when
// the device has gone.
bool WaitCommInput(HANDLE port, DWORD timeoutMs);
// Writes under the write time-outs in force. *written counts the bytes the
// line carried within the time-out; when it has not carried them all, the
// rest is discarded, so nothing of a write given up goes out later.
bool WriteFile(HANDLE port, const void* data, DWORD count, DWORD* written);

// True once the device behind an open port has gone away (unplugged,
// switched off, its line hung up): from then on every read, write and query
// on the handle fails at once, and only closing it is left. Tells a port
// that has gone from one on which nothing has come yet. False for
// INVALID_HANDLE_VALUE.
bool SerialPortGone(HANDLE port);

// The low-latency mode of a USB serial adapter. An adapter holds what it
// receives until its packet is full or its latency timer runs out (16 ms by
// default on common chips), and a stop-and-wait protocol pays that on every
// answer; in low-latency mode the timer is 1 ms. Opening a port asks for it
// where the driver offers it; closing the port puts back what was found.
enum class LowLatency {
    kNotOffered,  // not a USB adapter (a UART on the board, a pseudo-terminal)
    kSwitchedOn,  // was off: on until the port closes
    kAlreadyOn,   // was on already: left so
    kRefused,     // the driver would not switch it on: left as it was
};

// What the open of port found and did about low latency. For kRefused,
// *reason (may be null) says why, in the system's words.
LowLatency SerialPortLowLatency(HANDLE port, std::string* reason);

// The system device path a port name stands for.
std::string DevicePathForPortName(const std::string& name);

// Last error of this thread (an errno value on POSIX), and its text.
DWORD GetLastError();
void SetLastError(DWORD code);
std::string ErrorText(DWORD code);

}  // namespace platform
