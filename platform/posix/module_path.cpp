#include "platform/module_path.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace platform {

std::string ModuleDirectory(const void* addressInModule) {
    Dl_info info{};
    if (dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    // A module loaded through a link (a plug-in linked beside a Wizard.inf)
    // belongs where the file itself lies, beside its catalogues.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(info.dli_fname, error);
    std::string path = error ? std::string(info.dli_fname) : real.string();
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace platform
