// The process's environment variables, as child processes and the C
// library (getenv) see them.
#pragma once

#include <string>

namespace platform {

bool SetEnvironment(const std::string& name, const std::string& value);
bool UnsetEnvironment(const std::string& name);

}  // namespace platform
