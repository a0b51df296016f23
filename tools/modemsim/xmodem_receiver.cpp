#include "tools/modemsim/xmodem_receiver.h"

#include <algorithm>

#include "platform/clock.h"
#include "tools/modemsim/xmodem.h"

namespace modemsim {
namespace {

using namespace xmodem;

constexpr DWORD kDrainQuietMs = 300;
constexpr DWORD kDrainMaxMs = 3000;

bool IsHeader(int b) {
    return b == kSoh || b == kStx || b == kEot || b == kCan;
}

// The next packet header, skipping bytes that cannot start one.
int WaitHeader(Line& line, DWORD timeoutMs) {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        DWORD elapsed = platform::GetTickCount() - start;
        if (elapsed >= timeoutMs || line.Stopped()) {
            return -1;
        }
        int b = line.ReadByte(timeoutMs - elapsed);
        if (b < 0 || IsHeader(b)) {
            return b;
        }
    }
}

// The reply to a block (the EOT counts as the block after the last): late
// and or noise when a fault says so, each once.
void Reply(Line& line, EventLog& log, TransferFaults& faults, unsigned char byte, int block) {
    if (faults.late.at == block) {
        log.Event("fault late reply to block " + std::to_string(block));
        line.Pause(static_cast<DWORD>(faults.late.ms));
        faults.late = DelayFault{};
    }
    if (faults.garbageAt == block) {
        log.Event("fault garbage reply to block " + std::to_string(block));
        faults.garbageAt = 0;
        line.SendNoise(1);
        return;
    }
    line.Send(byte);
}

}  // namespace

const char* Describe(ReceiveOutcome outcome) {
    switch (outcome) {
        case ReceiveOutcome::kDone:
            return "done";
        case ReceiveOutcome::kNoStart:
            return "no packet came";
        case ReceiveOutcome::kTimeout:
            return "sender fell silent";
        case ReceiveOutcome::kCancelledBySender:
            return "cancelled by the sender";
        case ReceiveOutcome::kCancelledByFault:
            return "cancelled (fault)";
        case ReceiveOutcome::kTooManyErrors:
            return "too many errors";
        case ReceiveOutcome::kSilenced:
            return "went silent (fault)";
        case ReceiveOutcome::kVanished:
            return "device closed (fault)";
        case ReceiveOutcome::kStopped:
            return "stopped";
    }
    return "?";
}

ReceiveOutcome ReceiveFile(Line& line, EventLog& log, const ReceiveSettings& settings,
                           TransferFaults faults, std::string* data, std::size_t* lastBlock) {
    data->clear();
    std::size_t lastSize = 0;
    if (lastBlock == nullptr) {
        lastBlock = &lastSize;
    }
    *lastBlock = 0;

    // Ask for the first packet until its first byte arrives.
    int header = -1;
    const DWORD start = platform::GetTickCount();
    while (header < 0) {
        if (line.Stopped()) {
            return ReceiveOutcome::kStopped;
        }
        DWORD elapsed = platform::GetTickCount() - start;
        if (settings.startTimeoutMs != 0 && elapsed >= settings.startTimeoutMs) {
            return ReceiveOutcome::kNoStart;
        }
        if (faults.startNoise > 0) {
            --faults.startNoise;
            log.Event("fault garbage instead of NAK");
            line.SendNoise(1);
        } else {
            line.Send(kNak);
        }
        DWORD wait = settings.nakIntervalMs;
        if (settings.startTimeoutMs != 0) {
            wait = std::min<DWORD>(wait, settings.startTimeoutMs - elapsed);
        }
        header = WaitHeader(line, wait);
    }

    int expected = 1;  // sequence number of the next new block
    int errors = 0;
    for (;;) {
        if (header < 0) {
            return line.Stopped() ? ReceiveOutcome::kStopped : ReceiveOutcome::kTimeout;
        }
        if (header == kEot) {
            // Faults on the block after the last strike the EOT.
            if (faults.vanishAt == expected) {
                line.Vanish("at the EOT");
                return ReceiveOutcome::kVanished;
            }
            if (faults.silentAt != 0 && expected >= faults.silentAt) {
                log.Event("fault silent at the EOT");
                line.DrainUntilQuiet(settings.idleTimeoutMs, MAXDWORD);
                return ReceiveOutcome::kSilenced;
            }
            if (faults.canAt == expected) {
                log.Event("fault cancel at the EOT");
                line.Send(std::string(2, static_cast<char>(kCan)));
                line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
                return ReceiveOutcome::kCancelledByFault;
            }
            if (faults.nak.block == expected && faults.nak.count != 0) {
                if (faults.nak.count > 0) {
                    --faults.nak.count;
                }
                log.Event("fault nak the EOT");
                line.Send(kNak);
                header = WaitHeader(line, settings.idleTimeoutMs);
                continue;
            }
            Reply(line, log, faults, kAck, expected);
            return ReceiveOutcome::kDone;
        }
        if (header == kCan) {
            line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
            return ReceiveOutcome::kCancelledBySender;
        }

        const std::size_t size = header == kStx ? 1024 : 128;
        const bool vanish = faults.vanishAt != 0 && faults.vanishAt == expected;
        const std::size_t want = vanish ? (size + 4) / 2 : size + 4;
        std::string packet(1, static_cast<char>(header));
        while (packet.size() < want) {
            int b = line.ReadByte(settings.packetByteMs);
            if (b < 0) {
                break;
            }
            packet += static_cast<char>(b);
        }
        if (vanish && packet.size() == want) {
            line.Vanish("at block " + std::to_string(expected));
            return ReceiveOutcome::kVanished;
        }
        if (line.Stopped()) {
            return ReceiveOutcome::kStopped;
        }

        const unsigned char number = packet.size() > 1 ? static_cast<unsigned char>(packet[1]) : 0;
        const PacketCheck check = CheckPacket(packet);
        const bool isNext = check == PacketCheck::kGood && number == (expected & 0xFF);

        if (faults.silentAt != 0 && expected >= faults.silentAt) {
            log.Event("fault silent from block " + std::to_string(expected));
            line.DrainUntilQuiet(settings.idleTimeoutMs, MAXDWORD);
            return ReceiveOutcome::kSilenced;
        }
        if (isNext && faults.canAt == expected) {
            log.Event("fault cancel at block " + std::to_string(expected));
            line.Send(std::string(2, static_cast<char>(kCan)));
            line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
            return ReceiveOutcome::kCancelledByFault;
        }

        std::string problem;
        if (check != PacketCheck::kGood) {
            problem = Describe(check);
        } else if (header == kStx && !settings.accept1k) {
            problem = "1024-byte block refused";
        } else if (isNext) {
            if (faults.nak.block == expected && faults.nak.count != 0) {
                if (faults.nak.count > 0) {
                    --faults.nak.count;
                }
                log.Event("fault nak block " + std::to_string(expected));
                line.Send(kNak);
                header = WaitHeader(line, settings.idleTimeoutMs);
                continue;
            }
            data->append(packet, 3, size);
            *lastBlock = size;
            Reply(line, log, faults, kAck, expected);
            ++expected;
            errors = 0;
        } else if (expected > 1 && number == ((expected - 1) & 0xFF)) {
            // The sender missed our ACK and repeated the block.
            line.Send(kAck);
        } else {
            problem = "block " + std::to_string(number) + " out of sequence";
        }

        if (!problem.empty()) {
            if (++errors > settings.maxErrors) {
                log.Error("receive: " + problem + ", too many errors");
                line.Send(std::string(2, static_cast<char>(kCan)));
                line.DrainUntilQuiet(kDrainQuietMs, kDrainMaxMs);
                return ReceiveOutcome::kTooManyErrors;
            }
            line.Send(kNak);
        }
        header = WaitHeader(line, settings.idleTimeoutMs);
    }
}

}  // namespace modemsim
