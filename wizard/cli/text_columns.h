// Widths of UTF-8 texts on a terminal, for lines and tables that line up.
#pragma once

#include <string>

namespace cli {

// The columns text takes: one per character (UTF-8 continuation bytes
// take none).
std::size_t Columns(const std::string& text);

// text cut to at most columns columns, never inside a character.
std::string CutToColumns(const std::string& text, std::size_t columns);

// text padded with blanks to columns columns.
std::string PadToColumns(const std::string& text, std::size_t columns);

}  // namespace cli
