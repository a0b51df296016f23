#include "wizard/cli/plugin_probe.h"

#include <filesystem>

#include "platform/shared_library.h"
#include "plugin_api/exports.h"
#include "plugin_api/plugin_lookup.h"

namespace cli {

PluginProbe ProbePlugin(const std::string& path) {
    PluginProbe probe;
    std::error_code error;
    probe.exists = std::filesystem::exists(path, error);
    if (!probe.exists) {
        return probe;
    }
    HMODULE plugin = platform::LoadSharedLibrary(path, &probe.loadError);
    if (plugin == nullptr) {
        return probe;
    }
    probe.loaded = true;
    static const std::pair<const char*, const char*> kEntryPoints[] = {
        {"GetVersionNumber", kDecoratedGetVersionNumber},
        {"xdebug_SetPipe", kDecoratedXdebugSetPipe},
        {"GetPreStepStrings", kDecoratedGetPreStepStrings},
        {"GetPostStepStrings", kDecoratedGetPostStepStrings},
        {"PreSteps", kDecoratedPreSteps},
        {"FirmwareUpload", kDecoratedFirmwareUpload},
        {"PostSteps", kDecoratedPostSteps}};
    for (const auto& [name, decorated] : kEntryPoints) {
        if (FindPluginEntry(plugin, decorated) != nullptr) {
            probe.entryPoints.push_back(name);
        }
    }
    auto getVersion = FindPluginEntryAs<GetVersionNumberProc>(plugin, kDecoratedGetVersionNumber);
    if (getVersion != nullptr) {
        probe.hasVersion = true;
        probe.version = getVersion();
    }
    probe.hasFirmwareUpload = FindPluginEntry(plugin, kDecoratedFirmwareUpload) != nullptr;
    return probe;
}

}  // namespace cli
