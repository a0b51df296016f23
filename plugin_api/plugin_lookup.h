// The wizard's side of the exports: finding a loaded plug-in's entry points
// by their exact decorated names, and by nothing else. Where a library can
// export those names (a DLL), they are its exported names; elsewhere the
// library's export table carries them.
#pragma once

#include "platform/types.h"
#include "plugin_api/exports.h"

// The entry point exported under exactly decoratedName (compared byte for
// byte), or null when the plug-in exports no such name (has no export
// table or no such row).
WizardPluginProc FindPluginEntry(HMODULE plugin, const char* decoratedName);

// The same, cast to the entry point's type.
template <typename Proc>
Proc FindPluginEntryAs(HMODULE plugin, const char* decoratedName) {
    return reinterpret_cast<Proc>(FindPluginEntry(plugin, decoratedName));
}
