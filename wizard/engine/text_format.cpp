#include "wizard/engine/text_format.h"

#include <algorithm>
#include <cstring>

namespace {

// Cuts text to fit a buffer of capacity bytes (its NUL included), never in
// the middle of a UTF-8 sequence.
void CutToFit(std::string* text, std::size_t capacity) {
    if (capacity == 0 || text->size() <= capacity - 1) {
        return;
    }
    std::size_t cut = capacity - 1;
    while (cut > 0 && (static_cast<unsigned char>((*text)[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    text->resize(cut);
}

}  // namespace

std::string FormatText(const std::string& format, const std::string& value, std::size_t capacity) {
    std::string out;
    bool substituted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && !substituted) {
            out += value;
            substituted = true;
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
    }
    CutToFit(&out, capacity);
    return out;
}

void CopyTextCut(char* buffer, std::size_t capacity, const std::string& text) {
    if (capacity == 0) {
        return;
    }
    std::string cut = text;
    CutToFit(&cut, capacity);
    std::memcpy(buffer, cut.c_str(), cut.size() + 1);
}
