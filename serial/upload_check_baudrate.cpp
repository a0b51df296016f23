// The loader speed check: wait for the loader's NAK and step the line speed
// down while its bytes arrive garbled.
#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "serial/serial.h"
#include "serial/trace.h"

namespace {

constexpr DWORD kWaitPerSpeedMs = 10000;
constexpr DWORD kReadTotalMs = 10;
constexpr DWORD kReadGapMs = 1;
constexpr char kNak = 0x15;
constexpr int kFailedReadsPerSpeed = 3;
constexpr DWORD kLeastTimeBetweenChangesMs = 1000;

}  // namespace

bool CSerial::UploadCheckBaudrate() {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::UploadCheckBaudrate: Start check\n");
    ClearInput(0);
    bool found = false;
    bool running = true;
    int index = 6;
    int failedReads = 0;
    bool changed = false;
    DWORD lastChange = 0;
    while (running && index >= 0) {
        const DWORD deadline = platform::GetTickCount() + kWaitPerSpeedMs;
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                     "CSerial::UploadCheckBaudrate: Try to connect with %i cps\n",
                     static_cast<int>(SPEED_STEPS[index]));
        while (running && !QueryInbuff()) {
            int left = static_cast<int>(deadline - platform::GetTickCount());
            if (DeviceGone()) {
                xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                             "CSerial::UploadCheckBaudrate: Error: Device gone!\n");
                running = false;
            } else if (left > 0) {
                WaitInput(static_cast<DWORD>(left));
            } else {
                xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                             "CSerial::UploadCheckBaudrate: Error: Timeout\n");
                running = false;
            }
        }
        if (!running) {
            break;
        }
        std::string received;
        if (ReadAll(received, kReadTotalMs, kReadGapMs) >= 1 && received[0] == kNak) {
            xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                         "CSerial::UploadCheckBaudrate: Connection established with %i cps\n",
                         static_cast<int>(SPEED_STEPS[index]));
            found = true;
            running = false;
            continue;
        }
        ++failedReads;
        const DWORD now = platform::GetTickCount();
        if (failedReads < kFailedReadsPerSpeed ||
            (changed && now - lastChange < kLeastTimeBetweenChangesMs)) {
            continue;
        }
        if (index == 0) {
            running = false;  // 9600 failed too: there is no lower speed
            continue;
        }
        failedReads = 0;
        lastChange = now;
        changed = true;
        DCB dcb{};
        dcb.DCBlength = 28;
        if (!platform::GetCommState(Handle(), &dcb)) {
            xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                         "CSerial::UploadCheckBaudrate: Error: Could not get comstate!\n");
            running = false;
        } else {
            --index;
            dcb.BaudRate = SPEED_STEPS[index];
            if (!platform::SetCommState(Handle(), &dcb)) {
                xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                             "CSerial::UploadCheckBaudrate: Error: Could not set comstate!\n");
                running = false;
            }
        }
        ClearInput(0);  // bytes received at the old speed are noise
    }
    return found;
}
