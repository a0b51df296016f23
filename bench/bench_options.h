// The options of the benchmarks: each a name followed by a positive whole
// number, which replaces that option's default.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace bench {

struct NumberOption {
    const char* name;
    unsigned* value;
};

// False, after printing usage, when an option is unknown or its number is
// not positive.
inline bool ReadNumberOptions(int argc, char** argv, std::initializer_list<NumberOption> options,
                              const char* usage) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const unsigned value = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        bool known = false;
        for (const NumberOption& option : options) {
            if (name == option.name && value > 0) {
                *option.value = value;
                known = true;
                break;
            }
        }
        if (!known) {
            std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
            return false;
        }
    }
    return true;
}

}  // namespace bench
