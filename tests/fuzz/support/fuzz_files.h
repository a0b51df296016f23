// Files for the targets whose parsers read files by name.
#pragma once

#include <string>

namespace fuzz {

// Writes bytes to name in the fuzzer's own temporary directory (made at
// the first call, removed when the process ends) and returns its path.
std::string ScratchFile(const std::string& name, const std::string& bytes);

}  // namespace fuzz
