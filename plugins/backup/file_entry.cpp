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
        *why = "its listing entry is longer than its buffer";
        return false;
    }
    FileEntry read;
    // The name travels only inside the quotes of the modem's commands (the
    // copy is named by its position), so it is taken exactly as listed:
    // blanks, runs of blanks, dots and slashes included.
    read.name = std::string(SeparatedField(entry, ',', 0));
    read.field1 = GetEntryField(fields, 1);
    read.attributes = GetEntryField(fields, 2);
    if (!ReadSize(GetEntryField(fields, 5), &read.size, &read.sizeGiven)) {
        *why = "its size goes beyond 32 bits";
        return false;
    }
    if (read.name.empty()) {
        *why = "it has no name";
        return false;
    }
    // A quote would end the quoted name early, a control character the
    // command line; the fields behind the name stand unquoted.
    if (!CommandTextIsSafe(read.name, true)) {
        *why = "its name holds a double quote or a control character";
        return false;
    }
    std::string command;
    if (!CommandTextIsSafe(read.field1, true) || !CommandTextIsSafe(read.attributes, true)) {
        *why = "its listing fields hold a double quote or a control character";
        return false;
    }
    if (!DownloadCommand(read, &command) || !StoreCommand(read, &command)) {
        *why = "its name and fields do not fit the modem's 260-byte command buffer";
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

std::string PrintableName(const std::string& name) {
    std::string text;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    return text;
}

std::string UncheckedLengthNote(const std::string& name) {
    return "The listing gives no size for \"" + PrintableName(name) +
           "\": the length of its copy cannot be checked.";
}
