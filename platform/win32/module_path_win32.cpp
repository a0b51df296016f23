#include "platform/win32/windows_api.h"

#include "platform/module_path.h"

namespace platform {

std::string ModuleDirectory(const void* addressInModule) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const char*>(addressInModule), &module)) {
        return {};
    }
    return win32::ModuleFileDirectory(module);
}

}  // namespace platform
