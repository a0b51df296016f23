// A plug-in for tests, built separately from the wizard like a real one:
// it exports GetVersionNumber and PreSteps through the export table and
// nothing else. TEST_PLUGIN_VERSION is the interface version it reports.
#include <cstdio>
#include <cstring>

#include "plugin_api/exports.h"
#include "plugin_api/messages.h"
#include "plugin_api/status.h"

namespace {

// Posted texts must outlive the call that posts them.
char g_errorText[256];

}  // namespace

int GetVersionNumber() {
    return TEST_PLUGIN_VERSION;
}

// One step of its own. It echoes what the wizard put into _Status, so that
// the host can tell both sides agree on the layout; a model named "fail"
// makes it fail the way plug-ins report failures.
int PreSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter) {
    (void)port;
    if (std::strcmp(status->model, "fail") == 0) {
        std::snprintf(g_errorText, sizeof g_errorText, "Test plug-in failed for %.200s",
                      status->iniPath);
        PostMessage(page, WM_WIZ_FATAL, 0, TextParam(g_errorText));
        return 0;
    }
    AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);
    std::snprintf(status->text, sizeof status->text, "%.60s|%.120s|%d|%d|%d", status->model,
                  status->iniPath, status->total, status->done, status->state);
    status->done = status->total;
    return 1;
}

WIZARD_PLUGIN_EXPORT_TABLE(ExportGetVersionNumber(&GetVersionNumber), ExportPreSteps(&PreSteps))
