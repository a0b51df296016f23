// Temporary files that vanish when they are closed.
#pragma once

#include <cstdio>

namespace platform {

// A new binary read/write file in the temporary directory, deleted when
// closed (or when the process ends). Null when none can be made.
std::FILE* CreateTemporaryFile();

}  // namespace platform
