// The parts of platform/private_directory.h that the C++ library does alike
// everywhere.
#include "platform/private_directory.h"

#include <filesystem>
#include <system_error>

namespace platform {

bool DirectoryHoldsFiles(const std::string& dir) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator it(dir, error);
    for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->symlink_status(error).type() == std::filesystem::file_type::regular) {
            return true;
        }
    }
    return false;
}

bool RemovePath(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);  // nothing there is no error
    return !error;
}

}  // namespace platform
