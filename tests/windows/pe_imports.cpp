#include "tests/windows/pe_imports.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/temp_dir.h"

namespace windows_test {
namespace {

struct Image {
    std::string bytes;

    bool Read(std::size_t at, std::size_t size, void* out) const {
        if (at > bytes.size() || size > bytes.size() - at) {
            return false;
        }
        std::memcpy(out, bytes.data() + at, size);
        return true;
    }
    template <typename T>
    bool Get(std::size_t at, T* value) const {
        return Read(at, sizeof(T), value);
    }
};

struct Section {
    std::uint32_t address, size, fileOffset;
};

}  // namespace

bool ImportedDlls(const std::string& path, std::set<std::string>* dlls, std::string* error) {
    Image image{test_support::ReadFileBytes(path)};
    std::uint32_t peOffset = 0, signature = 0;
    std::uint16_t sections = 0, optionalSize = 0, magic = 0;
    if (!image.Get(0x3C, &peOffset) || !image.Get(peOffset, &signature) ||
        signature != 0x00004550 || !image.Get(peOffset + 6, &sections) ||
        !image.Get(peOffset + 20, &optionalSize) || !image.Get(peOffset + 24, &magic)) {
        *error = path + ": not a PE image";
        return false;
    }
    const std::size_t optional = peOffset + 24;
    // The import directory is data directory 1: after 96 (PE32) or 112
    // (PE32+) bytes of the optional header, 8 bytes a directory.
    const std::size_t directories = optional + (magic == 0x20B ? 112 : 96);
    std::uint32_t importAddress = 0;
    if (!image.Get(directories + 8, &importAddress)) {
        *error = path + ": no data directories";
        return false;
    }
    std::vector<Section> table;
    for (std::uint16_t i = 0; i < sections; ++i) {
        const std::size_t at = optional + optionalSize + i * 40u;
        Section s{};
        if (!image.Get(at + 12, &s.address) || !image.Get(at + 8, &s.size) ||
            !image.Get(at + 20, &s.fileOffset)) {
            *error = path + ": truncated section table";
            return false;
        }
        table.push_back(s);
    }
    auto fileOffset = [&table](std::uint32_t address, std::size_t* at) {
        for (const Section& s : table) {
            if (address >= s.address && address < s.address + s.size) {
                *at = s.fileOffset + (address - s.address);
                return true;
            }
        }
        return false;
    };
    dlls->clear();
    std::size_t at = 0;
    if (importAddress == 0) {
        return true;
    }
    if (!fileOffset(importAddress, &at)) {
        *error = path + ": import directory outside the sections";
        return false;
    }
    // Descriptors of 20 bytes, the name's address at 12, ended by zeros.
    for (;; at += 20) {
        std::uint32_t nameAddress = 0;
        std::size_t name = 0;
        if (!image.Get(at + 12, &nameAddress)) {
            *error = path + ": truncated import directory";
            return false;
        }
        if (nameAddress == 0) {
            return true;
        }
        if (!fileOffset(nameAddress, &name) || name >= image.bytes.size()) {
            *error = path + ": import name outside the sections";
            return false;
        }
        dlls->insert(std::string(image.bytes.c_str() + name));
    }
}

}  // namespace windows_test
