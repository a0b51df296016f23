// Loading a model's plug-in the way the wizard does, to tell whether the
// wizard would accept it and which stages it takes over.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct PluginProbe {
    bool exists = false;
    bool loaded = false;
    std::string loadError;
    bool hasVersion = false;  // exports GetVersionNumber
    int version = 0;
    std::vector<std::string> entryPoints;  // the plain names of what it exports
    bool hasFirmwareUpload = false;
};

// The highest interface version the wizard accepts.
constexpr int kMaxPluginVersion = 1;

// Loads the library at path (it stays loaded, as in the wizard), looks its
// entry points up by their decorated names and asks its version.
PluginProbe ProbePlugin(const std::string& path);

}  // namespace cli
