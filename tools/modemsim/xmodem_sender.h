// The modem sending a stored file to the host (AT$JDNL).
#pragma once

#include <cstddef>
#include <string>

#include "tools/modemsim/event_log.h"
#include "tools/modemsim/faults.h"
#include "tools/modemsim/line.h"

namespace modemsim {

enum class SendOutcome {
    kDone,
    kNoStart,              // the receiver never asked with NAK
    kTooManyRetries,       // a block or the EOT was refused too often
    kCancelledByReceiver,  // CAN from the host
    kCancelledByFault,     // --fault-can-at-block
    kSilenced,             // --fault-silent-at-block
    kVanished,             // --fault-vanish-at-block
    kStopped,              // the simulator is shutting down
};

const char* Describe(SendOutcome outcome);

struct SendSettings {
    std::size_t blockSize = 128;
    DWORD startTimeoutMs = 60000;  // wait for the receiver's first NAK
    DWORD replyTimeoutMs = 10000;  // wait for ACK or NAK after a packet
    int maxRetries = 10;           // resends of one packet
    DWORD silenceMs = 10000;       // a silenced transfer ends after this much quiet
};

SendOutcome SendFile(Line& line, EventLog& log, const std::string& data,
                     const SendSettings& settings, TransferFaults faults);

}  // namespace modemsim
