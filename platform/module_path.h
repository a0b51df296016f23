// The file a module (program or shared library) was loaded from.
#pragma once

#include <string>

namespace platform {

// Directory of the module that contains the given address (code or data of
// that module), without a trailing separator, links resolved; empty when
// unknown.
std::string ModuleDirectory(const void* addressInModule);

}  // namespace platform
