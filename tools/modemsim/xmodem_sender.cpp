#include "tools/modemsim/xmodem_sender.h"

#include "platform/clock.h"
#include "tools/modemsim/xmodem.h"

namespace modemsim {
namespace {

using namespace xmodem;

// How long a cancelled transfer keeps swallowing the peer's CAN bursts and
// stale packets before the modem speaks again.
constexpr DWORD kDrainQuietMs = 300;
constexpr DWORD kDrainMaxMs = 3000;

enum class Reply { kAck, kNak, kCan, kNone };

// The receiver's answer to a packet; bytes that are none of ACK, NAK, CAN
// (a 'C' asking for CRC mode, stray bytes) are not answers.
Reply WaitReply(Line& line, DWORD timeoutMs) {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return Reply::kNone;
        }
        int b = line.ReadByte(timeoutMs - elapsed);
        if (b == kAck) {
            return Reply::kAck;
        }
        if (b == kNak) {
            return Reply::kNak;
        }
        if (b == kCan) {
            return Reply::kCan;
        }
        if (b < 0) {
            return Reply::kNone;
        }
    }
}

}  // namespace

const char* Describe(SendOutcome outcome) {
    switch (outcome) {
        case SendOutcome::kDone:
            return "done";
        case SendOutcome::kNoStart:
            return "receiver never sent NAK";
        case SendOutcome::kTooManyRetries:
            return "too many retries";
        case SendOutcome::kCancelledByReceiver:
            return "cancelled by the receiver";
        case SendOutcome::kCancelledByFault:
            return "cancelled (fault)";
        case SendOutcome::kSilenced:
            return "went silent (fault)";
        case SendOutcome::kVanished:
            return "device closed (fault)";
        case SendOutcome::kStopped:
            return "stopped";
    }
    return "?";
}

SendOutcome SendFile(Line& line, EventLog& log, const std::string& data,
                     const SendSettings& settings, TransferFaults faults) {
    // The receiver starts the transfer with NAK; 'C' (CRC mode) is not
    // offered and so not answered.
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (line.Stopped()) {
            return SendOutcome::kStopped;
        }
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= settings.startTimeoutMs) {
            return SendOutcome::kNoStart;
        }
        int b = line.ReadByte(settings.startTimeoutMs - elapsed);
        if (b == kNak) {
            break;
        }
        if (b == kCan) {
            line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
            return SendOutcome::kCancelledByReceiver;
        }
    }

    std::size_t offset = 0;
    int sequence = 1;
    while (offset < data.size()) {
        std::string chunk = data.substr(offset, settings.blockSize);
        if (faults.canAt == sequence) {
            log.Event("fault cancel at block " + std::to_string(sequence));
            line.Send(kCan);
            line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
            return SendOutcome::kCancelledByFault;
        }
        if (faults.silentAt == sequence) {
            log.Event("fault silent from block " + std::to_string(sequence));
            line.DrainUntilQuiet(settings.silenceMs, MAXDWORD);
            return SendOutcome::kSilenced;
        }
        int retries = 0;
        for (;;) {
            if (line.Stopped()) {
                return SendOutcome::kStopped;
            }
            std::string packet = BuildPacket(sequence, chunk, settings.blockSize);
            if (faults.corrupt.block == sequence && faults.corrupt.count != 0) {
                packet.back() = static_cast<char>(packet.back() ^ 0x5A);
                if (faults.corrupt.count > 0) {
                    --faults.corrupt.count;
                }
                log.Event("fault corrupt block " + std::to_string(sequence));
            }
            if (faults.vanishAt == sequence) {
                line.Send(packet.substr(0, packet.size() / 2));
                line.Vanish("at block " + std::to_string(sequence));
                return SendOutcome::kVanished;
            }
            if (faults.late.at == sequence) {
                log.Event("fault late block " + std::to_string(sequence));
                line.Pause(static_cast<DWORD>(faults.late.ms));
                faults.late = DelayFault{};
            }
            if (faults.garbageAt == sequence) {
                log.Event("fault garbage instead of block " + std::to_string(sequence));
                faults.garbageAt = 0;
                line.SendNoise(packet.size());
            } else {
                line.Send(packet);
            }
            Reply reply = WaitReply(line, settings.replyTimeoutMs);
            if (reply == Reply::kAck) {
                break;
            }
            if (reply == Reply::kCan) {
                line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
                return SendOutcome::kCancelledByReceiver;
            }
            if (++retries > settings.maxRetries) {
                line.Send(std::string(2, static_cast<char>(kCan)));
                line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
                return SendOutcome::kTooManyRetries;
            }
        }
        offset += chunk.size();
        ++sequence;
    }

    for (int retries = 0; retries <= settings.maxRetries; ++retries) {
        if (line.Stopped()) {
            return SendOutcome::kStopped;
        }
        line.Send(kEot);
        Reply reply = WaitReply(line, settings.replyTimeoutMs);
        if (reply == Reply::kAck) {
            return SendOutcome::kDone;
        }
        if (reply == Reply::kCan) {
            line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
            return SendOutcome::kCancelledByReceiver;
        }
    }
    return SendOutcome::kTooManyRetries;
}

}  // namespace modemsim
