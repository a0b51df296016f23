#include "wizard/engine/recover_command.h"

#include <vector>

#include "platform/paths.h"
#include "wizard/engine/config_location.h"

namespace {

// True when config is not the Wizard.inf beside the program.
bool ConfigGiven(const ConfigLocation& config) {
    if (config.iniPath.empty()) {
        return false;
    }
    const std::string standardPath = ConfigPathBesideProgram();
    ConfigLocation standard;
    std::string why;
    return standardPath.empty() || !LocateConfigFile(standardPath, &standard, &why) ||
           standard.iniPath != config.iniPath;
}

std::string Quoted(const std::string& word) {
    return word.find_first_of(" \t'\"") == std::string::npos ? word : "\"" + word + "\"";
}

}  // namespace

std::string RecoverCommand(const WizardState& state, const std::string& port,
                           const std::string& program) {
    const std::vector<std::string>& models = state.modelList.Entries();
    const std::string model = models.size() == 1 ? models.front() : "NAME";
    std::string command = Quoted(program) + " recover";
    if (ConfigGiven(state.config)) {
        command += " --config " + Quoted(state.config.iniPath);
    }
    return command + " --port " + Quoted(port) + " --model " + Quoted(model);
}

std::string WizardCliBesideProgram() {
    const std::string dir = platform::ProgramDirectory();
    const std::string name = std::string("wizard-cli") + platform::kProgramSuffix;
    return dir.empty() ? name : ProgramFilePath(dir, name);
}
