#include "plugins/backup/entry_fields.h"

#include <cctype>
#include <cstring>
#include <string_view>

#include "transfer/listing_field.h"

namespace {

char g_normalized[kEntryBufferSize];
char g_field[kEntryBufferSize];
char g_attributeArgs[kEntryBufferSize];

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

const char* NormalizeEntry(const char* entry) {
    char out[kEntryBufferSize] = {};
    std::size_t length = 0;
    bool lastKept = true;  // the last kept character was not white space
    for (const char* p = entry; *p != '\0'; ++p) {
        char c = *p;
        if (IsSpace(c)) {
            if (!lastKept) {
                continue;
            }
            c = ' ';
            lastKept = false;
        } else if (c == ',') {
            c = '\0';
        } else {
            lastKept = true;
        }
        // Room must stay for the two NULs that end the list.
        if (length + 2 >= sizeof out) {
            return nullptr;
        }
        out[length++] = c;
    }
    std::memcpy(g_normalized, out, sizeof out);
    return g_normalized;
}

const char* GetEntryField(const char* fields, int n) {
    // The buffer's cleared tail reads as empty fields, never as data.
    const std::string_view field =
        SeparatedField(std::string_view(fields, kEntryBufferSize), '\0', n);
    std::size_t begin = 0;
    while (begin < field.size() && IsSpace(field[begin])) {
        ++begin;
    }
    const std::string_view rest = field.substr(begin);
    // A field past the last has no data at all, not even a pointer to it.
    if (!rest.empty()) {
        std::memcpy(g_field, rest.data(), rest.size());
    }
    g_field[rest.size()] = '\0';
    return g_field;
}

const char* AttributeArgs(const char* letters) {
    char out[kEntryBufferSize];
    std::size_t length = 0;
    for (const char* p = letters; *p != '\0'; ++p) {
        if (IsSpace(*p)) {
            continue;
        }
        if (length + 2 >= sizeof out) {
            return nullptr;
        }
        out[length++] = *p;
        out[length++] = ',';
    }
    if (length > 0) {
        --length;  // the last comma
    }
    out[length] = '\0';
    std::memcpy(g_attributeArgs, out, length + 1);
    return g_attributeArgs;
}
