// A multi-string in a fixed buffer of N bytes, terminators included: the
// model list and the port list. Names that do not fit are refused, never
// cut. The buffer can be handed on as it stands (data()).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plugin_api/multi_string.h"
#include "wizard/engine/no_case.h"

template <std::size_t N>
class MultiStringBuffer {
    static_assert(N >= 1, "room for the closing empty text is needed");

  public:
    static constexpr std::size_t kCapacity = N;

    MultiStringBuffer() { MultiStringClear(data_); }

    // Appends a name; false (list unchanged) when it is empty, holds a
    // NUL, or does not fit.
    bool Append(const std::string& name) {
        return name.find('\0') == std::string::npos && MultiStringAppend(data_, N, name.c_str());
    }

    bool ContainsNoCase(const std::string& name) const {
        for (const char* entry = data_; *entry != '\0'; entry = MultiStringNext(entry)) {
            if (EqualsNoCase(entry, name)) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (const char* entry = data_; *entry != '\0'; entry = MultiStringNext(entry)) {
            entries.emplace_back(entry);
        }
        return entries;
    }

    bool empty() const { return data_[0] == '\0'; }
    // Bytes in use, the closing empty text included.
    std::size_t UsedBytes() const { return MultiStringSize(data_, N); }

    const char* data() const { return data_; }
    char* data() { return data_; }

  private:
    char data_[N];
};
