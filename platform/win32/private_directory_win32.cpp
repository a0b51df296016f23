// Private directories in the user's local application data: made with a
// security descriptor that lets only the user in, and checked for exactly
// that (and for being a real directory, not a link) before they are used.
#include "platform/win32/windows_api.h"

#include <shlobj.h>

#include "platform/private_directory.h"
#include "platform/win32/user_only_security.h"

namespace platform {
namespace {

// "C:\..." or "\\server\...": a relative path would move with the current
// directory.
bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool share = path.size() >= 2 && path.compare(0, 2, "\\\\") == 0;
    return drive || share;
}

std::string WithoutTrailingSeparators(std::string path) {
    // "C:\" keeps its backslash.
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) {
        path.pop_back();
    }
    return path;
}

// Makes every missing directory of an absolute path, each for this user
// alone; those there already are left as they are.
bool MakeDirectories(const std::string& path, std::string* why) {
    // Past the drive ("C:") or the server and share ("\\server\share").
    std::size_t at = 2;
    if (path.compare(0, 2, "\\\\") == 0) {
        at = path.find_first_of("\\/", path.find_first_of("\\/", 2) + 1);
    }
    while (at != std::string::npos) {
        at = path.find_first_of("\\/", at + 1);
        const std::string dir = path.substr(0, at);
        if (::GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES) {
            continue;
        }
        bool existed = false;
        if (!MakePrivateDirectory(dir, &existed) && !existed) {
            *why = "cannot create " + dir + ": " + win32::SystemErrorText(::GetLastError());
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UserStateDirectory() {
    char path[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA(kUserStateDirectoryVariable, path, sizeof path);
    if (length != 0 && length < sizeof path && IsAbsolute(std::string(path, length))) {
        return WithoutTrailingSeparators(win32::NativePath(std::string(path, length)));
    }
    // The shell's own folder where the variable is not set or not usable.
    if (SUCCEEDED(
            ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return WithoutTrailingSeparators(path);
    }
    return {};
}

std::string PrivateStateDirectoryPath(const std::string& name) {
    const std::string base = UserStateDirectory();
    return base.empty() ? std::string() : base + "\\" + name;
}

std::string PrivateStateDirectory(const std::string& name, std::string* why) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("\\/:") != std::string::npos) {
        *why = "\"" + name + "\" cannot name a directory";
        return {};
    }
    const std::string base = UserStateDirectory();
    if (base.empty()) {
        *why = "the user's application data folder is unknown";
        return {};
    }
    const std::string path = base + "\\" + name;
    if (!MakeDirectories(path, why)) {
        return {};
    }
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        *why = path + " is not a directory (a link or another file is in its place)";
        return {};
    }
    if (!win32::OnlyTheUserMayEnter(path, why)) {
        return {};
    }
    return path;
}

bool MakePrivateDirectory(const std::string& path, bool* existed) {
    win32::UserOnlySecurity security;
    const bool made = security.Attributes() != nullptr &&
                      ::CreateDirectoryA(path.c_str(), security.Attributes()) != 0;
    if (existed != nullptr) {
        *existed = !made && ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return made;
}

}  // namespace platform
