#include "wizard/engine/step_list.h"

#include <cstring>

void StepList::AppendList(const char* list, std::size_t maxBytes) {
    if (list == nullptr) {
        return;
    }
    std::size_t at = 0;
    while (at < maxBytes && list[at] != '\0') {
        const void* end = std::memchr(list + at, '\0', maxBytes - at);
        if (end == nullptr) {
            return;  // an unterminated entry: nothing trustworthy follows
        }
        std::size_t length = static_cast<const char*>(end) - (list + at);
        Append(std::string(list + at, length));
        at += length + 1;
    }
}
