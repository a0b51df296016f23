// The byte-level serial device behind a port handle. The platform provides
// one for real terminals; tests register scripted ones under a port name.
// The time-out rules of reads and writes are implemented once, above this
// interface (platform/serial_port.cpp), for every kind of device whose
// driver does not apply them itself. Device errors are reported in errno,
// as the system's error codes (on Windows those of GetLastError).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/serial_port.h"
#include "platform/types.h"

namespace platform {

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Bytes received and not yet read.
    virtual std::size_t Available() = 0;
    // True once the device has gone away (unplugged, switched off, its line
    // hung up). A gone device stays gone: every later call fails at once.
    virtual bool Gone() { return false; }
    // Waits until at least one byte can be read or timeoutMs passes
    // (MAXDWORD = no limit). True when a byte is readable.
    virtual bool WaitReadable(DWORD timeoutMs) = 0;
    // Reads what is there, without waiting. Returns the count, or -1 with
    // errno set on a device error.
    virtual long ReadSome(void* buffer, std::size_t count) = 0;
    // Waits until a write can make progress or timeoutMs passes.
    virtual bool WaitWritable(DWORD timeoutMs) = 0;
    // Writes what the device takes now, without waiting. Returns the count,
    // or -1 with errno set on a device error.
    virtual long WriteSome(const void* data, std::size_t count) = 0;
    // Bytes the device has taken that its line has not sent yet (a UART's
    // output queue), or -1 with errno set on a device error. A device that
    // hands bytes on at once has nothing pending.
    virtual long OutputPending() { return 0; }
    // Sleeps until the pending output should have left the port, at most
    // timeoutMs; returns early when the device goes.
    virtual void WaitOutputSent(DWORD timeoutMs) { (void)timeoutMs; }

    virtual bool GetSettings(DCB& dcb) = 0;
    virtual bool SetSettings(const DCB& dcb) = 0;
    // Drops received (PURGE_RXCLEAR) and/or unsent (PURGE_TXCLEAR) bytes.
    virtual bool Purge(DWORD flags) = 0;
    virtual bool SetDtr(bool on) = 0;
    // Releases the device; called when its handle closes. Output the line
    // has not sent is dropped, and closing never waits for a stalled line.
    virtual void Close() = 0;
    // Called each time a handle is opened on the device: for a registered
    // device at every open, for a system device once nobody else holds it.
    virtual void Opened() {}
    // What the last Opened did about an adapter's low-latency mode, and
    // for a refusal why.
    virtual LowLatency LowLatencyMode(std::string* reason) const {
        reason->clear();
        return LowLatency::kNotOffered;
    }

    // A device whose own driver keeps the communications time-outs and
    // applies them (a Windows communications handle) gives them here; the
    // port functions then hand time-outs, reads and writes to it instead of
    // applying the rules of serial_port.cpp on top of the calls above.
    class DriverTimeouts {
      public:
        virtual bool GetTimeouts(COMMTIMEOUTS* timeouts) = 0;
        virtual bool SetTimeouts(const COMMTIMEOUTS& timeouts) = 0;
        // Read and write as the driver does under the time-outs last set;
        // false with errno set on a device error (*done still counts).
        virtual bool Read(void* buffer, DWORD count, DWORD* done) = 0;
        virtual bool Write(const void* data, DWORD count, DWORD* done) = 0;

      protected:
        ~DriverTimeouts() = default;
    };
    virtual DriverTimeouts* Driver() { return nullptr; }
};

// Test seam: while a device is registered under a name, opening that name
// gives this device instead of a system port. The registry keeps a
// reference; a registered device can be opened by one handle at a time.
void RegisterSerialDevice(const std::string& name, std::shared_ptr<SerialDevice> device);
void UnregisterSerialDevice(const std::string& name);

}  // namespace platform
