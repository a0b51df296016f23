#include "plugins/backup/backup_state.h"

#include <cstring>

void BackupState::Clear() {
    ModemFileList[0] = '\0';
    ModemFileList[1] = '\0';
    fileCount = 0;
    listTotal = 0;
    runDirectory.clear();
}

bool BackupState::StoreListing(const std::string& listing) {
    Clear();
    // A NUL or an empty line inside the listing would end the list early
    // and hide the files behind it.
    if (listing.size() + 2 > sizeof ModemFileList || listing.find('\0') != std::string::npos ||
        listing.find("\n\n") != std::string::npos || (!listing.empty() && listing[0] == '\n')) {
        return false;
    }
    std::memcpy(ModemFileList, listing.data(), listing.size());
    ModemFileList[listing.size()] = '\0';
    ModemFileList[listing.size() + 1] = '\0';
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (ModemFileList[i] == '\n') {
            ModemFileList[i] = '\0';
        }
    }
    return true;
}

BackupState& TheBackupState() {
    static BackupState state;
    return state;
}
