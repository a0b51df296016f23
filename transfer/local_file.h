// Sizes of local files.
#pragma once

#include "platform/types.h"

#include <string>

// The size of the file in bytes (its low 32 bits), 0 when it cannot be opened.
DWORD GetLocalFileSize(const std::string& path);
