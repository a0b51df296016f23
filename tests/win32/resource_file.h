// Reads a compiled resource file (.res, as windres -O res writes it): the
// resources by type, name and language, and the texts of its string
// tables. For the tests that check what the resource compiler made.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace win32_test {

constexpr std::uint16_t kDialogType = 5;
constexpr std::uint16_t kStringType = 6;

struct Resource {
    std::uint16_t type = 0;  // ordinal types only; named types are skipped
    std::uint16_t name = 0;  // ordinal names only
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

// False, with *error, when the file is missing or malformed.
bool ReadResourceFile(const std::string& path, std::vector<Resource>* resources,
                      std::string* error);

// The resource of that type, name and language, or null.
const Resource* FindResource(const std::vector<Resource>& resources, std::uint16_t type,
                             std::uint16_t name, std::uint16_t language);

// The languages that have string tables, and the texts of one language by
// id (empty strings are not resources and are left out).
std::vector<std::uint16_t> StringTableLanguages(const std::vector<Resource>& resources);
std::map<int, std::u16string> StringTable(const std::vector<Resource>& resources,
                                          std::uint16_t language);

}  // namespace win32_test
