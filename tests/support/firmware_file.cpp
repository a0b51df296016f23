#include "tests/support/firmware_file.h"

namespace test_support {

std::uint64_t LoaderStart(std::uint32_t imageLength) {
    std::uint64_t rounded = (std::uint64_t{imageLength} + 1023) / 1024 * 1024;
    std::uint64_t started = (rounded + 64511) / 64512;
    return rounded + started * 128 + 128 + 256;
}

std::string FirmwareFile(const std::string& version, std::uint32_t imageLength,
                         std::uint32_t loaderLength, char type) {
    std::string file(128, ' ');
    file[54] = static_cast<char>(imageLength >> 24);
    file[55] = static_cast<char>(imageLength >> 16);
    file[56] = static_cast<char>(imageLength >> 8);
    file[57] = static_cast<char>(imageLength);
    file.replace(62, 3, "ORV");
    file[65] = type;
    file.replace(80, 4, (version + "    ").substr(0, 4));
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < imageLength; ++i) {
        seed = seed * 1103515245u + 12345u;
        file += static_cast<char>(seed >> 16);
    }
    if (loaderLength > 0) {
        file.resize(LoaderStart(imageLength), '\0');
        for (std::uint32_t i = 0; i < loaderLength; ++i) {
            file += static_cast<char>((i * 31 + 7) & 0xFF);
        }
    }
    return file;
}

std::string LoaderOf(const std::string& firmware, std::uint32_t imageLength) {
    std::uint64_t start = LoaderStart(imageLength);
    return start < firmware.size() ? firmware.substr(start) : std::string();
}

bool SameButPadding(const std::string& sent, const std::string& received) {
    return received.size() >= sent.size() && received.size() - sent.size() < 1024 &&
           received.compare(0, sent.size(), sent) == 0 &&
           received.find_first_not_of('\x1A', sent.size()) == std::string::npos;
}

}  // namespace test_support
