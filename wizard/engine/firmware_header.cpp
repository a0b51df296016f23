#include "wizard/engine/firmware_header.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "wizard/engine/config_keys.h"

int ParseFirmwareHeader(const unsigned char* bytes, std::size_t count, FirmwareHeader* header,
                        std::string* why) {
    std::string ignored;
    if (why == nullptr) {
        why = &ignored;
    }
    std::uint64_t fileSize = header->fileSize;
    *header = FirmwareHeader{};
    header->fileSize = fileSize;
    // Only the bytes actually read are defined: a short file has no header.
    if (count < kMinFirmwareHeaderBytes) {
        *why = count == 0 ? "the file is empty"
                          : "only " + std::to_string(count) + " bytes, too short for a header";
        return FIRMWARE_NO_HEADER;
    }
    if (std::memcmp(bytes + kMagicOffset, "ORV", 3) != 0) {
        *why = "no magic \"ORV\" at offset 62";
        return FIRMWARE_NO_HEADER;
    }
    char letter = static_cast<char>(bytes[kTypeOffset]);
    if (letter != 'L' && letter != 'F') {
        *why = "the type at offset 65 is neither L nor F";
        return FIRMWARE_NO_HEADER;
    }
    header->type = letter == 'L' ? FIRMWARE_TYPE_L : FIRMWARE_TYPE_F;
    header->typeLetter = letter;
    std::memcpy(header->version, bytes + kVersionOffset, 4);
    header->version[4] = '\0';
    header->imageLength = (std::uint32_t{bytes[kImageLengthOffset]} << 24) |
                          (std::uint32_t{bytes[kImageLengthOffset + 1]} << 16) |
                          (std::uint32_t{bytes[kImageLengthOffset + 2]} << 8) |
                          std::uint32_t{bytes[kImageLengthOffset + 3]};
    return header->type;
}

int ReadFirmwareHeader(const std::string& path, FirmwareHeader* header, std::string* why) {
    std::string ignored;
    if (why == nullptr) {
        why = &ignored;
    }
    *header = FirmwareHeader{};
    std::error_code error;
    std::filesystem::file_status kind = std::filesystem::status(path, error);
    if (!std::filesystem::exists(kind)) {
        *why = "file not found";
        return FIRMWARE_NO_HEADER;
    }
    if (!std::filesystem::is_regular_file(kind)) {
        *why = "not a regular file";
        return FIRMWARE_NO_HEADER;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *why = "the file cannot be opened";
        return FIRMWARE_NO_HEADER;
    }
    unsigned char bytes[kFirmwareHeaderSize];
    in.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    std::size_t count = static_cast<std::size_t>(in.gcount());
    std::uintmax_t size = std::filesystem::file_size(path, error);
    header->fileSize = error ? count : size;
    return ParseFirmwareHeader(bytes, count, header, why);
}

int ReadFirmwareVersion(const IniFile& ini, char (&version)[5]) {
    version[0] = '\0';
    IniValue name = ini.Get(kCommonSection, kKeyVersionInfo);
    if (!name.present() || name.text.empty()) {
        return FIRMWARE_NO_HEADER;
    }
    FirmwareHeader header;
    int type = ReadFirmwareHeader(name.text, &header, nullptr);
    if (type != FIRMWARE_NO_HEADER) {
        std::memcpy(version, header.version, sizeof version);
    }
    return type;
}

std::uint64_t FlashLoaderOffset(std::uint32_t imageLength) {
    constexpr std::uint64_t kBlock = 1024;
    constexpr std::uint64_t kSegment = 63 * kBlock;
    std::uint64_t rounded = (std::uint64_t{imageLength} + kBlock - 1) / kBlock * kBlock;
    std::uint64_t segments = (rounded + kSegment - 1) / kSegment;
    return rounded + segments * 128 + 128 + 256;
}
