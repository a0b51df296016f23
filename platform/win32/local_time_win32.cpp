#include "platform/win32/windows_api.h"

#include <cstdio>

#include "platform/local_time.h"

namespace platform {

std::string LocalTimeStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u_%02u-%02u-%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

}  // namespace platform
