// The modem's country setting: saved before the flash is programmed and
// set again once the new firmware runs.
#pragma once

#include <cstddef>
#include <string>

class CSerial;

namespace flinta {

// Room for the country command and the texts it is made from.
constexpr std::size_t kCountryTextSize = 256;

// The text of answer between a leading echo (removed only when the answer
// begins with it) and the final "OK", without white space around it, into
// out (outSize bytes with its NUL). Returns false and writes nothing when
// the answer is exactly the echo; returns false with an empty out when the
// answer holds no final "OK" (a "NOK" is none) or the text does not fit.
bool ExtractAnswer(const std::string& echo, const std::string& answer, char* out,
                   std::size_t outSize);

// Replaces every occurrence of from in text by to until none is left,
// within capacity bytes (NUL included). Refuses, leaving text as it was,
// when the result would not fit; an empty from changes nothing.
bool ReplaceAll(char* text, std::size_t capacity, const char* from, const char* to);

// Asks the modem "AT+GCI?" and returns the command that sets that country
// again ("AT+GCI= 3D" for an answer line "+GCI: 3D"), or the empty text
// when the answer holds no usable "+GCI:" line.
std::string SaveCountryCode(CSerial* port);

}  // namespace flinta
