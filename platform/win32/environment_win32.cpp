// The C library's copy of the environment (getenv) and the system's
// (child processes, GetEnvironmentVariableA) are both changed.
#include "platform/win32/windows_api.h"

#include <stdlib.h>

#include "platform/environment.h"

namespace platform {

bool SetEnvironment(const std::string& name, const std::string& value) {
    return ::_putenv_s(name.c_str(), value.c_str()) == 0 &&
           ::SetEnvironmentVariableA(name.c_str(), value.c_str()) != 0;
}

bool UnsetEnvironment(const std::string& name) {
    // An empty value removes a variable from the C library's copy.
    return ::_putenv_s(name.c_str(), "") == 0 &&
           ::SetEnvironmentVariableA(name.c_str(), nullptr) != 0;
}

}  // namespace platform
