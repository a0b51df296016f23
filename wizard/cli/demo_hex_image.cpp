#include "wizard/cli/demo_hex_image.h"

#include <cstdio>

namespace cli {
namespace {

constexpr std::uint32_t kRecordBytes = 32;
// Characters 65-72: load checksum 0x5AC3 (low byte first), type 55 (USB),
// sector size 10. They are the last four data bytes of the first record.
constexpr unsigned char kHeaderBytes[4] = {0xC3, 0x5A, 0x55, 0x10};

class Writer {
  public:
    void Record(std::uint16_t address, std::uint8_t type, const unsigned char* data,
                std::uint32_t length) {
        unsigned sum = length + (address >> 8) + (address & 0xFFu) + type;
        Hex(':', length, 2);
        Hex(0, address, 4);
        Hex(0, type, 2);
        for (std::uint32_t i = 0; i < length; ++i) {
            Hex(0, data[i], 2);
            sum += data[i];
        }
        Hex(0, (0x100 - (sum & 0xFF)) & 0xFF, 2);
        text_ += "\r\n";
    }
    // Data records from address on, with an extended linear address record
    // wherever a record starts a new 64 KB.
    void Data(std::uint32_t address, std::uint32_t bytes, std::uint32_t seed) {
        unsigned char data[kRecordBytes];
        for (std::uint32_t done = 0; done < bytes; done += kRecordBytes) {
            if (address > 0xFFFF && (address & 0xFFFF) == 0) {
                const unsigned char upper[2] = {static_cast<unsigned char>(address >> 24),
                                                static_cast<unsigned char>(address >> 16)};
                Record(0, 4, upper, 2);
            }
            for (unsigned char& byte : data) {
                seed = seed * 1103515245u + 12345u;
                byte = static_cast<unsigned char>(seed >> 16);
            }
            Record(static_cast<std::uint16_t>(address), 0, data, kRecordBytes);
            address += kRecordBytes;
        }
    }
    std::string End() {
        Record(0, 1, nullptr, 0);
        return text_;
    }

  private:
    void Hex(char prefix, unsigned value, int digits) {
        char text[8];
        std::snprintf(text, sizeof text, "%0*X", digits, value);
        if (prefix != 0) {
            text_ += prefix;
        }
        text_ += text;
    }
    std::string text_;
};

}  // namespace

std::string MakeDemoHexImage(std::uint32_t imageBytes) {
    Writer writer;
    unsigned char first[kRecordBytes];
    for (std::uint32_t i = 0; i < kRecordBytes; ++i) {
        first[i] = static_cast<unsigned char>(i * 7);
    }
    for (int i = 0; i < 4; ++i) {
        first[kRecordBytes - 4 + i] = kHeaderBytes[i];
    }
    writer.Record(0, 0, first, kRecordBytes);
    writer.Data(kRecordBytes, imageBytes > kRecordBytes ? imageBytes - kRecordBytes : 0,
                0x2545F491u);
    return writer.End();
}

std::string MakeDemoFlashLoader(std::uint32_t loaderBytes) {
    Writer writer;
    writer.Data(0x8000, loaderBytes, 0x13579BDFu);
    return writer.End();
}

}  // namespace cli
