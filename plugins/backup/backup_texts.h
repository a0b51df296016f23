// The plug-in's own texts, looked up by id and shown in the user's
// language (text domain "sarnet_plugin").
#pragma once

#include <cstddef>
#include <string>

#include "platform/translation.h"

namespace backup {

enum TextId : int {
    IDS_STEP_REORGANIZE = 1,   // post-step caption
    IDS_STEP_RESTORE = 2,      // post-step caption
    IDS_STEP_BACKUP = 3,       // pre-step caption
    IDS_BACKING_UP_FILE = 4,   // "%d of %d", followed by IDS_PERCENT_FINISHED
    IDS_PERCENT_FINISHED = 5,  // the page fills in the percentage
    IDS_DOWNLOAD_ERROR = 6,    // a backup failed or cannot be made
    IDS_PLEASE_WAIT = 7,       // while the memory is reorganised
    IDS_UPLOAD_ERROR = 8,      // a file could not be restored
    IDS_REORGANIZE_ERROR = 9,  // the memory could not be reorganised
    IDS_RESTORING_FILE = 10,   // "%d of %d", followed by IDS_PERCENT_FINISHED
    IDS_INITIALIZATION_ERROR = 36,
};

platform::TextCatalog& Texts();

// The text of id in the user's language. A translation longer than
// capacity - 1 bytes would not fit the buffer it is shown from: the English
// text stands in for it.
std::string LoadText(int id, std::size_t capacity = 256);

// format with its first two "%d" replaced by first and second. Every
// other character stays, "%%" included, since the result is itself a
// progress format for the page.
std::string FormatCount(const std::string& format, int first, int second);

}  // namespace backup
