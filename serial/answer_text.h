// Small helpers that clean and split modem answers.
#pragma once

#include <string>

// out = the answer after the first occurrence of echo (if any), cut before
// the last "OK" (if any), trimmed of blanks, tabs, CR and LF.
void CleanAnswer(std::string echo, std::string answer, std::string* out);

// Remove leading / trailing / both-end characters that are in set (or equal c).
std::string& TrimLeft(std::string& text, const char* set);
std::string& TrimRight(std::string& text, const char* set);
std::string& Trim(std::string& text, const char* set);
std::string& TrimLeft(std::string& text, char c);
std::string& TrimRight(std::string& text, char c);
std::string& Trim(std::string& text, char c);

// Capacity of SplitList's shared buffer, terminators included.
constexpr std::size_t kSplitListBufferSize = 1024;

// Splits a comma-separated text into NUL-terminated fields followed by an
// empty field, in one static buffer that the next call overwrites. Within a
// field only the first white-space character survives, as one space. Input
// that would not fit the buffer (more than 1022 characters) is refused: the
// result is then the empty list.
const char* SplitList(const char* text);

// out = field number index (from 0) of a comma-separated list, trimmed of
// white space; empty when there is no such field. An empty field ends the
// walk, so nothing behind it can be reached.
void GetListField(std::string list, int index, std::string* out);
