#include "platform/module_path.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace platform {

std::string ModuleDirectory(const void* addressInModule) {
    Dl_info info{};
    link_map* module = nullptr;
    if (dladdr1(addressInModule, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    // For the program itself the loader only knows the name it was started
    // by (a bare "wizard-cli" when it came from PATH); the system knows its
    // file.
    if (module != nullptr && module->l_name != nullptr && module->l_name[0] == '\0') {
        return ProgramDirectory();
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
