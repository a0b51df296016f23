#include "wizard/engine/update_run.h"

#include <memory>
#include <string>

#include "platform/port_names.h"
#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "plugin_api/multi_string.h"
#include "serial/port_reopen.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/plugin_binding.h"
#include "wizard/engine/step_list.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/upload_driver.h"
#include "wizard/engine/upload_settings_builder.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/resources/strings.h"

namespace {

StepList g_steps;
void Trace(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", text);
}

// Replaces the update page's introduction by the step lines, the progress
// text and the progress bar. Steps beyond the page's eight lines are not shown.
void ShowStepList(HWND page, const StepList& steps) {
    ShowDlgItem(page, IDC_UPDATE_INTRO, false);
    int line = 0;
    for (const std::string& caption : steps.Entries()) {
        if (line == kMaxStepLines) {
            break;
        }
        SetDlgItemText(page, IDC_STEP_LINE_FIRST + line, caption.c_str());
        ShowDlgItem(page, IDC_STEP_LINE_FIRST + line, true);
        ++line;
    }
    ShowDlgItem(page, IDC_PROGRESS_TEXT, true);
    ShowDlgItem(page, IDC_PROGRESS_BAR, true);
}

void TraceList(const char* what, const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += "<" + entry + ">";
    }
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s: %s\n", what, text.c_str());
}

}  // namespace

int& StepCounter() {
    static int counter = 0;
    return counter;
}

bool RunUpdate(WizardState& state, HWND page) {
    int& stepCounter = StepCounter();
    _Status& status = state.status;
    stepCounter = 0;
    auto port = std::make_unique<CSerial>();
    g_steps.Clear();
    TraceList("Ports", state.portList.Entries());
    TraceList("Models", state.modelList.Entries());

    g_steps.Append(wizard::LoadText(wizard::IDS_STEP_INITIALIZING));
    status.state = 1;
    const std::string model =
        state.modelList.empty() ? std::string() : state.modelList.Entries().front();
    const std::string portName =
        state.portList.empty() ? std::string() : state.portList.Entries().front();
    CopyTextCut(status.iniPath, sizeof status.iniPath, state.config.iniPath);
    CopyTextCut(status.model, sizeof status.model, model);

    std::string pluginPath, why;
    PluginEntries plugin;
    BindResult bound = BindResult::kNotLoadable;
    if (PluginPath(IniFile::Read(state.config.iniPath), state.config.programDir, model, &pluginPath,
                   &why)) {
        bound = BindPlugin(pluginPath, &plugin, &why);
    }
    if (bound == BindResult::kVersionConflict) {
        FatalExit(wizard::LoadText(wizard::IDS_VERSION_CONFLICT));
        return false;
    }
    if (bound == BindResult::kNotLoadable) {
        FatalExit(wizard::LoadText(wizard::IDS_PROGRAM_PATH));
        return false;
    }

    if (plugin.getPreStepStrings != nullptr) {
        g_steps.AppendList(plugin.getPreStepStrings(), STEP_STRINGS_SIZE);
    }
    g_steps.Append(wizard::LoadText(wizard::IDS_STEP_FIRMWARE));
    if (plugin.getPostStepStrings != nullptr) {
        g_steps.AppendList(plugin.getPostStepStrings(), STEP_STRINGS_SIZE);
    }
    ShowStepList(page, g_steps);
    PostMessage(page, WM_WIZ_STEP, 0, 1);

    // A USB modem may come back under another device name after its
    // restart; its stable name does not change, so every open of the run
    // uses that.
    const std::string stableName = platform::StablePortName(portName);
    if (stableName != portName) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "Update: <%s> is opened as <%s>\n", portName.c_str(),
                     stableName.c_str());
    }
    port->SetPortName(stableName);
    if (!port->Open()) {
        PostFatalText(page, wizard::IDS_PORT_CANNOT_BE_OPENED);
        return false;
    }
    Trace("Beginne mit PreSteps!!\n");
    if (plugin.preSteps != nullptr &&
        plugin.preSteps(page, port.get(), &status, WM_WIZ_STEP, &stepCounter) == 0) {
        return false;
    }
    PostMessage(page, WM_WIZ_STEP, static_cast<WPARAM>(stepCounter), 0);
    ++stepCounter;
    PostMessage(page, WM_WIZ_STEP, static_cast<WPARAM>(stepCounter), 1);

    ClearStatus(&status);
    Trace("Beginne mit Firmwareupload!!\n");
    if (UploadFirmware(state, page, port.get(), plugin.firmwareUpload) >= 1) {
        Trace("Beginne mit Poststeps!!\n");
        if (plugin.postSteps != nullptr) {
            // The own upload leaves the port closed after its probe of the
            // restarted modem; the post-steps talk to the modem again.
            if (!port->IsOpen() && !ReopenPort(port.get(), kComeBackLimitMs)) {
                PostFatalText(page, wizard::IDS_PORT_CANNOT_BE_OPENED);
                return false;
            }
            if (plugin.postSteps(page, port.get(), &status, WM_WIZ_STEP, &stepCounter) == 0) {
                return false;
            }
        }
        PostMessage(page, WM_WIZ_STEP, static_cast<WPARAM>(stepCounter), 0);
        ++stepCounter;
        status.state = 2;
        Trace("Bin fertig!!\n");
    } else {
        PostMessage(page, WM_WIZ_STEP, static_cast<WPARAM>(stepCounter), 0);
        ++stepCounter;
        status.state = 3;
    }
    port->Close();
    return true;
}

bool RunRecovery(WizardState& state, HWND page) {
    _Status& status = state.status;
    StepCounter() = 0;
    g_steps.Clear();
    g_steps.Append(wizard::LoadText(wizard::IDS_STEP_FIRMWARE));
    status.state = 1;
    const std::string model =
        state.modelList.empty() ? std::string() : state.modelList.Entries().front();
    CopyTextCut(status.iniPath, sizeof status.iniPath, state.config.iniPath);
    CopyTextCut(status.model, sizeof status.model, model);
    ShowStepList(page, g_steps);
    PostMessage(page, WM_WIZ_STEP, 0, 1);
    CSerial port;
    port.SetPortName(platform::StablePortName(
        state.portList.empty() ? std::string() : state.portList.Entries().front()));
    if (!port.Open()) {
        PostFatalText(page, wizard::IDS_PORT_CANNOT_BE_OPENED);
        return false;
    }
    ClearStatus(&status);
    const bool loaded = RecoverFirmware(state, page, &port) >= 1;
    PostMessage(page, WM_WIZ_STEP, 0, 0);
    StepCounter() = 1;
    status.state = loaded ? 2 : 3;
    port.Close();
    return true;
}
