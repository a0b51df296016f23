// Stable port names from the by-id links, and the wait for a device that
// left the bus to come back.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/port_names.h"
#include "platform/posix/stable_names.h"
#include "platform/serial_port.h"

namespace platform {
namespace posix {

std::map<std::string, std::string> StableNameLinks(const std::string& directory) {
    std::map<std::string, std::string> links;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        std::error_code ignored;
        const std::filesystem::path target = std::filesystem::canonical(entry.path(), ignored);
        if (!ignored) {
            links.emplace(target.string(), entry.path().string());
        }
    }
    return links;
}

}  // namespace posix

std::string StablePortNameIn(const std::string& name, const std::string& linkDirectory) {
    const std::string path = DevicePathForPortName(name);
    std::error_code error;
    const std::filesystem::path where = std::filesystem::path(path).parent_path();
    if (std::filesystem::equivalent(where, linkDirectory, error) && !error) {
        return name;  // already a stable name
    }
    const std::filesystem::path device = std::filesystem::canonical(path, error);
    if (error) {
        return name;
    }
    const std::map<std::string, std::string> links = posix::StableNameLinks(linkDirectory);
    auto found = links.find(device.string());
    return found != links.end() ? found->second : name;
}

std::string StablePortName(const std::string& name) {
    // Simulated modems keep their stable names elsewhere: the system's
    // directory belongs to udev.
    const char* directory = std::getenv("WIZARD_SERIAL_BY_ID");
    return StablePortNameIn(name, directory != nullptr && directory[0] != '\0'
                                      ? directory
                                      : posix::kStableNameDirectory);
}

bool IsDeviceGoneError(DWORD error) {
    return error == ENOENT || error == ENODEV || error == ENXIO;
}

bool PortNameExists(const std::string& name) {
    struct stat info {};
    return ::stat(DevicePathForPortName(name).c_str(), &info) == 0;
}

}  // namespace platform
