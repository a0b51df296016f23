// Loading shared libraries (the plug-ins) and finding what they export.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// A function address of unknown type; cast to the real type before calling.
using LibraryFunction = void (*)();

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
