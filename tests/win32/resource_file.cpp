#include "tests/win32/resource_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace win32_test {
namespace {

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Dword(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(Word(bytes, at)) |
           static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

// A type or name field at *at: 0xFFFF and an ordinal, or a NUL-terminated
// text. False when it runs past end.
bool NameOrOrdinal(const std::vector<std::uint8_t>& bytes, std::size_t end, std::size_t* at,
                   bool* isOrdinal, std::uint16_t* ordinal) {
    if (*at + 2 > end) {
        return false;
    }
    if (Word(bytes, *at) == 0xFFFF) {
        if (*at + 4 > end) {
            return false;
        }
        *isOrdinal = true;
        *ordinal = Word(bytes, *at + 2);
        *at += 4;
        return true;
    }
    *isOrdinal = false;
    for (; *at + 2 <= end; *at += 2) {
        if (Word(bytes, *at) == 0) {
            *at += 2;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadResourceFile(const std::string& path, std::vector<Resource>* resources,
                      std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    resources->clear();
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t dataSize = Dword(bytes, at);
        const std::uint32_t headerSize = Dword(bytes, at + 4);
        const std::size_t headerEnd = at + headerSize;
        if (headerSize < 16 || headerEnd > bytes.size() || dataSize > bytes.size() - headerEnd) {
            *error = path + ": a resource header at " + std::to_string(at) + " runs past the end";
            return false;
        }
        std::size_t field = at + 8;
        bool typeIsOrdinal = false, nameIsOrdinal = false;
        Resource resource;
        if (!NameOrOrdinal(bytes, headerEnd, &field, &typeIsOrdinal, &resource.type) ||
            !NameOrOrdinal(bytes, headerEnd, &field, &nameIsOrdinal, &resource.name)) {
            *error = path + ": a resource name at " + std::to_string(at) + " runs past its header";
            return false;
        }
        field = (field + 3) / 4 * 4;
        // Data version, then the memory flags and the language.
        if (field + 8 > headerEnd) {
            *error = path + ": a resource header at " + std::to_string(at) + " is too short";
            return false;
        }
        resource.language = Word(bytes, field + 6);
        // The file starts with an empty resource of type 0.
        if (typeIsOrdinal && nameIsOrdinal && resource.type != 0) {
            resource.data.assign(bytes.begin() + headerEnd, bytes.begin() + headerEnd + dataSize);
            resources->push_back(std::move(resource));
        }
        at = (headerEnd + dataSize + 3) / 4 * 4;
    }
    return true;
}

const Resource* FindResource(const std::vector<Resource>& resources, std::uint16_t type,
                             std::uint16_t name, std::uint16_t language) {
    for (const Resource& resource : resources) {
        if (resource.type == type && resource.name == name && resource.language == language) {
            return &resource;
        }
    }
    return nullptr;
}

std::vector<std::uint16_t> StringTableLanguages(const std::vector<Resource>& resources) {
    std::vector<std::uint16_t> languages;
    for (const Resource& resource : resources) {
        if (resource.type == kStringType &&
            std::find(languages.begin(), languages.end(), resource.language) == languages.end()) {
            languages.push_back(resource.language);
        }
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

std::map<int, std::u16string> StringTable(const std::vector<Resource>& resources,
                                          std::uint16_t language) {
    // A block of sixteen counted UTF-16 texts; block n holds ids 16 (n - 1)
    // to 16 (n - 1) + 15.
    std::map<int, std::u16string> texts;
    for (const Resource& resource : resources) {
        if (resource.type != kStringType || resource.language != language) {
            continue;
        }
        std::size_t at = 0;
        for (int i = 0; i < 16 && at + 2 <= resource.data.size(); ++i) {
            const std::size_t length = Word(resource.data, at);
            at += 2;
            std::u16string text;
            for (std::size_t k = 0; k < length && at + 2 <= resource.data.size(); ++k, at += 2) {
                text.push_back(static_cast<char16_t>(Word(resource.data, at)));
            }
            if (length != 0) {
                texts[(resource.name - 1) * 16 + i] = text;
            }
        }
    }
    return texts;
}

}  // namespace win32_test
