#include "test_xmodem.h"

namespace modemsim_test {
namespace {

constexpr int SOH = 0x01;
constexpr int STX = 0x02;
constexpr int EOT = 0x04;
constexpr int ACK = 0x06;
constexpr int NAK = 0x15;
constexpr int CAN = 0x18;

// Next ACK, NAK or CAN (other bytes skipped), -1 after timeoutMs.
int Reply(RawPort& port, DWORD timeoutMs) {
    for (;;) {
        int b = port.ReadByte(timeoutMs);
        if (b < 0 || b == ACK || b == NAK || b == CAN) {
            return b;
        }
    }
}

}  // namespace

std::string Packet(int sequence, const std::string& data, std::size_t size) {
    std::string packet;
    packet += static_cast<char>(size == 1024 ? STX : SOH);
    packet += static_cast<char>(sequence & 0xFF);
    packet += static_cast<char>(~sequence & 0xFF);
    std::string payload = data.substr(0, size);
    payload.append(size - payload.size(), '\x1A');
    unsigned sum = 0;
    for (unsigned char c : payload) {
        sum += c;
    }
    packet += payload;
    packet += static_cast<char>(sum & 0xFF);
    return packet;
}

SendReport XModemSend(RawPort& port, const std::string& data, const SendPlan& plan) {
    SendReport report;
    if (plan.waitForNak && Reply(port, 10000) != NAK) {
        report.failure = "no NAK from the receiver";
        return report;
    }
    std::size_t size = plan.use1k ? 1024 : 128;
    std::size_t offset = 0;
    int sequence = 1;
    int firstBlockNaks = 0;
    bool repeated = false;
    while (offset < data.size()) {
        std::string chunk = data.substr(offset, size);
        int tries = 0;
        for (;;) {
            // Answers that came before this packet (start NAKs still on
            // their way) are not answers to it.
            port.Purge();
            port.Write(Packet(sequence, chunk, size));
            int reply = Reply(port, 5000);
            if (reply == ACK) {
                if (sequence == plan.repeatBlock && !repeated) {
                    repeated = true;
                    port.Write(Packet(sequence, chunk, size));
                    if (Reply(port, 5000) != ACK) {
                        report.failure = "repeated block not acknowledged";
                        return report;
                    }
                }
                break;
            }
            if (reply == CAN) {
                report.cancelled = true;
                report.failure = "receiver cancelled at block " + std::to_string(sequence);
                return report;
            }
            if (reply == NAK) {
                ++report.naks;
                ++report.naksPerBlock[sequence];
                if (size == 1024 && sequence == 1 && ++firstBlockNaks >= plan.fallbackAfter) {
                    size = 128;
                    report.fellBackTo128 = true;
                    chunk = data.substr(offset, size);
                    continue;
                }
            }
            if (++tries > 15) {
                report.failure = "block " + std::to_string(sequence) + " refused too often";
                return report;
            }
        }
        offset += chunk.size();
        ++sequence;
    }
    for (int tries = 0; tries < 10; ++tries) {
        port.Purge();
        port.Write(std::string(1, static_cast<char>(EOT)));
        int reply = Reply(port, 5000);
        if (reply == ACK) {
            report.ok = true;
            return report;
        }
    }
    report.failure = "EOT not acknowledged";
    return report;
}

ReceiveReport XModemReceive(RawPort& port) {
    ReceiveReport report;
    port.Write(std::string(1, static_cast<char>(NAK)));
    int expected = 1;
    for (;;) {
        int header = port.ReadByte(12000);
        if (header < 0) {
            report.failure = "sender silent";
            return report;
        }
        if (header == EOT) {
            port.Write(std::string(1, static_cast<char>(ACK)));
            report.ok = true;
            return report;
        }
        if (header == CAN) {
            report.cancelled = true;
            report.failure = "sender cancelled";
            return report;
        }
        if (header != SOH && header != STX) {
            continue;  // not a packet start
        }
        std::size_t size = header == STX ? 1024 : 128;
        std::string rest;
        while (rest.size() < size + 3) {
            int b = port.ReadByte(2000);
            if (b < 0) {
                break;
            }
            rest += static_cast<char>(b);
        }
        bool good = rest.size() == size + 3;
        unsigned number = good ? static_cast<unsigned char>(rest[0]) : 0;
        if (good) {
            good = number + static_cast<unsigned char>(rest[1]) == 255;
            unsigned sum = 0;
            for (std::size_t i = 0; i < size; ++i) {
                sum += static_cast<unsigned char>(rest[2 + i]);
            }
            good = good && (sum & 0xFF) == static_cast<unsigned char>(rest[2 + size]);
        }
        if (!good) {
            ++report.badPackets;
            port.Write(std::string(1, static_cast<char>(NAK)));
            continue;
        }
        if (number == static_cast<unsigned>(expected & 0xFF)) {
            report.data += rest.substr(2, size);
            report.blockSize = size;
            ++report.blocks;
            ++expected;
        }
        port.Write(std::string(1, static_cast<char>(ACK)));
    }
}

}  // namespace modemsim_test
