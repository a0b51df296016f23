// The names a shared library shows to the loader, for tests that check
// what a plug-in exports and nothing more.
#pragma once

#include <set>
#include <string>

namespace platform::testing {

// The exported (defined, dynamic) symbol names of the library file at
// path: from binutils' nm on ELF systems, from the DLL's export table on
// Windows. False with the reason in *error when they cannot be read.
bool LibraryExportNames(const std::string& path, std::set<std::string>* names, std::string* error);

}  // namespace platform::testing
