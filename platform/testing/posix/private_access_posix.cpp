#include <sys/stat.h>
#include <unistd.h>

#include "platform/testing/private_access.h"

namespace platform::testing {

bool OnlyTheUserMayEnter(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 0777) == 0700;
}

bool LetOthersIn(const std::string& path) {
    return ::chmod(path.c_str(), 0755) == 0;
}

}  // namespace platform::testing
