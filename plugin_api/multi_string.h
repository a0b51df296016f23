// Multi-strings: texts each ended by a NUL, the list ended by an empty text
// (so an empty list is a single NUL). The model, port and step lists and
// the file list of UploadSettings are kept this way, in fixed buffers.
#pragma once

#include <cstddef>
#include <cstring>

// Bytes the list occupies, its closing empty text included; 0 when no
// closing empty text lies within the first capacity bytes.
inline std::size_t MultiStringSize(const char* list, std::size_t capacity) {
    std::size_t at = 0;
    while (at < capacity) {
        if (list[at] == '\0') {
            return at + 1;
        }
        const void* end = std::memchr(list + at, '\0', capacity - at);
        if (end == nullptr) {
            return 0;
        }
        at = static_cast<std::size_t>(static_cast<const char*>(end) - list) + 1;
    }
    return 0;
}

// Makes the list empty; the buffer must hold at least one byte.
inline void MultiStringClear(char* list) {
    list[0] = '\0';
}

// Writes entry behind the last text of the list and closes the list again.
// Refuses (false, list unchanged) an empty entry, which would end the list,
// and an entry that does not fit into capacity bytes with the terminators.
inline bool MultiStringAppend(char* list, std::size_t capacity, const char* entry) {
    std::size_t used = MultiStringSize(list, capacity);
    std::size_t length = entry != nullptr ? std::strlen(entry) : 0;
    if (used == 0 || length == 0 || length + 1 > capacity - used) {
        return false;
    }
    std::memcpy(list + used - 1, entry, length + 1);
    list[used + length] = '\0';
    return true;
}

// The text after entry, which is the empty text at the end of the list.
inline const char* MultiStringNext(const char* entry) {
    return entry + std::strlen(entry) + 1;
}

// Room for a plug-in's step-caption list (GetPreStepStrings and
// GetPostStepStrings fill a module-level buffer of this size).
constexpr std::size_t STEP_STRINGS_SIZE = 512;
