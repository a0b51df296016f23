// Program directory from the module path, current directory, and the
// temporary directory of the system (GetTempPathA).
#include "platform/win32/windows_api.h"

#include "platform/paths.h"
#include "platform/win32/user_only_security.h"

namespace platform {

std::string ProgramDirectory() {
    return win32::ModuleFileDirectory(nullptr);
}

bool SetCurrentDirectory(const std::string& dir) {
    return !dir.empty() && ::SetCurrentDirectoryA(dir.c_str()) != 0;
}

std::string TempDirectory() {
    char buffer[MAX_PATH + 1];
    DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    std::string dir = length != 0 && length < sizeof buffer ? std::string(buffer, length) : ".";
    // "C:\" keeps its backslash; "C:\Temp\" loses it.
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) {
        dir.pop_back();
    }
    return dir;
}

std::string MakeTemporaryDirectory(const std::string& prefix) {
    win32::UserOnlySecurity security;
    if (security.Attributes() == nullptr) {
        return {};
    }
    const std::string base = TempDirectory() + "\\" + prefix + "-";
    // A name nobody has taken: the process, the clock and a counter.
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    unsigned long long seed = static_cast<unsigned long long>(now.QuadPart) ^
                              (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
        std::string name = base;
        unsigned long long value = seed + static_cast<unsigned long long>(attempt) * 7919;
        for (int i = 0; i < 6; ++i) {
            name += kDigits[value % 36];
            value /= 36;
        }
        if (::CreateDirectoryA(name.c_str(), security.Attributes())) {
            return name;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            return {};
        }
    }
    return {};
}

bool LinkFile(const std::string& target, const std::string& link) {
    const std::string from = win32::NativePath(target);
    const std::string to = win32::NativePath(link);
    return ::CreateHardLinkA(to.c_str(), from.c_str(), nullptr) ||
           ::CopyFileA(from.c_str(), to.c_str(), TRUE);
}

}  // namespace platform
