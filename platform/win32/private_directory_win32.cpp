// Private directories below the user's local application data: made with a
// security descriptor that lets only the user in, and checked for exactly
// that (and for being a real directory, not a link) before they are used.
#include "platform/win32/windows_api.h"

#include <shlobj.h>

#include "platform/private_directory.h"
#include "platform/win32/user_only_security.h"

namespace platform {
namespace {

// %LOCALAPPDATA%: the user's own, never roaming, application data; the
// shell's folder of that name where the variable is not set.
std::string LocalAppData() {
    char path[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA(kPrivateDirectoryRootVariable, path, sizeof path);
    if (length != 0 && length < sizeof path) {
        return std::string(path, length);
    }
    if (SUCCEEDED(
            ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return path;
    }
    return {};
}

}  // namespace

std::string PrivateTempDirectoryPath(const std::string& name) {
    return LocalAppData() + "\\" + name;
}

std::string PrivateTempDirectory(const std::string& name, std::string* why) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("\\/:") != std::string::npos) {
        *why = "\"" + name + "\" cannot name a directory";
        return {};
    }
    if (LocalAppData().empty()) {
        *why = "the user's application data folder is unknown";
        return {};
    }
    const std::string path = PrivateTempDirectoryPath(name);
    bool existed = false;
    if (!MakePrivateDirectory(path, &existed) && !existed) {
        *why = "cannot create " + path + ": " + win32::SystemErrorText(::GetLastError());
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
