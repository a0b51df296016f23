#include "plugins/backup/file_entry.h"

#include <cctype>
#include <cstdio>
#include <limits>

#include "plugins/backup/entry_fields.h"
#include "transfer/listing_field.h"
#include "transfer/modem_commands.h"

namespace {

template <typename... Args>
bool FormatCommand(std::string* command, const char* format, Args... args) {
    char buffer[kCommandBufferSize];
    const int needed = std::snprintf(buffer, sizeof buffer, format, args...);
    if (needed < 0 || static_cast<std::size_t>(needed) >= sizeof buffer) {
        return false;
    }
    command->assign(buffer, static_cast<std::size_t>(needed));
    return true;
}

// Leading decimal digits of text; false when they exceed 32 bits.
bool ReadSize(const char* text, std::int32_t* size, bool* given) {
    std::int64_t value = 0;
    const char* p = text;
    for (; std::isdigit(static_cast<unsigned char>(*p)) != 0; ++p) {
        value = value * 10 + (*p - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
    }
    *given = p != text;
    *size = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

bool ReadEntry(const char* entry, FileEntry* file, std::string* why) {
    const char* fields = NormalizeEntry(entry);
    if (fields == nullptr) {
        *why = "entry longer than its buffer";
        return false;
    }
    FileEntry read;
    // White space around the name is layout, not part of it.
    read.name = GetEntryField(fields, 0);
    read.name.erase(read.name.find_last_not_of(" ") + 1);
    read.field1 = GetEntryField(fields, 1);
    read.attributes = GetEntryField(fields, 2);
    if (!ReadSize(GetEntryField(fields, 5), &read.size, &read.sizeGiven)) {
        *why = "size beyond 32 bits";
        return false;
    }
    if (read.name.empty()) {
        *why = "empty name";
        return false;
    }
    // A name the white-space rules change ("a  b" read as "a b") would fetch
    // and store back another file than the one listed.
    if (read.name != ListingField(entry, 0)) {
        *why = "name that the listing's white-space rules would alter";
        return false;
    }
    if (read.name.find_first_of("/\\") != std::string::npos ||
        read.name.find("..") != std::string::npos) {
        *why = "name with a path in it";
        return false;
    }
    std::string command;
    // A quote would end the quoted name, or confuse the modem's reading of
    // the arguments behind it.
    if (!CommandTextIsSafe(read.name, true) || !CommandTextIsSafe(read.field1, true) ||
        !CommandTextIsSafe(read.attributes, true) || !DownloadCommand(read, &command) ||
        !StoreCommand(read, &command)) {
        *why = "name or fields unfit for the modem's commands";
        return false;
    }
    *file = read;
    return true;
}

bool DownloadCommand(const FileEntry& file, std::string* command) {
    const char* option = file.attributes.find('I') != std::string::npos ? ",I" : "";
    return FormatCommand(command, "AT$JDNL=\"%s\"%s", file.name.c_str(), option);
}

bool StoreCommand(const FileEntry& file, std::string* command) {
    const char* args = AttributeArgs(file.attributes.c_str());
    return args != nullptr && FormatCommand(command, "at$jupl=\"%s\",%s,%s", file.name.c_str(),
                                            file.field1.c_str(), args);
}
