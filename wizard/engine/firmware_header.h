// FirmwareHeader: the first 128 bytes of a firmware file.
//
//   offset 54, 4 bytes: length of the firmware image, most significant first
//   offset 62, 3 bytes: magic "ORV"
//   offset 65, 1 byte:  type letter, "L" or "F"
//   offset 80, 4 bytes: version, four characters, not terminated
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "wizard/engine/ini_file.h"

constexpr std::size_t kFirmwareHeaderSize = 128;
constexpr std::size_t kImageLengthOffset = 54;
constexpr std::size_t kMagicOffset = 62;
constexpr std::size_t kTypeOffset = 65;
constexpr std::size_t kVersionOffset = 80;
// A file shorter than this cannot hold a header: its version is missing.
constexpr std::size_t kMinFirmwareHeaderBytes = kVersionOffset + 4;

// Header types.
constexpr int FIRMWARE_NO_HEADER = 0;
constexpr int FIRMWARE_TYPE_L = 1;
constexpr int FIRMWARE_TYPE_F = 2;

struct FirmwareHeader {
    int type = FIRMWARE_NO_HEADER;
    char typeLetter = '\0';
    char version[5] = {};  // the four version characters and a NUL
    std::uint32_t imageLength = 0;
    std::uint64_t fileSize = 0;
};

// Checks the first count bytes of a firmware file (fileSize is left as
// the caller set it). Returns the type
// (FIRMWARE_NO_HEADER when the bytes hold no valid header, *why then says
// why) and fills *header.
int ParseFirmwareHeader(const unsigned char* bytes, std::size_t count, FirmwareHeader* header,
                        std::string* why);

// Reads and checks the header of a firmware file; as ParseFirmwareHeader.
// A missing file, or one that is not a regular file, has no header.
int ReadFirmwareHeader(const std::string& path, FirmwareHeader* header, std::string* why);

// The firmware version that the welcome page announces: the header of the
// file named by VersionInfo in [Common] (opened as given). Fills version
// with the four characters and a NUL and returns the type; returns
// FIRMWARE_NO_HEADER, leaving version empty, when there is none.
int ReadFirmwareVersion(const IniFile& ini, char (&version)[5]);

// Where the flash loader begins in a firmware file that carries one: the
// image rounded up to whole kilobytes, 128 bytes for every started 63 KB of
// it, the 128-byte header and a 256-byte block.
std::uint64_t FlashLoaderOffset(std::uint32_t imageLength);
