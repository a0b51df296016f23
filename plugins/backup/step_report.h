// What the plug-in tells the page: its fatal error texts and the progress
// text of a file transfer.
#pragma once

#include <string>

#include "plugin_api/status.h"

namespace backup {

// Loads text id into the module-level error text and posts it to the page
// with WM_WIZ_FATAL. Returns 0, the result of the failing step.
int PostFatal(HWND page, int id);
// The same, delivered with SendMessage: it returns once the page has
// handled it.
int SendFatal(HWND page, int id);

// Posts a remark for the user with WM_WIZ_NOTICE (the text front end shows
// it). Texts longer than the message buffer are cut.
void PostNotice(HWND page, const std::string& text);

// status->text = text formatId with (index, count), then the percentage
// text; the page fills in the percentage.
void SetFileProgressText(_Status* status, int formatId, int index, int count);

}  // namespace backup
