// Dialog templates assembled byte by byte, as the tests want them: each
// field written where the format puts it, so that the tests do not lean on
// the writer they test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace win32_test {

class TemplateBytes {
  public:
    TemplateBytes& Word(std::uint16_t value);
    TemplateBytes& Dword(std::uint32_t value);
    // A NUL-terminated UTF-16 text.
    TemplateBytes& Text(const std::u16string& text);
    // 0xFFFF and an ordinal.
    TemplateBytes& Ordinal(std::uint16_t ordinal);
    TemplateBytes& Bytes(const std::vector<std::uint8_t>& bytes);
    // Zero bytes up to the next 4-byte boundary.
    TemplateBytes& Align();

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace win32_test
