#include "plugin_api/plugin_lookup.h"

#include <cstring>

#include "platform/shared_library.h"

namespace {

// A table longer than this is taken as unterminated; no plug-in has more
// than a handful of entry points.
constexpr int kMaxExportRows = 64;

}  // namespace

WizardPluginProc FindPluginEntry(HMODULE plugin, const char* decoratedName) {
    if (plugin == nullptr || decoratedName == nullptr) {
        return nullptr;
    }
    if (platform::kLibrariesExportAnyName) {
        // The library exports the decorated names themselves.
        return reinterpret_cast<WizardPluginProc>(
            platform::FindLibraryFunction(plugin, decoratedName));
    }
    auto exports = reinterpret_cast<WizardPluginExportsProc>(
        platform::FindLibraryFunction(plugin, kPluginExportTableSymbol));
    if (exports == nullptr) {
        return nullptr;
    }
    const WizardPluginExport* row = exports();
    for (int i = 0; row != nullptr && i < kMaxExportRows && row[i].name != nullptr; ++i) {
        if (std::strcmp(row[i].name, decoratedName) == 0) {
            return row[i].address;
        }
    }
    return nullptr;
}
