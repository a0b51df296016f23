#include "plugins/backup/step_report.h"

#include <algorithm>

#include "plugin_api/messages.h"
#include "plugins/backup/backup_texts.h"

namespace backup {
namespace {

// The page shows the text after the step has returned: it cannot live on
// the stack.
char g_errorText[256];
// Receivers copy a notice when it is posted; the next one may reuse this.
char g_noticeText[256];

const char* LoadErrorText(int id) {
    CopyText(g_errorText, LoadText(id, sizeof g_errorText).c_str());
    return g_errorText;
}

}  // namespace

int PostFatal(HWND page, int id) {
    PostMessage(page, WM_WIZ_FATAL, 0, TextParam(LoadErrorText(id)));
    return 0;
}

int SendFatal(HWND page, int id) {
    SendMessage(page, WM_WIZ_FATAL, 0, TextParam(LoadErrorText(id)));
    return 0;
}

void PostNotice(HWND page, const std::string& text) {
    const std::size_t length = std::min(text.size(), sizeof g_noticeText - 1);
    text.copy(g_noticeText, length);
    g_noticeText[length] = '\0';
    PostMessage(page, WM_WIZ_NOTICE, 0, TextParam(g_noticeText));
}

void SetFileProgressText(_Status* status, int formatId, int index, int count) {
    std::string text =
        FormatCount(LoadText(formatId), index, count) + LoadText(IDS_PERCENT_FINISHED);
    if (!CopyText(status->text, text.c_str())) {
        // A translation too long for the field: the English texts fit.
        text = FormatCount(Texts().English(formatId), index, count) +
               Texts().English(IDS_PERCENT_FINISHED);
        CopyText(status->text, text.c_str());
    }
}

}  // namespace backup
