// Intel HEX images and flash loaders for the flash tests, made here and
// not by the production code. Every record ends with CR LF. An image's
// first record carries 32 data bytes, so that characters 65 to 72 of the
// text (the image header: load checksum low and high byte, type, sector
// size) are the text of its last four data bytes.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

// ":LLAAAATT<data>CC" and CR LF, with the checksum that makes it valid.
std::string HexRecord(std::uint16_t address, std::uint8_t type, const std::string& data);

// The eight header characters: the load checksum as low byte then high
// byte, two type characters ("55" for USB, "F0" for an image of the old
// kind) and two sector-size characters. All must be hexadecimal digits,
// since they stand inside a record.
std::string ImageHeader(std::uint16_t loadChecksum, const std::string& type,
                        const std::string& sectorSize);

// An image: the header record, dataRecords records of bytesPerRecord
// pseudo-random bytes (with an extended linear address record before each
// new 64 KB), and the end-of-file record.
std::string FlashImage(const std::string& header, int dataRecords, int bytesPerRecord = 32,
                       unsigned seed = 1);

// A flash loader of `records` records, the end-of-file record included.
std::string FlashLoaderHex(int records, unsigned seed = 2);

// How many records a HEX text holds.
int CountRecords(const std::string& hex);

}  // namespace test_support
