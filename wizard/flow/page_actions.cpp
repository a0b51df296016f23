#include "wizard/flow/page_actions.h"

#include "platform/paths.h"
#include "platform/private_directory.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/port_list.h"
#include "wizard/engine/recover_command.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/resources/strings.h"

namespace flow {
namespace {

constexpr std::size_t kVersionTextSize = 1024;

}  // namespace

bool MakeProgramDirectoryCurrent(const WizardOptions& options, ConfigLocation* location,
                                 std::string* why) {
    if (options.configFile.empty()) {
        return FormConfigPath(location, why);
    }
    if (!LocateConfigFile(options.configFile, location, why)) {
        return false;
    }
    if (!platform::SetCurrentDirectory(location->programDir)) {
        *why = "the directory cannot be made current: " + location->programDir;
        return false;
    }
    return true;
}

std::string WelcomeBody(const WizardState& state) {
    std::string body = wizard::LoadText(wizard::IDS_WELCOME_BODY);
    char version[5] = {};
    if (ReadFirmwareVersion(IniFile::Read(state.config.iniPath), version) != FIRMWARE_NO_HEADER) {
        body +=
            FormatText(wizard::LoadText(wizard::IDS_WELCOME_VERSION), version, kVersionTextSize);
    }
    return body;
}

bool StartConfiguration(WizardState& state, const std::vector<std::string>& ports,
                        FlowFlags& flags) {
    const IniFile ini = IniFile::Read(state.config.iniPath);
    state.portList = ports.empty() ? ReadPortList(ini) : DiscoveredPortList(ports);
    state.hasAtInterpreter = HasAtInterpreter(ini);
    if (!state.hasAtInterpreter) {
        flags.manualSelection = true;
    }
    return state.hasAtInterpreter;
}

bool LeaveConfiguration(WizardState& state, BoxState manualBox, FlowFlags& flags) {
    if (manualBox == BoxState::kChecked) {
        flags.manualSelection = true;
    } else if (manualBox == BoxState::kUnchecked) {
        flags.manualSelection = false;
    }
    const IniFile ini = IniFile::Read(state.config.iniPath);
    ModelList models = ReadModelList(ini);
    if (ini.status() != IniFile::Status::kRead || models.empty()) {
        return false;
    }
    state.modelList = models;
    flags.modelListFresh = true;
    return true;
}

void TakeSelection(WizardState& state, const std::string& port, const std::string& model) {
    PortList portList;
    portList.Append(port);
    state.portList = portList;
    ModelList modelList;
    modelList.Append(model);
    state.modelList = modelList;
}

std::string UpdateFatalText(const std::string& text, const std::string& keptFolder) {
    if (keptFolder.empty() || !platform::DirectoryHoldsFiles(keptFolder)) {
        return text;
    }
    // The folder may be long: the sentence is not cut to a buffer.
    const std::string& sentence = wizard::LoadText(wizard::IDS_FILES_KEPT);
    return text + "\r\r" +
           FormatText(sentence, keptFolder, sentence.size() + keptFolder.size() + 1);
}

std::string LoaderNotice(const WizardState& state, const std::string& port) {
    const std::string& sentence = wizard::LoadText(wizard::IDS_LOADER_WAITING);
    return FormatText(sentence, port, sentence.size() + port.size() + 1) + "\r\r" +
           RecoverCommand(state, port, WizardCliBesideProgram());
}

}  // namespace flow
