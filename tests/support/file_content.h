// Temporary binary files made from a content, and what a file holds.
#pragma once

#include <cstdio>
#include <string>

namespace test_support {

// A temporary binary file holding content, positioned at its start.
inline std::FILE* FileWith(const std::string& content) {
    std::FILE* file = std::tmpfile();
    if (file != nullptr) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::rewind(file);
    }
    return file;
}

// Everything in the file, read from its start.
inline std::string ContentOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string content;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, n);
    }
    return content;
}

}  // namespace test_support
