#include "wizard/engine/config_location.h"

#include <filesystem>

#include "platform/paths.h"
#include "wizard/engine/config_keys.h"

namespace {

bool Fits(const std::string& path, std::string* why) {
    if (path.size() > kMaxPathLength) {
        *why = "the path of " + std::string(kConfigFileName) + " is longer than " +
               std::to_string(kMaxPathLength) + " characters: " + path;
        return false;
    }
    return true;
}

}  // namespace

std::string ProgramFilePath(const std::string& programDir, const std::string& name) {
    return programDir + platform::kPathSeparator + name;
}

std::string ConfigPathBesideProgram() {
    const std::string dir = platform::ProgramDirectory();
    return dir.empty() ? std::string() : ProgramFilePath(dir, kConfigFileName);
}

bool FormConfigPath(ConfigLocation* location, std::string* why) {
    *location = ConfigLocation{};
    std::string dir = platform::ProgramDirectory();
    if (dir.empty()) {
        *why = "the program directory cannot be found";
        return false;
    }
    std::string iniPath = ProgramFilePath(dir, kConfigFileName);
    if (!Fits(iniPath, why)) {
        return false;
    }
    *location = ConfigLocation{dir, iniPath};
    if (!platform::SetCurrentDirectory(dir)) {
        *why = "the program directory cannot be made current: " + dir;
        return false;
    }
    return true;
}

bool LocateConfigFile(const std::string& iniPath, ConfigLocation* location, std::string* why) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(iniPath, error);
    if (error || iniPath.empty()) {
        *why = "no usable path: \"" + iniPath + "\"";
        return false;
    }
    absolute = absolute.lexically_normal();
    if (!Fits(absolute.string(), why)) {
        return false;
    }
    std::string dir = absolute.parent_path().string();
    *location = ConfigLocation{dir, absolute.string()};
    return true;
}
