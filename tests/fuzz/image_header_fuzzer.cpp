// libFuzzer target: the flash plug-in's analysis of an image header (the
// characters at fixed offsets of an Intel HEX text that give the modem
// type, the sector size and the load checksum), the modem type a
// Wizard.inf section configures, and the compatibility of the two.
//
// Besides crashes and memory errors it stops when
//  - a file of 75 characters or more is not analysed, or a shorter one is;
//  - the analysis gives a type outside the table, a type name that is not
//    the type's or not terminated in its field, a checksum without a
//    sector size, or anything at all for an image of the old kind;
//  - HexWord reads something other than four hexadecimal digits;
//  - the configured type is not the key's, or the compatibility verdict is
//    anything but the comparison of the types (the modem's sector size is
//    never known).
//
// Input: a counted Wizard.inf text, a counted section name, then the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin_api/status.h"
#include "plugins/flash/image_info.h"
#include "plugins/flash/modem_probe.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_files.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "wizard/engine/ini_file.h"

namespace {

using fuzz::Check;

const char* TypeName(std::int32_t type) {
    static const char* const kNames[] = {"an unknown", "Central Site", "ISA",
                                         "Serial",     "PC Card",      "USB"};
    return type >= 0 && type <= 5 ? kNames[type] : nullptr;
}

void CheckHexWord(const std::string& image) {
    for (std::size_t at = 0; at + 4 <= image.size() && at < 80; at += 4) {
        const std::string four = image.substr(at, 4);
        const int value = flinta::HexWord(four.c_str());
        char* end = nullptr;
        const long expected = std::strtol(four.c_str(), &end, 16);
        const bool plain = four.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
        Check(value == (plain ? expected : -1), "HexWord reads four hexadecimal digits or fails");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    const std::string ini = script.Counted();
    const std::string model = script.Counted();
    const std::string image = script.Rest();
    CheckHexWord(image);

    flinta::ImageInfo info;
    std::memset(&info, 0x5A, sizeof info);
    const std::string path = fuzz::ScratchFile("image.hex", image);
    const int analysed = flinta::AnalyseImage(nullptr, &info, path.c_str());
    Check(analysed == (image.size() >= flinta::kImageHeaderLength ? 1 : 0),
          "an image is analysed exactly when it has its 75 header characters");
    if (analysed == 0) {
        return 0;
    }
    Check(std::memchr(info.typeName, '\0', sizeof info.typeName) != nullptr,
          "the type name ends inside its field");
    if (image[flinta::kTypeOffset] == 'F') {
        Check(info.sectorSize == 0 && info.modemType == 0 && info.loadChecksum == 0 &&
                  info.typeName[0] == '\0',
              "an image of the old kind carries no type information");
    } else {
        Check(TypeName(info.modemType) != nullptr &&
                  std::strcmp(info.typeName, TypeName(info.modemType)) == 0,
              "the type is one of the table, with its name");
    }
    Check(info.sectorSize != 0 || info.loadChecksum == 0, "no checksum without a sector size");

    _Status status{};
    const std::string iniPath = fuzz::ScratchFile("Wizard.inf", ini);
    Check(CopyText(status.iniPath, iniPath.c_str()), "the scratch path fits the record");
    CopyText(status.model, model.c_str());
    flinta::ImageInfo modem;
    std::memset(&modem, 0, sizeof modem);
    flinta::ReadModemType(&modem, &status);
    const IniValue key = IniFile::Read(iniPath).Get(status.model, flinta::kModemTypeKey);
    Check(modem.modemType == (key.present() ? flinta::ModemTypeFromKey(key.text) : 0),
          "the configured type is that of the section's ModemType");

    const std::int32_t bits = flinta::CheckCompatibility(modem, info);
    Check(bits == (modem.modemType == info.modemType ? 0 : flinta::COMPAT_MODEM_TYPE),
          "with the modem's sector size unknown only the types are compared");
    return 0;
}
