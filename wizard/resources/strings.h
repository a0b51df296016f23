// The wizard's user texts, by the numeric ids that pages, worker and upload
// driver use; translated in the text domain "wizard".
#pragma once

#include <string>

#include "platform/translation.h"

namespace wizard {

enum TextId : int {
    IDS_TITLE = 2,
    IDS_WELCOME_BODY = 4,
    IDS_WELCOME_GREETING = 5,
    IDS_CONFIG_TOP = 6,
    IDS_CONFIG_OBSERVE = 7,
    IDS_CLICK_NEXT = 8,
    IDS_CONFIG_HEADER_TITLE = 9,
    IDS_CONFIG_HEADER_SUBTITLE = 10,
    IDS_NO_AUTOMATIC_RECOGNITION = 11,
    IDS_MANUAL_HEADER_TITLE = 12,
    IDS_MANUAL_HEADER_SUBTITLE = 13,
    IDS_SEARCH_HEADER_TITLE = 14,
    IDS_UPDATE_HEADER_TITLE = 15,
    IDS_MANUAL_SELECT = 16,
    IDS_MANUAL_PORT = 17,
    IDS_MANUAL_MODEL = 18,
    IDS_MANUAL_CLICK_NEXT = 19,
    IDS_SEARCH_LOOKING = 20,
    IDS_SEARCH_PORT = 21,
    IDS_SEARCH_STATUS = 22,
    IDS_UPDATE_INTRO = 23,
    IDS_CHECKING = 25,
    IDS_OPENING_PORT = 26,
    IDS_CLOSING_PORT = 27,
    IDS_MODEM_FOUND = 29,
    IDS_OPENING_FAILED = 31,
    IDS_LOOKING_FOR_MODEM = 32,
    IDS_NO_COMPATIBLE_MODEM = 33,
    IDS_PORT_CANNOT_BE_OPENED = 35,
    IDS_LOADING_FIRMWARE = 40,
    IDS_SUCCESS = 41,
    IDS_STEP_FIRMWARE = 44,
    IDS_FIRMWARE_FILE_MISSING = 48,
    IDS_STARTING_UPLOAD = 49,
    IDS_INI_ERROR = 50,
    IDS_UPLOAD_ERROR = 51,
    IDS_REINITIALIZING = 52,
    IDS_SEARCH_NOT_FOUND = 53,
    IDS_SEARCH_FOUND = 56,
    IDS_PROGRAM_PATH = 57,
    IDS_VERSION_CONFLICT = 58,
    IDS_STEP_INITIALIZING = 60,
    IDS_WELCOME_VERSION = 61,
    IDS_SWITCH_OFF_AND_ON = 62,
    IDS_UPLOAD_COMMAND_FAILED = 63,
    IDS_FILES_KEPT = 64,      // after a failed update: the folder with the modem's files
    IDS_LOADER_WAITING = 65,  // after a search: a port whose modem waits in its boot loader
    IDS_TRANSFER_UPLOAD = 2003,
    IDS_TRANSFER_DOWNLOAD = 2004,
    // Buttons of the GUI's wizard frame and message boxes.
    IDS_BUTTON_BACK = 3001,
    IDS_BUTTON_NEXT = 3002,
    IDS_BUTTON_FINISH = 3003,
    IDS_BUTTON_CANCEL = 3004,
    IDS_BUTTON_CLOSE = 3005,
    IDS_BUTTON_OK = 3006,
    IDS_BUTTON_YES = 3007,
    IDS_BUTTON_NO = 3008,
};

platform::TextCatalog& Texts();

// The text of an id in the user's language.
inline const std::string& LoadText(int id) {
    return Texts().Load(id);
}

}  // namespace wizard
