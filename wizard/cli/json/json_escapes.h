// The characters JSON writes as a backslash and a letter, for the writer
// and the reader alike.
#pragma once

namespace cli::json {

struct NamedEscape {
    char character;
    char letter;
};

inline constexpr NamedEscape kNamedEscapes[] = {{'"', '"'},  {'\\', '\\'}, {'\b', 'b'}, {'\f', 'f'},
                                                {'\n', 'n'}, {'\r', 'r'},  {'\t', 't'}};

}  // namespace cli::json
