// The parts of platform/paths.h that the C++ library does alike everywhere.
#include "platform/paths.h"

#include <filesystem>
#include <system_error>

namespace platform {

bool RemoveTree(const std::string& dir) {
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    return !error;
}

}  // namespace platform
