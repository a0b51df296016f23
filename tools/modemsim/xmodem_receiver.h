// The modem receiving a file from the host: firmware and flash loader in
// the boot loader, stored files after AT$JUPL.
#pragma once

#include <string>

#include "tools/modemsim/event_log.h"
#include "tools/modemsim/faults.h"
#include "tools/modemsim/line.h"

namespace modemsim {

enum class ReceiveOutcome {
    kDone,
    kNoStart,            // no packet came while NAKs were sent
    kTimeout,            // the sender fell silent in mid-transfer
    kCancelledBySender,  // CAN from the host
    kCancelledByFault,   // --fault-can-at-block
    kTooManyErrors,
    kSilenced,  // --fault-silent-at-block
    kVanished,  // --fault-vanish-at-block
    kStopped,
};

const char* Describe(ReceiveOutcome outcome);

struct ReceiveSettings {
    DWORD nakIntervalMs = 300;    // NAKs that ask for the first packet
    DWORD startTimeoutMs = 0;     // give up asking after this long; 0 = never
    bool accept1k = true;         // false: STX packets are refused with NAK
    DWORD packetByteMs = 1000;    // longest gap inside a packet
    DWORD idleTimeoutMs = 10000;  // longest wait for the next packet
    int maxErrors = 10;           // consecutive bad packets before CAN
};

// Receives one file; *data gets every accepted block whole, padding
// included, as XModem delivers it. *lastBlock, when given, gets the size of
// the last accepted block (0 for an empty file).
ReceiveOutcome ReceiveFile(Line& line, EventLog& log, const ReceiveSettings& settings,
                           TransferFaults faults, std::string* data,
                           std::size_t* lastBlock = nullptr);

}  // namespace modemsim
