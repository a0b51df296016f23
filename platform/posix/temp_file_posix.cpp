#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/temp_file.h"

namespace platform {

std::FILE* CreateTemporaryFile() {
    std::string pattern = TempDirectory() + "/TMPXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        return std::tmpfile();  // the system's own place, if ours cannot be used
    }
    unlink(name.data());  // gone from the directory; gone entirely once closed
    std::FILE* file = fdopen(fd, "w+b");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

}  // namespace platform
