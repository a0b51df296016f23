// The wizard's texts are UTF-8 (the catalogues are, and so are the string
// tables made from them); dialog templates and the wide Windows functions
// want UTF-16.
#pragma once

#include <string>

namespace win32 {

// UTF-16 of a UTF-8 text. Every byte that does not continue a well-formed
// sequence ends it as one U+FFFD (an overlong form, a surrogate, a code
// point above U+10FFFF, a sequence cut short); characters beyond U+FFFF
// become surrogate pairs.
std::u16string Utf16FromUtf8(const std::string& text);

}  // namespace win32
