#include "tests/fuzz/support/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void Broken(const char* promise) {
    std::fprintf(stderr, "\nbroken promise: %s\n", promise);
    std::abort();
}

}  // namespace fuzz
