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
// The file name of the shared library (plug-in) name on this system:
// "Step_Plugin_V2.so", "Step_Plugin_V2.dll".
std::string LibraryFile(const std::string& name);

}  // namespace test_support
