// The flash plug-in's user texts, by the numeric ids of its string table;
// translated in the text domain "flinta_plugin".
#pragma once

#include <string>

#include "platform/translation.h"

namespace flinta {

enum TextId : int {
    IDS_LOADING_FIRMWARE = 1,  // "... (%d %% complete ", followed by IDS_FILE_OF_FILES
    IDS_INIT_ERROR = 3,
    IDS_PLEASE_WAIT = 4,
    IDS_FILE_OF_FILES = 5,  // "file %d of %d)"
};

platform::TextCatalog& Texts();

// The text of an id in the user's language.
inline const std::string& LoadText(int id) {
    return Texts().Load(id);
}

// The progress text of file `file` of `files`: IDS_LOADING_FIRMWARE
// followed by IDS_FILE_OF_FILES with the two numbers filled in. The result
// keeps one "%d" for the percentage, as the update page expects.
std::string LoadingText(int file, int files);

}  // namespace flinta
