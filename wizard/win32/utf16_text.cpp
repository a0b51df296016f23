#include "wizard/win32/utf16_text.h"

#include <cstdint>

namespace win32 {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(std::uint8_t byte, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
    return byte >= low && byte <= high;
}

void Append(char32_t codePoint, std::u16string* out) {
    if (codePoint < 0x10000) {
        out->push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

}  // namespace

std::u16string Utf16FromUtf8(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::uint8_t lead = static_cast<std::uint8_t>(text[at]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++at;
            continue;
        }
        // Length of the sequence and the range of its second byte, which
        // excludes overlong forms, surrogates and values past U+10FFFF.
        std::size_t length = 0;
        std::uint8_t low = 0x80, high = 0xBF;
        char32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        std::size_t used = 1;
        while (length != 0 && used < length && at + used < text.size()) {
            const std::uint8_t next = static_cast<std::uint8_t>(text[at + used]);
            if (!(used == 1 ? IsContinuation(next, low, high) : IsContinuation(next))) {
                break;
            }
            codePoint = codePoint << 6 | (next & 0x3F);
            ++used;
        }
        if (length != 0 && used == length) {
            Append(codePoint, &out);
        } else {
            out.push_back(kReplacement);
        }
        at += used;
    }
    return out;
}

}  // namespace win32
