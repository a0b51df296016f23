// Where a plug-in keeps the modem's files while the firmware is replaced.
// The plug-in writes there and the front end names the place when an
// update fails, so both form the path here.
#pragma once

#include <string>

// The private directory of the plug-in named by plugin: its bare name
// ("Sarnet_Plugin") or its file, with or without directory and extension
// ("plugins/Sarnet_Plugin.so"). Only forms the path.
std::string PluginBackupDirectory(const std::string& plugin);

// The plug-in's name within such a text: "Sarnet_Plugin".
std::string PluginName(const std::string& plugin);
