#include "wizard/engine/plugin_binding.h"

#include "platform/shared_library.h"
#include "plugin_api/plugin_lookup.h"
#include "serial/trace.h"

BindResult BindPlugin(const std::string& pluginPath, PluginEntries* entries, std::string* why) {
    *entries = PluginEntries{};
    if (pluginPath.empty()) {
        return BindResult::kNoPlugin;
    }
    std::string error;
    HMODULE library = platform::LoadSharedLibrary(pluginPath, &error);
    if (library == nullptr) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "Plug-in %s not loaded: %s\n", pluginPath.c_str(),
                     error.c_str());
        if (why != nullptr) {
            *why = error;
        }
        return BindResult::kNotLoadable;
    }
    auto getVersion = FindPluginEntryAs<GetVersionNumberProc>(library, kDecoratedGetVersionNumber);
    if (getVersion == nullptr || getVersion() > kHighestPluginVersion) {
        return BindResult::kVersionConflict;
    }
    getVersion();
    entries->library = library;
    entries->getPreStepStrings =
        FindPluginEntryAs<GetStepStringsProc>(library, kDecoratedGetPreStepStrings);
    entries->getPostStepStrings =
        FindPluginEntryAs<GetStepStringsProc>(library, kDecoratedGetPostStepStrings);
    entries->preSteps = FindPluginEntryAs<StepsProc>(library, kDecoratedPreSteps);
    entries->firmwareUpload =
        FindPluginEntryAs<FirmwareUploadProc>(library, kDecoratedFirmwareUpload);
    entries->postSteps = FindPluginEntryAs<StepsProc>(library, kDecoratedPostSteps);
    entries->setPipe = FindPluginEntryAs<SetPipeProc>(library, kDecoratedXdebugSetPipe);
    if (entries->setPipe != nullptr) {
        entries->setPipe(xdebug_GetPipe());
    }
    return BindResult::kBound;
}
