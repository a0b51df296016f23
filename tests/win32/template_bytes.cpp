#include "tests/win32/template_bytes.h"

namespace win32_test {

TemplateBytes& TemplateBytes::Word(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

TemplateBytes& TemplateBytes::Dword(std::uint32_t value) {
    return Word(static_cast<std::uint16_t>(value & 0xFFFF))
        .Word(static_cast<std::uint16_t>(value >> 16));
}

TemplateBytes& TemplateBytes::Text(const std::u16string& text) {
    for (char16_t unit : text) {
        Word(static_cast<std::uint16_t>(unit));
    }
    return Word(0);
}

TemplateBytes& TemplateBytes::Ordinal(std::uint16_t ordinal) {
    return Word(0xFFFF).Word(ordinal);
}

TemplateBytes& TemplateBytes::Bytes(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

TemplateBytes& TemplateBytes::Align() {
    while (bytes_.size() % 4 != 0) {
        bytes_.push_back(0);
    }
    return *this;
}

}  // namespace win32_test
