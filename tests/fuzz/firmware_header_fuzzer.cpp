// libFuzzer target: the firmware file as the wizard reads it: the 128-byte
// header (image length, magic, type letter, version) and the flash loader
// that the upload driver finds behind the image and copies out.
//
// Besides crashes and memory errors it stops when
//  - a header is taken as valid without its magic and type letter, or with
//    a version or image length other than the bytes at their offsets; a
//    refused one gives no reason;
//  - the loader offset is not on a 128-byte boundary, lies before the end
//    of the image, or falls for a longer image;
//  - a loader is found where there is no header, or outside the file, or
//    the copy of the loader is not the file from that offset to its end.
//
// Input: the firmware file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/fuzz/support/fuzz_check.h"
#include "tests/support/file_content.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/upload_driver.h"

namespace {

using fuzz::Check;

void CheckOffset(std::uint32_t imageLength) {
    const std::uint64_t offset = FlashLoaderOffset(imageLength);
    Check(offset % 128 == 0, "the loader starts on a 128-byte boundary");
    Check(offset >= std::uint64_t{imageLength} + 128 + 256, "the loader lies behind the image");
    if (imageLength < UINT32_MAX) {
        Check(FlashLoaderOffset(imageLength + 1) >= offset,
              "a longer image never moves the loader forward");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FirmwareHeader header;
    header.fileSize = size;
    std::string why;
    const int type = ParseFirmwareHeader(data, size, &header, &why);
    Check(header.fileSize == size, "the file size is left as the caller set it");
    if (type == FIRMWARE_NO_HEADER) {
        Check(!why.empty(), "a refused header says why");
        Check(header.version[0] == '\0' && header.imageLength == 0,
              "a refused header hands out nothing");
    } else {
        Check(size >= kMinFirmwareHeaderBytes, "a valid header has all its bytes");
        Check(bytes.compare(kMagicOffset, 3, "ORV") == 0, "a valid header has its magic");
        const char letter = bytes[kTypeOffset];
        Check((letter == 'L' && type == FIRMWARE_TYPE_L) ||
                  (letter == 'F' && type == FIRMWARE_TYPE_F),
              "the type is that of the letter");
        Check(
            std::memcmp(header.version, data + kVersionOffset, 4) == 0 && header.version[4] == '\0',
            "the version is the four bytes at offset 80");
        const std::uint32_t length = (std::uint32_t{data[kImageLengthOffset]} << 24) |
                                     (std::uint32_t{data[kImageLengthOffset + 1]} << 16) |
                                     (std::uint32_t{data[kImageLengthOffset + 2]} << 8) |
                                     data[kImageLengthOffset + 3];
        Check(header.imageLength == length, "the image length is the bytes at offset 54");
        CheckOffset(length);
    }

    std::FILE* file = test_support::FileWith(bytes);
    Check(file != nullptr, "a temporary file can be made");
    std::uint64_t start = 0;
    const bool found = FindFlashLoader(file, size, &start);
    if (found) {
        Check(type != FIRMWARE_NO_HEADER, "a loader is found only behind a valid header");
        Check(start == FlashLoaderOffset(header.imageLength) && start < size,
              "the loader starts at its offset, inside the file");
    }
    std::FILE* loader = ExtractLoader(file);
    Check((loader != nullptr) == found, "the loader is copied exactly when it is found");
    if (loader != nullptr) {
        Check(test_support::ContentOf(loader) == bytes.substr(start),
              "the copy is the file from the loader's offset to its end");
        std::fclose(loader);
    }
    std::fclose(file);
    return 0;
}
