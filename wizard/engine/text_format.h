// Formatting user texts from the string tables with values from the modem
// or the system, within the fixed buffers the texts travel in.
#pragma once

#include <cstddef>
#include <string>

// The format with its first "%s" replaced by value and "%%" as "%"; other
// "%" stand as they are. The result is cut to fit a buffer of capacity
// bytes (its NUL included), never past it.
std::string FormatText(const std::string& format, const std::string& value, std::size_t capacity);

// Copies text into a buffer of capacity bytes, cut to fit as above,
// NUL-terminated.
void CopyTextCut(char* buffer, std::size_t capacity, const std::string& text);
