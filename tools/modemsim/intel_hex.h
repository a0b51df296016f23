// One Intel HEX record as the flash loader checks it.
#pragma once

#include <string>

namespace modemsim {

struct HexRecord {
    bool ok = false;
    std::string problem;
    int length = 0;
    int type = -1;  // 0 data, 1 end of file, ...
};

constexpr int kHexEndOfFile = 1;

// text is ":LLAAAATT<data>CC" without line end. ok when it is well formed and
// its bytes, checksum included, add up to 0 modulo 256.
HexRecord ParseHexRecord(const std::string& text);

}  // namespace modemsim
