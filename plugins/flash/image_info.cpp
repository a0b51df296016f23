#include "plugins/flash/image_info.h"

#include <cstdio>
#include <cstring>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "plugin_api/status.h"
#include "plugins/flash/flash_texts.h"
#include "plugins/flash/flash_trace.h"
#include "plugins/flash/hex_records.h"

namespace flinta {
namespace {

// The error text goes to the page by pointer and must outlive the call:
// the page shows it and ends the process.
char g_errorText[256];

struct TypeRow {
    int headerValue;
    ModemTypeCode code;
    const char* name;
};

const TypeRow kTypes[] = {
    {43, MODEM_TYPE_CENTRAL_SITE, "Central Site"},
    {49, MODEM_TYPE_ISA, "ISA"},
    {53, MODEM_TYPE_SERIAL, "Serial"},
    {55, MODEM_TYPE_USB, "USB"},
    {50, MODEM_TYPE_PC_CARD, "PC Card"},
};

void PostInitError(HWND page) {
    // Cut rather than refused: the page must get a text whatever the
    // translation's length.
    std::snprintf(g_errorText, sizeof g_errorText, "%s", LoadText(IDS_INIT_ERROR).c_str());
    PostMessage(page, WM_WIZ_FATAL, 0, TextParam(g_errorText));
}

}  // namespace

int HexWord(const char* four) {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        int digit = HexDigit(four[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

void SetModemType(int value, ImageInfo* info) {
    info->modemType = MODEM_TYPE_UNKNOWN;
    const char* name = "an unknown";
    for (const TypeRow& row : kTypes) {
        if (row.headerValue == value) {
            info->modemType = row.code;
            name = row.name;
        }
    }
    CopyText(info->typeName, name);
    Trace("Modem type is %s  \n", info->typeName);
}

int AnalyseImage(HWND page, ImageInfo* info, const char* path) {
    Trace("Starting analysis of modem firmware file.\n");
    std::memset(info, 0, sizeof *info);
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        PostInitError(page);
        return 0;
    }
    char header[kImageHeaderLength];
    std::size_t read = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (read < sizeof header) {
        Trace("Error in reading file.\n");
        return 0;
    }
    if (header[kTypeOffset] == 'F') {
        Trace("Old firmware type does not contain type information.\n");
        return 1;
    }
    SetModemType((header[kTypeOffset] - '0') * 10 + (header[kTypeOffset + 1] - '0'), info);
    info->sectorSize =
        (header[kSectorSizeOffset] - '0') * 16 + (header[kSectorSizeOffset + 1] - '0');
    if (info->sectorSize != 0) {
        Trace("Sectorsize: (0x%02x) \n", static_cast<unsigned>(info->sectorSize));
        // High byte first: characters 67-68, then 65-66.
        const char word[4] = {header[kLoadChecksumOffset + 2], header[kLoadChecksumOffset + 3],
                              header[kLoadChecksumOffset], header[kLoadChecksumOffset + 1]};
        int checksum = HexWord(word);
        if (checksum < 0) {
            Trace("Load checksum is not hexadecimal: %.4s\n", word);
            checksum = 0;
        }
        info->loadChecksum = static_cast<std::uint16_t>(checksum);
        Trace("Load chksum = 0x%4x\n", static_cast<unsigned>(info->loadChecksum));
    } else {
        info->loadChecksum = 0;
        Trace("No Checksum!\n");
    }
    return 1;
}

}  // namespace flinta
