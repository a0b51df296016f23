#include "wizard/cli/text_columns.h"

namespace cli {
namespace {

bool Continues(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (char c : text) {
        columns += Continues(c) ? 0 : 1;
    }
    return columns;
}

std::string CutToColumns(const std::string& text, std::size_t columns) {
    std::size_t taken = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!Continues(text[at]) && taken++ == columns) {
            return text.substr(0, at);
        }
    }
    return text;
}

std::string PadToColumns(const std::string& text, std::size_t columns) {
    const std::size_t have = Columns(text);
    return have >= columns ? text : text + std::string(columns - have, ' ');
}

}  // namespace cli
