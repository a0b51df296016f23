// Reproducible file contents for transfer tests.
#pragma once

#include <cstddef>
#include <string>

namespace test_support {

// count random bytes, the same for the same seed.
std::string RandomBytes(std::size_t count, unsigned seed);

}  // namespace test_support
