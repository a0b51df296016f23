// The 128-byte header at the start of a firmware file, as the boot loader
// checks it before it starts the new firmware.
#pragma once

#include <cstdint>
#include <string>

namespace modemsim {

struct FirmwareCheck {
    bool ok = false;
    std::string problem;  // why not, one line
    std::string version;  // the four version characters
    char type = 0;        // 'L' or 'F'
    std::uint32_t imageLength = 0;
};

// Magic "ORV" at offset 62, type 'L' or 'F' at 65, image length (big-endian)
// at 54, version at 80; the file must hold the header and the whole image.
FirmwareCheck CheckFirmware(const std::string& data);

}  // namespace modemsim
