// Program directory from /proc/self/exe, current directory with chdir, and
// the temporary directory from TMPDIR.
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace platform {

std::string ProgramDirectory() {
    // readlink does not say whether it cut the path: grow until it fits.
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return std::string();
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            std::string::size_type slash = path.rfind('/');
            if (slash == std::string::npos) {
                return std::string();
            }
            return slash == 0 ? std::string("/") : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool SetCurrentDirectory(const std::string& dir) {
    return !dir.empty() && ::chdir(dir.c_str()) == 0;
}

std::string TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = (tmp != nullptr && tmp[0] != '\0') ? tmp : "/tmp";
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

std::string MakeTemporaryDirectory(const std::string& prefix) {
    std::string pattern = TempDirectory() + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return ::mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}

bool LinkFile(const std::string& target, const std::string& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace platform
