// Private directories with mkdir and lstat: the checks must look at the
// directory entry itself, never through a link.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/private_directory.h"

namespace platform {

std::string PrivateTempDirectoryPath(const std::string& name) {
    return TempDirectory() + "/" + name + "-" + std::to_string(::getuid());
}

std::string PrivateTempDirectory(const std::string& name, std::string* why) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        *why = "\"" + name + "\" cannot name a directory";
        return {};
    }
    const std::string path = PrivateTempDirectoryPath(name);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        *why = "cannot create " + path + ": " + std::strerror(errno);
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
