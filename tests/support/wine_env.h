// What the tests that drive Windows programs under wine share: the values
// the test run hands them and Linux paths as those programs see them.
#pragma once

#include <cstdlib>
#include <string>

namespace test_support {

// An environment variable, or empty when it is not set.
inline std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A Linux path as the Windows programs see it (wine's drive Z: is /).
inline std::string WindowsPath(const std::string& path) {
    std::string out = "Z:" + path;
    for (char& c : out) {
        c = c == '/' ? '\\' : c;
    }
    return out;
}

}  // namespace test_support
