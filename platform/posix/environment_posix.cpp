#include <stdlib.h>

#include "platform/environment.h"

namespace platform {

bool SetEnvironment(const std::string& name, const std::string& value) {
    return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool UnsetEnvironment(const std::string& name) {
    return ::unsetenv(name.c_str()) == 0;
}

}  // namespace platform
