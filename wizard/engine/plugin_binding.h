// Loading a model's plug-in and finding its entry points, by their
// decorated names only.
#pragma once

#include <string>

#include "plugin_api/exports.h"

// The highest plug-in interface version this wizard accepts.
constexpr int kHighestPluginVersion = 1;

struct PluginEntries {
    HMODULE library = nullptr;
    GetStepStringsProc getPreStepStrings = nullptr;
    GetStepStringsProc getPostStepStrings = nullptr;
    StepsProc preSteps = nullptr;
    FirmwareUploadProc firmwareUpload = nullptr;
    StepsProc postSteps = nullptr;
    SetPipeProc setPipe = nullptr;
};

enum class BindResult {
    kNoPlugin,         // the model names no plug-in: the wizard does every step itself
    kBound,            // loaded, version accepted, entry points found
    kVersionConflict,  // no GetVersionNumber, or a version above kHighestPluginVersion
    kNotLoadable,      // the named library cannot be loaded
};

// Loads the plug-in at pluginPath (empty: the model has none), checks its
// version and looks up its entry points; hands it the trace pipe when it
// takes one. The library stays loaded for the rest of the process. On
// kNotLoadable, *why holds the loader's reason.
BindResult BindPlugin(const std::string& pluginPath, PluginEntries* entries, std::string* why);
