// Private directories with mkdir and lstat: the checks must look at the
// directory entry itself, never through a link.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/private_directory.h"

namespace platform {
namespace {

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// Makes every missing directory of path, each for this user alone.
bool MakeDirectories(const std::string& path, std::string* why) {
    std::string made;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path.find('/', at + 1);
        made = path.substr(0, at);
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
            *why = "cannot create " + made + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UserStateDirectory() {
    // Relative paths are not valid there; the default stands in for them.
    const char* state = std::getenv(kUserStateDirectoryVariable);
    if (state != nullptr && state[0] == '/') {
        return WithoutTrailingSlashes(state);
    }
    const std::string home = HomeDirectory();
    return home.empty() ? std::string() : WithoutTrailingSlashes(home) + "/.local/state";
}

std::string PrivateStateDirectoryPath(const std::string& name) {
    const std::string base = UserStateDirectory();
    return base.empty() ? std::string() : base + "/" + name;
}

std::string PrivateStateDirectory(const std::string& name, std::string* why) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        *why = "\"" + name + "\" cannot name a directory";
        return {};
    }
    const std::string base = UserStateDirectory();
    if (base.empty()) {
        *why = "no home directory to keep files in";
        return {};
    }
    const std::string path = base + "/" + name;
    if (!MakeDirectories(path, why)) {
        return {};
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        *why = "cannot examine " + path + ": " + std::strerror(errno);
        return {};
    }
    if (!S_ISDIR(info.st_mode)) {
        *why = path + " is not a directory (a link or another file is in its place)";
        return {};
    }
    if (info.st_uid != ::getuid()) {
        *why = path + " belongs to another user";
        return {};
    }
    if ((info.st_mode & 077) != 0) {
        *why = path + " is open to other users";
        return {};
    }
    return path;
}

bool MakePrivateDirectory(const std::string& path, bool* existed) {
    const bool made = ::mkdir(path.c_str(), 0700) == 0;
    if (existed != nullptr) {
        *existed = !made && errno == EEXIST;
    }
    return made;
}

}  // namespace platform
