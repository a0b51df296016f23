#include <time.h>

#include "platform/local_time.h"

namespace platform {

std::string LocalTimeStamp() {
    const time_t now = ::time(nullptr);
    tm parts{};
    char text[32];
    if (::localtime_r(&now, &parts) == nullptr ||
        ::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &parts) == 0) {
        return "0000-00-00_00-00-00";
    }
    return text;
}

}  // namespace platform
