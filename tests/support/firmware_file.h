// Firmware files for tests, made here and not by the production code: the
// 128-byte header (image length at 54, "ORV" at 62, type at 65, version at
// 80), the image, and optionally the flash loader where the wizard looks.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

// Where the loader starts for an image of imageLength bytes: the image
// rounded up to whole KB, 128 bytes per started 63 KB, the header and a
// 256-byte block.
std::uint64_t LoaderStart(std::uint32_t imageLength);

// A firmware file with an image of imageLength pseudo-random bytes (every
// byte value occurs) and, when loaderLength is not 0, a loader of that many
// bytes at LoaderStart.
std::string FirmwareFile(const std::string& version, std::uint32_t imageLength,
                         std::uint32_t loaderLength = 0, char type = 'L');

// The bytes the file's loader consists of (its tail from LoaderStart).
std::string LoaderOf(const std::string& firmware, std::uint32_t imageLength);

// True when received is sent followed by at most one block of XModem padding.
bool SameButPadding(const std::string& sent, const std::string& received);

}  // namespace test_support
