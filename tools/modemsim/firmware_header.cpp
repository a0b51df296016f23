#include "tools/modemsim/firmware_header.h"

namespace modemsim {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kLengthOffset = 54;
constexpr std::size_t kMagicOffset = 62;
constexpr std::size_t kTypeOffset = 65;
constexpr std::size_t kVersionOffset = 80;

std::uint32_t BigEndian32(const std::string& data, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(data[offset + i]);
    }
    return value;
}

}  // namespace

FirmwareCheck CheckFirmware(const std::string& data) {
    FirmwareCheck check;
    if (data.size() < kHeaderSize) {
        check.problem = "short-header " + std::to_string(data.size()) + " bytes";
        return check;
    }
    if (data.compare(kMagicOffset, 3, "ORV") != 0) {
        check.problem = "no-magic";
        return check;
    }
    check.type = data[kTypeOffset];
    if (check.type != 'L' && check.type != 'F') {
        check.problem = "bad-type";
        return check;
    }
    check.imageLength = BigEndian32(data, kLengthOffset);
    const std::uint64_t needed = kHeaderSize + static_cast<std::uint64_t>(check.imageLength);
    if (data.size() < needed) {
        check.problem = "short-image " + std::to_string(data.size()) + " of " +
                        std::to_string(needed) + " bytes";
        return check;
    }
    check.version = data.substr(kVersionOffset, 4);
    for (char& c : check.version) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E) {
            c = '?';
        }
    }
    check.ok = true;
    return check;
}

}  // namespace modemsim
