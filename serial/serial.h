// CSerial: the one object through which every module talks to the modem.
// Its layout (virtual destructor, port handle, port name) is shared with
// separately built plug-ins, which run their own copy of these operations on
// the wizard's object: do not add members.
#pragma once

#include <string>

#include "platform/types.h"

// Flags of CSerial::Request (values are part of the plug-in interface).
enum : unsigned {
    REQUEST_IGNORE_ECHO = 1,    // write the command in one piece, no echo check
    REQUEST_IGNORE_ANSWER = 2,  // done once the command and its CR are echoed
    REQUEST_SCROLL = 4,         // send CR every 250 ms while nothing arrives
    REQUEST_NO_CR = 8,          // no CR after the command, no wait for its echo
};

// Result codes of one request try, in the order they are tested.
enum RequestResult : int {
    REQUEST_NOK = -3,
    REQUEST_NO_CARRIER = -2,
    REQUEST_ERROR = -1,
    REQUEST_NONE = 0,
    REQUEST_OK = 1,
};

// The speeds the loader check steps down through, highest last.
constexpr DWORD SPEED_STEPS[7] = {9600, 14400, 19200, 38400, 56000, 57600, 115200};

class CSerial {
  public:
    CSerial();
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // Stores the name used by the next Open; false for an empty name.
    bool SetPortName(const std::string& name);
    const std::string& PortName() const { return portName_; }
    // The open handle, or INVALID_HANDLE_VALUE.
    HANDLE Handle() const { return port_; }
    bool IsOpen() const { return port_ != INVALID_HANDLE_VALUE; }
    // True once the device behind the open port has gone (unplugged,
    // switched off, its line hung up): every read and write then fails at
    // once. Tells a lost modem from one that has not answered yet.
    bool DeviceGone() const;

    // Opens the named port at 115200 8N1 with CTS flow control and pulses DTR.
    bool Open();
    // Drops what is still unsent (so that closing never waits on a stalled
    // line) and what was received, and closes.
    bool Close();
    bool QueryInbuff();
    DWORD Read(std::string& out, DWORD count);
    DWORD ReadTimeout(std::string& out, DWORD count, DWORD totalMs, DWORD gapMs);
    DWORD ReadAll(std::string& out, DWORD totalMs, DWORD gapMs);
    // count 0, or more than the data holds, writes the whole string.
    DWORD Write(const std::string& data, DWORD count);
    DWORD WriteTimeout(const std::string& data, DWORD count, DWORD totalMs);
    bool ClearInput(DWORD waitMs);
    bool PulseDTR(DWORD ms);

    // Sends an AT command and collects the answer; true only for "OK".
    bool Request(const std::string& command, std::string* answer, unsigned flags,
                 const char* cancel, DWORD timeoutMs, int retries);
    // Waits for a text without sending anything.
    bool WaitFor(const std::string& expected, std::string* answer, DWORD timeoutMs);
    // Waits for the loader's NAK, stepping the line speed down while the
    // bytes arrive garbled. Leaves the port at the speed that worked.
    bool UploadCheckBaudrate();

  private:
    // Sleeps until input is waiting or ms pass; true when input waits.
    bool WaitInput(DWORD ms);

    HANDLE port_;
    std::string portName_;
};
