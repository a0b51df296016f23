// Plug-ins for the update tests, built like real ones (their own copy of
// the serial code, only the export table visible). The variant is chosen at
// build time:
//   STEP_PLUGIN_VERSION  the interface version it reports (none: no GetVersionNumber)
//   STEP_PLUGIN_STEPS    two pre-steps and one post-step, each talking to the modem
//   STEP_PLUGIN_FIRMWARE a FirmwareUpload that talks to the modem
// A model whose name starts with "fail-pre", "fail-firmware" or "fail-post"
// makes that stage fail the way plug-ins do.
#include <cstring>

#include "plugin_api/exports.h"
#include "plugin_api/messages.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "serial/serial.h"

namespace {

[[maybe_unused]] char g_errorText[256];
[[maybe_unused]] char g_preSteps[STEP_STRINGS_SIZE];
[[maybe_unused]] char g_postSteps[STEP_STRINGS_SIZE];

[[maybe_unused]] bool Fails(const _Status* status, const char* stage) {
    return std::strncmp(status->model, stage, std::strlen(stage)) == 0;
}

[[maybe_unused]] int Fail(HWND page, const char* text) {
    std::strcpy(g_errorText, text);
    PostMessage(page, WM_WIZ_FATAL, 0, TextParam(g_errorText));
    return 0;
}

// The port is the wizard's, open, with this plug-in's own copy of CSerial.
[[maybe_unused]] bool ModemAnswers(CSerial* port) {
    return port->Request("AT", nullptr, 0, nullptr, 2000, 0);
}

}  // namespace

#if defined(STEP_PLUGIN_VERSION)
int GetVersionNumber() {
    return STEP_PLUGIN_VERSION;
}
#endif

#if defined(STEP_PLUGIN_STEPS)
char* GetPreStepStrings() {
    std::memcpy(g_preSteps, "Saving one\0Saving two\0", 23);
    return g_preSteps;
}

char* GetPostStepStrings() {
    std::memcpy(g_postSteps, "Restoring\0", 11);
    return g_postSteps;
}

int PreSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter) {
    for (int step = 0; step < 2; ++step) {
        AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);
        if (Fails(status, "fail-pre") || !ModemAnswers(port)) {
            return Fail(page, "PRE-STEP FAILED");
        }
    }
    return 1;
}

int PostSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter) {
    AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);
    if (Fails(status, "fail-post") || !ModemAnswers(port)) {
        return Fail(page, "POST-STEP FAILED: no modem");
    }
    return 1;
}
#endif

#if defined(STEP_PLUGIN_FIRMWARE)
int FirmwareUpload(HWND, CSerial* port, char* settings, _Status* status) {
    // The file list of the settings record comes first.
    if (settings == nullptr || settings[0] == '\0') {
        return 0;
    }
    return !Fails(status, "fail-firmware") && ModemAnswers(port) ? 1 : 0;
}
#endif

WIZARD_PLUGIN_EXPORT_TABLE(
#if defined(STEP_PLUGIN_VERSION)
    ExportGetVersionNumber(&GetVersionNumber),
#endif
#if defined(STEP_PLUGIN_STEPS)
    ExportGetPreStepStrings(&GetPreStepStrings), ExportGetPostStepStrings(&GetPostStepStrings),
    ExportPreSteps(&PreSteps), ExportPostSteps(&PostSteps),
#endif
#if defined(STEP_PLUGIN_FIRMWARE)
    ExportFirmwareUpload(&FirmwareUpload),
#endif
    {nullptr, nullptr})
