// Loading shared libraries (the plug-ins) and finding what they export.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// A function address of unknown type; cast to the real type before calling.
using LibraryFunction = void (*)();

#if defined(_WIN32)
// How a shared library's file name ends.
constexpr const char* kSharedLibrarySuffix = ".dll";
// Whether a library's exported names may be any text (a DLL's export
// table), so that functions can be exported and found under decorated
// names such as "?GetVersionNumber@@YAHXZ". ELF symbol names cannot carry
// them ('@' marks a symbol version there).
constexpr bool kLibrariesExportAnyName = true;
// The visibility of a plug-in's export table: none where the library's own
// export names carry the entry points.
#define PLATFORM_EXPORT_TABLE_VISIBILITY
#else
constexpr const char* kSharedLibrarySuffix = ".so";
constexpr bool kLibrariesExportAnyName = false;
#define PLATFORM_EXPORT_TABLE_VISIBILITY __attribute__((visibility("default")))
#endif

// Loads a library by path, resolving all its references now so that a
// library that cannot work is refused here. Null on failure, with the
// loader's reason in *error.
HMODULE LoadSharedLibrary(const std::string& path, std::string* error);

// The address of a function the library exports under exactly this symbol
// name, or null.
LibraryFunction FindLibraryFunction(HMODULE library, const char* name);

// Unloads a library; its functions must not be called afterwards.
bool FreeSharedLibrary(HMODULE library);

}  // namespace platform
