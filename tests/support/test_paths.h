// Where the built programs and the sources are, for tests that run or read
// them: the environment CTest sets, else the build's own paths.
#pragma once

#include <string>

namespace test_support {

// The program directory of the build (build/bin).
std::string BinDir();
// BinDir() + "/" + name.
std::string ProgramPath(const std::string& name);
// The top of the source tree.
std::string SourceDir();

}  // namespace test_support
