// Data makers shared by the simulator tests.
#pragma once

#include <gtest/gtest.h>
#include <cstdint>

#include <string>

namespace modemsim_test {

// Deterministic bytes of every value 0..255.
std::string RandomBytes(std::size_t count, std::uint32_t seed);

// A firmware file: 128-byte header (image length big-endian at 54, magic
// at 62, type at 65, version at 80) followed by imageLength bytes.
std::string MakeFirmware(std::uint32_t imageLength, const std::string& version,
                         const std::string& magic = "ORV", char type = 'F');

// data followed by 0x1A up to the next multiple of blockSize.
std::string Padded(const std::string& data, std::size_t blockSize);

// ":LLAAAATT<data>CC" with a correct checksum.
std::string HexLine(unsigned address, unsigned type, const std::string& data);
// The same record with its checksum off by one.
std::string BadHexLine(unsigned address, unsigned type, const std::string& data);

// Compares binary data; on a difference tells the sizes and the first
// differing offset instead of printing both in full.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);

}  // namespace modemsim_test
