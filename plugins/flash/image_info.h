// What the flash plug-in knows about a firmware image or a modem: the modem
// type the image was built for, the flash sector size and the load
// checksum, read from characters at fixed offsets of the image text.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace flinta {

// Modem type codes.
enum ModemTypeCode : std::int32_t {
    MODEM_TYPE_UNKNOWN = 0,
    MODEM_TYPE_CENTRAL_SITE = 1,
    MODEM_TYPE_ISA = 2,
    MODEM_TYPE_SERIAL = 3,
    MODEM_TYPE_PC_CARD = 4,
    MODEM_TYPE_USB = 5,
};

struct ImageInfo {
    std::int32_t sectorSize;     // flash sector size code; 0 = unknown
    std::int32_t modemType;      // ModemTypeCode
    std::uint16_t loadChecksum;  // 0 = none
    char typeName[22];           // display name of the type (image analysis only)
};

// Characters of the image text that hold the header.
constexpr int kImageHeaderLength = 75;
constexpr int kLoadChecksumOffset = 65;  // low byte at 65-66, high byte at 67-68
constexpr int kTypeOffset = 69;          // two decimal digits, or "F" for an old image
constexpr int kSectorSizeOffset = 71;    // two digits

// The value of four hexadecimal digits, most significant first ("0"-"9",
// "A"-"F", "a"-"f"); -1 when one of them is no hexadecimal digit.
int HexWord(const char* four);

// Sets modemType and typeName from an image header value (43, 49, 53, 50,
// 55; anything else is unknown) and traces the type.
void SetModemType(int value, ImageInfo* info);

// Reads the header of the image at path into *info (zeroed first). Returns
// 1 when it was read; 0 when the file cannot be opened (the plug-in's
// initialisation error is then posted to page with WM_WIZ_FATAL) or holds
// fewer than 75 characters.
int AnalyseImage(HWND page, ImageInfo* info, const char* path);

}  // namespace flinta
