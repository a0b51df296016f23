#include "tests/support/message_catalogue.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

namespace test_support {
namespace {

void Word(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

bool WriteMessageCatalogue(const std::string& path,
                           std::vector<std::pair<std::string, std::string>> messages) {
    messages.emplace_back("", "Content-Type: text/plain; charset=UTF-8\n");
    // The originals in byte order, as gettext looks them up.
    std::sort(messages.begin(), messages.end());
    const auto count = static_cast<std::uint32_t>(messages.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * count;
    std::uint32_t at = translations + 8 * count;
    std::string tables, strings;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [original, translation] : messages) {
            const std::string& text = pass == 0 ? original : translation;
            Word(tables, static_cast<std::uint32_t>(text.size()));
            Word(tables, at);
            strings += text;
            strings += '\0';
            at += static_cast<std::uint32_t>(text.size()) + 1;
        }
    }
    std::string file;
    Word(file, 0x950412de);  // magic, little-endian
    Word(file, 0);           // revision
    Word(file, count);
    Word(file, originals);
    Word(file, translations);
    Word(file, 0);  // no hash table
    Word(file, at);
    file += tables + strings;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace test_support
