// Storing one saved copy back into the modem's file store, with the name
// and listing fields it had: the restore after an update and the restore
// of kept copies later on.
#pragma once

#include <string>

#include "platform/types.h"

class CSerial;
struct FileEntry;

namespace backup {

enum class StoreBackResult {
    kStored,          // sent, and the modem did not say ERROR afterwards
    kCommandRefused,  // the store command was not taken
    kNoReceiver,      // the modem's receiver never asked for the file
    kCopyUnreadable,  // the local copy cannot be read
    kUploadFailed,    // the XModem transfer broke off
    kModemRefused,    // sent, then answered ERROR: the file is not stored
    kDeviceGone,      // the modem's device went away: nothing more can be stored
};

// The store command for file, the receiver's first NAK, the copy at path by
// XModem (1K blocks allowed, progress counting the bytes sent), then the
// modem's final answer. owner: the window the transfer belongs to (may be
// null).
StoreBackResult StoreCopyBack(CSerial* port, const FileEntry& file, const std::string& path,
                              HWND owner, int* progress, const char* cancel);

// What went wrong, for a message ("" for kStored).
const char* Describe(StoreBackResult result);

}  // namespace backup
