#include "tests/support/intel_hex_image.h"

#include <cstdio>
#include <stdexcept>

#include "tests/support/random_bytes.h"

namespace test_support {
namespace {

constexpr int kHeaderRecordBytes = 32;

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Bytes(const std::string& hexDigits) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hexDigits.size(); i += 2) {
        out += static_cast<char>(std::stoi(hexDigits.substr(i, 2), nullptr, 16));
    }
    return out;
}

// Data records from address on, bytesPerRecord bytes each, with an
// extended linear address record wherever a record starts a new 64 KB.
std::string DataRecords(int count, int bytesPerRecord, unsigned seed, std::uint32_t address) {
    const std::string data = RandomBytes(static_cast<std::size_t>(count * bytesPerRecord), seed);
    std::string out;
    for (int i = 0; i < count; ++i) {
        if ((address & 0xFFFF) < static_cast<std::uint32_t>(bytesPerRecord) && address > 0xFFFF) {
            const char upper[2] = {static_cast<char>(address >> 24),
                                   static_cast<char>((address >> 16) & 0xFF)};
            out += HexRecord(0, 4, std::string(upper, 2));
        }
        out += HexRecord(static_cast<std::uint16_t>(address & 0xFFFF), 0,
                         data.substr(static_cast<std::size_t>(i * bytesPerRecord),
                                     static_cast<std::size_t>(bytesPerRecord)));
        address += static_cast<std::uint32_t>(bytesPerRecord);
    }
    return out;
}

}  // namespace

std::string HexRecord(std::uint16_t address, std::uint8_t type, const std::string& data) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    std::string text =
        ":" + Hex(static_cast<unsigned>(data.size()), 2) + Hex(address, 4) + Hex(type, 2);
    for (char c : data) {
        unsigned byte = static_cast<unsigned char>(c);
        sum += byte;
        text += Hex(byte, 2);
    }
    return text + Hex((0x100 - (sum & 0xFF)) & 0xFF, 2) + "\r\n";
}

std::string ImageHeader(std::uint16_t loadChecksum, const std::string& type,
                        const std::string& sectorSize) {
    return Hex(loadChecksum & 0xFFu, 2) + Hex(loadChecksum >> 8, 2) + type + sectorSize;
}

std::string FlashImage(const std::string& header, int dataRecords, int bytesPerRecord,
                       unsigned seed) {
    if (header.size() != 8 ||
        header.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
        throw std::invalid_argument("an image header is eight hexadecimal digits");
    }
    // Characters 65-72 are data bytes 28-31 of the first record: its data
    // starts at character 9, two characters per byte.
    std::string first = RandomBytes(kHeaderRecordBytes - 4, seed + 1000) + Bytes(header);
    std::string text = HexRecord(0, 0, first);
    text += DataRecords(dataRecords, bytesPerRecord, seed, kHeaderRecordBytes);
    return text + HexRecord(0, 1, "");
}

std::string FlashLoaderHex(int records, unsigned seed) {
    return DataRecords(records - 1, 16, seed, 0x8000) + HexRecord(0, 1, "");
}

int CountRecords(const std::string& hex) {
    int count = 0;
    for (char c : hex) {
        count += c == ':' ? 1 : 0;
    }
    return count;
}

}  // namespace test_support
