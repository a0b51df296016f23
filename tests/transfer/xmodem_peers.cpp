#include "tests/transfer/xmodem_peers.h"

#include <random>

namespace test_support {
namespace {

constexpr char SOH = 0x01, STX = 0x02, EOT = 0x04, ACK = 0x06, NAK = 0x15, CAN = 0x18;

int U(char c) {
    return static_cast<unsigned char>(c);
}

}  // namespace

std::string XModemPacket(int number, const std::string& data, int size) {
    std::string packet(1, size == 1024 ? STX : SOH);
    packet += static_cast<char>(number & 0xFF);
    packet += static_cast<char>(255 - (number & 0xFF));
    std::string body = data.substr(0, static_cast<std::size_t>(size));
    body.resize(static_cast<std::size_t>(size), 0x1A);
    int sum = 0;
    for (char c : body) {
        sum += U(c);
    }
    packet += body;
    packet += static_cast<char>(sum & 0xFF);
    return packet;
}

std::vector<std::string> XModemPackets(const std::string& file, int size) {
    std::vector<std::string> packets;
    for (std::size_t at = 0; at < file.size(); at += static_cast<std::size_t>(size)) {
        packets.push_back(
            XModemPacket(static_cast<int>(packets.size() + 1), file.substr(at, size), size));
    }
    return packets;
}

std::string RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

void XModemReceiverPeer::Listen() {
    port_.OnWrite(
        [this](platform::testing::ScriptedSerial&, const std::string& bytes) { Feed(bytes); });
}

void XModemReceiverPeer::Reply(const std::string& bytes) {
    if (!bytes.empty()) {
        port_.Deliver(bytes, replyDelayMs);
    }
}

void XModemReceiverPeer::Feed(const std::string& bytes) {
    writeSizes_.push_back(bytes.size());
    pending_ += bytes;
    while (!pending_.empty()) {
        const char head = pending_[0];
        if (head == EOT || head == CAN) {
            pending_.erase(0, 1);
            if (head == CAN) {
                ++cans_;
                continue;
            }
            int index = eots_++;
            Reply(onEot ? onEot(index) : std::string(1, ACK));
            continue;
        }
        if (head != SOH && head != STX) {
            stray_ += head;
            pending_.erase(0, 1);
            continue;
        }
        const std::size_t size = head == STX ? 1024 : 128;
        if (pending_.size() < size + 4) {
            return;  // the rest of the packet is still on its way
        }
        Packet packet{head, U(pending_[1]), U(pending_[2]), pending_.substr(3, size), false};
        int sum = 0;
        for (char c : packet.data) {
            sum += U(c);
        }
        packet.intact =
            packet.number + packet.complement == 255 && (sum & 0xFF) == U(pending_[size + 3]);
        pending_.erase(0, size + 4);
        packets_.push_back(packet);
        std::string reply = onPacket ? onPacket(packet, packets_.size() - 1)
                                     : std::string(1, packet.intact ? ACK : NAK);
        if (reply == std::string(1, ACK) && packet.intact &&
            packet.number == ((lastAccepted_ + 1) & 0xFF)) {
            received_ += packet.data;
            lastAccepted_ = packet.number;
        }
        Reply(reply);
    }
}

void XModemSenderPeer::Listen() {
    port_.OnWrite(
        [this](platform::testing::ScriptedSerial&, const std::string& bytes) { Feed(bytes); });
}

void XModemSenderPeer::Send() {
    const std::string bytes = block_ < packets_.size() ? packets_[block_] : std::string(1, EOT);
    const int send = sends_++;
    const std::string out = mangle ? mangle(send, block_, bytes) : bytes;
    if (!out.empty()) {
        port_.Deliver(out, delayMs, perByteMs);
    }
}

void XModemSenderPeer::Feed(const std::string& bytes) {
    for (char c : bytes) {
        replies_ += c;
        if (done_ || stopped_) {
            continue;
        }
        if (c == CAN) {
            stopped_ = true;
        } else if (c == NAK) {
            started_ = true;
            Send();
        } else if (c == ACK && started_) {
            if (block_ == packets_.size()) {
                done_ = true;
            } else if (lostAcks.erase(block_) == 0) {
                ++block_;
                Send();
            } else {
                Send();  // the ACK went missing: the same block again
            }
        }
    }
}

}  // namespace test_support
