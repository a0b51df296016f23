// The export table of a DLL, read from its image mapped without running
// any of its code.
#include "platform/win32/windows_api.h"

#include "platform/testing/library_exports.h"

namespace platform::testing {

bool LibraryExportNames(const std::string& path, std::set<std::string>* names, std::string* error) {
    HMODULE module =
        ::LoadLibraryExA(win32::NativePath(path).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr) {
        *error = path + ": " + win32::SystemErrorText(::GetLastError());
        return false;
    }
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    names->clear();
    if (entry.VirtualAddress != 0 && entry.Size != 0) {
        const auto* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
        const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
            names->insert(reinterpret_cast<const char*>(base + nameOffsets[i]));
        }
    }
    ::FreeLibrary(module);
    return true;
}

}  // namespace platform::testing
