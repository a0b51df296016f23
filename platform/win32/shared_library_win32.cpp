// Shared libraries (DLLs) with LoadLibraryA and GetProcAddress.
#include "platform/win32/windows_api.h"

#include "platform/shared_library.h"

namespace platform {

HMODULE LoadSharedLibrary(const std::string& path, std::string* error) {
    // No dialog about a missing or broken DLL: the caller reports it.
    DWORD previous = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    const std::string file = win32::NativePath(path);
    HMODULE library = ::LoadLibraryA(file.c_str());
    DWORD code = ::GetLastError();
    ::SetThreadErrorMode(previous, nullptr);
    if (library == nullptr && error != nullptr) {
        *error = file + ": " + win32::SystemErrorText(code);
    }
    return library;
}

LibraryFunction FindLibraryFunction(HMODULE library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<LibraryFunction>(::GetProcAddress(library, name));
}

bool FreeSharedLibrary(HMODULE library) {
    return library != nullptr && ::FreeLibrary(library) != 0;
}

}  // namespace platform
