#include "tools/modemsim/xmodem.h"

namespace modemsim::xmodem {

unsigned char Checksum(const std::string& bytes) {
    unsigned sum = 0;
    for (char c : bytes) {
        sum += static_cast<unsigned char>(c);
    }
    return static_cast<unsigned char>(sum & 0xFF);
}

std::string BuildPacket(int sequence, const std::string& data, std::size_t blockSize) {
    std::string payload = data.substr(0, blockSize);
    payload.resize(blockSize, static_cast<char>(kPad));
    std::string packet;
    packet.reserve(blockSize + 4);
    packet += static_cast<char>(blockSize == 1024 ? kStx : kSoh);
    unsigned char number = static_cast<unsigned char>(sequence & 0xFF);
    packet += static_cast<char>(number);
    packet += static_cast<char>(255 - number);
    packet += payload;
    packet += static_cast<char>(Checksum(payload));
    return packet;
}

PacketCheck CheckPacket(const std::string& packet) {
    if (packet.empty()) {
        return PacketCheck::kShort;
    }
    std::size_t size = static_cast<unsigned char>(packet[0]) == kStx ? 1024 : 128;
    if (packet.size() != size + 4) {
        return PacketCheck::kShort;
    }
    unsigned number = static_cast<unsigned char>(packet[1]);
    unsigned complement = static_cast<unsigned char>(packet[2]);
    if (number + complement != 255) {
        return PacketCheck::kBadComplement;
    }
    if (Checksum(packet.substr(3, size)) != static_cast<unsigned char>(packet[size + 3])) {
        return PacketCheck::kBadChecksum;
    }
    return PacketCheck::kGood;
}

const char* Describe(PacketCheck check) {
    switch (check) {
        case PacketCheck::kGood:
            return "good";
        case PacketCheck::kShort:
            return "short packet";
        case PacketCheck::kBadComplement:
            return "bad block number complement";
        case PacketCheck::kBadChecksum:
            return "bad checksum";
    }
    return "?";
}

}  // namespace modemsim::xmodem
