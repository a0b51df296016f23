#include "plugin_api/backup_location.h"

#include "platform/private_directory.h"

std::string PluginName(const std::string& plugin) {
    const std::size_t slash = plugin.find_last_of("/\\");
    std::string name = slash == std::string::npos ? plugin : plugin.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

std::string PluginBackupDirectory(const std::string& plugin) {
    return platform::PrivateTempDirectoryPath(PluginName(plugin));
}
