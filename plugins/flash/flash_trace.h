// The flash plug-in's trace lines, at step level on the xdebug channel.
#pragma once

#include "serial/trace.h"

namespace flinta {

// printf-style trace of the plug-in's work.
void Trace(const char* format, ...) XDEBUG_PRINTF(1, 2);

}  // namespace flinta
