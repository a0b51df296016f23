#include "plugins/flash/flash_trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace flinta {

void Trace(const char* format, ...) {
    if (xdebug_GetPipe() == nullptr) {
        return;  // silent: not even the formatting
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", text.c_str());
    }
    va_end(again);
}

}  // namespace flinta
