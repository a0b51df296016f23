#include "tools/modemsim/intel_hex.h"

namespace modemsim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

HexRecord ParseHexRecord(const std::string& text) {
    HexRecord record;
    if (text.empty() || text[0] != ':') {
        record.problem = "no colon";
        return record;
    }
    std::string digits = text.substr(1);
    if (digits.size() < 10 || digits.size() % 2 != 0) {
        record.problem = "bad length";
        return record;
    }
    unsigned sum = 0;
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        int high = HexDigit(digits[i]);
        int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) {
            record.problem = "not hexadecimal";
            return record;
        }
        int value = high * 16 + low;
        bytes += static_cast<char>(value);
        sum += static_cast<unsigned>(value);
    }
    record.length = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() != static_cast<std::size_t>(record.length) + 5) {
        record.problem = "length does not match";
        return record;
    }
    record.type = static_cast<unsigned char>(bytes[3]);
    if ((sum & 0xFF) != 0) {
        record.problem = "bad checksum";
        return record;
    }
    record.ok = true;
    return record;
}

}  // namespace modemsim
