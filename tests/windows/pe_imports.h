// The DLLs a Windows program or DLL file imports from, read from the file's
// import directory.
#pragma once

#include <set>
#include <string>

namespace windows_test {

// Names as the file writes them ("KERNEL32.dll"); false with *error when
// the file is no PE image this reader understands.
bool ImportedDlls(const std::string& path, std::set<std::string>* dlls, std::string* error);

}  // namespace windows_test
