// Shared libraries through the dynamic loader (dlopen / dlsym).
#include <dlfcn.h>

#include "platform/shared_library.h"

namespace platform {

HMODULE LoadSharedLibrary(const std::string& path, std::string* error) {
    ::dlerror();
    // Local: two plug-ins never see each other's symbols.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && error != nullptr) {
        const char* reason = ::dlerror();
        *error = reason != nullptr ? reason : "the library cannot be loaded";
    }
    return library;
}

LibraryFunction FindLibraryFunction(HMODULE library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    void* address = ::dlsym(library, name);
    // POSIX guarantees that a function's address survives this conversion.
    return reinterpret_cast<LibraryFunction>(address);
}

bool FreeSharedLibrary(HMODULE library) {
    return library != nullptr && ::dlclose(library) == 0;
}

}  // namespace platform
