#include "sim_helpers.h"

#include <cstdio>

namespace modemsim_test {

std::string RandomBytes(std::size_t count, std::uint32_t seed) {
    std::string out;
    out.reserve(count);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < count; ++i) {
        x = x * 1664525u + 1013904223u;
        out += static_cast<char>(x >> 24);
    }
    return out;
}

std::string MakeFirmware(std::uint32_t imageLength, const std::string& version,
                         const std::string& magic, char type) {
    std::string header(128, '\0');
    header[54] = static_cast<char>(imageLength >> 24);
    header[55] = static_cast<char>(imageLength >> 16);
    header[56] = static_cast<char>(imageLength >> 8);
    header[57] = static_cast<char>(imageLength);
    header.replace(62, 3, magic.substr(0, 3));
    header[65] = type;
    header.replace(80, 4, version.substr(0, 4));
    return header + RandomBytes(imageLength, imageLength);
}

std::string Padded(const std::string& data, std::size_t blockSize) {
    std::string out = data;
    while (out.size() % blockSize != 0) {
        out += '\x1A';
    }
    return out;
}

namespace {

std::string Record(unsigned address, unsigned type, const std::string& data, int checksumOffset) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    char head[16];
    std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                  address & 0xFFFF, type);
    std::string record = head;
    for (unsigned char c : data) {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02X", c);
        record += byte;
        sum += c;
    }
    char check[3];
    std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF) + checksumOffset) & 0xFF);
    return record + check;
}

}  // namespace

std::string HexLine(unsigned address, unsigned type, const std::string& data) {
    return Record(address, type, data, 0);
}

std::string BadHexLine(unsigned address, unsigned type, const std::string& data) {
    return Record(address, type, data, 1);
}

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    std::size_t offset = 0;
    while (offset < actual.size() && offset < expected.size() &&
           actual[offset] == expected[offset]) {
        ++offset;
    }
    return ::testing::AssertionFailure()
           << "got " << actual.size() << " bytes, expected " << expected.size()
           << ", first difference at offset " << offset;
}

}  // namespace modemsim_test
