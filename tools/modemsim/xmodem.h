// XModem as the modem speaks it: checksum variant only, 128-byte (SOH) and
// 1024-byte (STX) blocks, 0x1A padding.
#pragma once

#include <cstddef>
#include <string>

namespace modemsim::xmodem {

constexpr unsigned char kSoh = 0x01;
constexpr unsigned char kStx = 0x02;
constexpr unsigned char kEot = 0x04;
constexpr unsigned char kAck = 0x06;
constexpr unsigned char kNak = 0x15;
constexpr unsigned char kCan = 0x18;
constexpr unsigned char kPad = 0x1A;

// 8-bit sum of the bytes.
unsigned char Checksum(const std::string& bytes);

// Header, block number (low byte of sequence), its complement, data padded
// to blockSize (128 or 1024) with kPad, checksum.
std::string BuildPacket(int sequence, const std::string& data, std::size_t blockSize);

enum class PacketCheck { kGood, kShort, kBadComplement, kBadChecksum };

// Checks a packet read in full according to its header byte.
PacketCheck CheckPacket(const std::string& packet);

const char* Describe(PacketCheck check);

}  // namespace modemsim::xmodem
