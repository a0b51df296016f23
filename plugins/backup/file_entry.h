// One file of the modem's listing, as the backup and the restore use it,
// and the two commands that move it.
#pragma once

#include <cstdint>
#include <string>

struct FileEntry {
    std::string name;        // field 0: the name in the modem's file store
    std::string field1;      // field 1: handed back to the store command
    std::string attributes;  // field 2: attribute letters
    std::int32_t size = 0;   // field 5: bytes, 0 when the listing gives none
    bool sizeGiven = false;  // field 5 starts with a digit
};

// Reads an entry of the listing: the name exactly as listed, the other
// fields as NormalizeEntry and GetEntryField give them. Refuses (false, the
// reason in *why, worded to follow "the file cannot be backed up: ") only
// what cannot be stored back: an entry too long for its buffer, an empty
// name, a double quote or control character in the name or the fields, a
// store or download command beyond the modem's command buffer, a size
// beyond 32 bits.
bool ReadEntry(const char* entry, FileEntry* file, std::string* why);

// AT$JDNL="name", with ",I" when the attributes hold an upper-case I.
// False when the command would not fit the modem's 260-byte command buffer.
bool DownloadCommand(const FileEntry& file, std::string* command);

// at$jupl="name",field1,attribute arguments (see AttributeArgs). False when
// it would not fit the command buffer.
bool StoreCommand(const FileEntry& file, std::string* command);

// A name as it may be shown on a terminal: control characters as \xNN.
std::string PrintableName(const std::string& name);

// What the user is told when the listing gives no size for a file: the
// copy keeps the XModem padding, and a short transfer cannot be noticed.
std::string UncheckedLengthNote(const std::string& name);
