#include <cstdlib>

#include "platform/user_locale.h"

namespace platform {

std::string UserLocaleName() {
    // The locale categories in gettext's order: the first set one decides.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace platform
