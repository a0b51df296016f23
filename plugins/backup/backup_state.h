// What PreSteps leaves for PostSteps in the loaded plug-in: the modem's
// file listing, its count and byte total, and where the backups are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kModemFileListSize = 5000;

struct BackupState {
    // One entry per listed file (a listing line, its CR kept), each ended
    // by a NUL, the list ended by an empty entry.
    char ModemFileList[kModemFileListSize] = {'\0', '\0'};
    std::int32_t fileCount = 0;
    std::int32_t listTotal = 0;
    // The directory of this update's backups; empty while none was made.
    std::string runDirectory;

    void Clear();
    // Takes the cleaned answer of the listing request: each line becomes an
    // entry. False, and an empty list, when it does not fit or holds an
    // empty line (which would end the list and hide the entries behind it).
    bool StoreListing(const std::string& listing);
    // The first entry; MultiStringNext walks on, an empty entry ends.
    const char* FirstEntry() const { return ModemFileList; }
};

BackupState& TheBackupState();
