// wizard-cli recover: the firmware loaded into a modem that an interrupted
// update left waiting in its boot loader, then the copies kept of its files
// offered back.
#include <iostream>

#include "plugins/backup/backup_files.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/confirmation.h"
#include "wizard/cli/plugin_probe.h"
#include "wizard/cli/update_flow.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/upload_settings_builder.h"
#include "wizard/engine/wizard_state.h"

namespace {

constexpr const char* kUsage = "--port DEV --model NAME [--config FILE] [--yes] [--json]";

// The model's section as Wizard.inf spells it, and the path of its plug-in
// (empty without one). False when there is no such section: the flow says so.
bool ModelPlugin(const cli::UpdateOptions& options, std::string* section, std::string* plugin) {
    const IniFile ini = IniFile::Read(options.config.iniPath);
    for (const std::string& name : ReadModelList(ini).Entries()) {
        if (EqualsNoCase(name, options.model)) {
            *section = name;
            std::string why;
            return PluginPath(ini, options.config.programDir, name, plugin, &why);
        }
    }
    return false;
}

// Why a recovery failed, in words the user can act on: nothing came from
// the port, or the loader stopped on the way.
void ExplainFailure(const std::string& port) {
    const std::int32_t sent = TheWizardState().status.done;
    if (sent <= 0) {
        std::cerr << "wizard-cli recover: no boot loader answered on " << port
                  << "; check that the modem is switched on and connected to this port.\n";
    } else {
        std::cerr << "wizard-cli recover: the boot loader stopped answering after " << sent
                  << " bytes; it waits again after a while: run the same command again.\n";
    }
}

// After the firmware: the newest copies kept of the model, stored back by
// the restore command when the user agrees. Returns the exit code.
int OfferRestore(const std::string& portName, const std::string& model, bool yes) {
    const std::vector<backup::KeptFolder> folders = backup::ListKeptFolders();
    const backup::KeptFolder* newest = backup::NewestKeptFolder(folders, model);
    if (newest == nullptr) {
        return 0;
    }
    const std::string path = newest->path;
    std::cout << "\nCopies of the files of a " << model << " are kept in " << path << ".\n";
    if (!yes && cli::Ask("Store them back into the modem now?") != cli::Answer::kYes) {
        std::cout << "To store them back later:\n    wizard-cli restore --port " << portName
                  << " \"" << path << "\"\n";
        return 0;
    }
    return cli::FindCommand("restore")->run({"--port", portName, path});
}

int RunRecover(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config", "--port", "--model"}, {"--yes", "--json"});
    if (!args.ok() || !args.Positional().empty() || !args.Value("--port") ||
        !args.Value("--model")) {
        std::cerr << "wizard-cli recover: "
                  << (!args.ok()                   ? args.error()
                      : !args.Positional().empty() ? "unexpected argument " + args.Positional()[0]
                                                   : "--port DEV and --model NAME are needed")
                  << "\nUsage: wizard-cli recover " << kUsage << "\n";
        return 2;
    }
    cli::UpdateOptions options;
    if (!cli::LocateConfigOrReport(args, "recover", &options.config)) {
        return 1;
    }
    options.port = *args.Value("--port");
    options.model = *args.Value("--model");
    options.yes = args.Flag("--yes");
    options.json = args.Flag("--json");
    options.recover = true;
    std::string section, plugin;
    if (ModelPlugin(options, &section, &plugin) && !plugin.empty() &&
        cli::ProbePlugin(plugin).hasFirmwareUpload) {
        // That plug-in talks to a running modem before it writes anything.
        std::cerr << "wizard-cli recover: the firmware of a " << section
                  << " is written by its plug-in " << plugin
                  << ", which cannot load it into a waiting boot loader\n";
        return 1;
    }
    const int code = cli::RunUpdateFlow(options);
    if (options.json || cli::WorkerStillBusy()) {
        return code;
    }
    if (code != 0) {
        if (code == 1) {
            ExplainFailure(options.port);
        }
        return code;
    }
    return plugin.empty() ? 0 : OfferRestore(options.port, section, options.yes);
}

constexpr const char* kHelp =
    R"(For a modem that an interrupted update (power cut, cable pulled, a
failed transfer) left in its boot loader: it answers no AT command and
sends NAKs, and the search says "a modem is waiting in its boot loader".
The loader's speed is found by stepping the line speed down from the
model's upload speed until its NAK arrives clean; then the flash loader
(when the model's firmware file carries one) and the firmware go by
XModem as in an update, and the restarted modem must answer "AT". The
plug-in's steps before and after the firmware are left out: they need a
running modem. A model whose plug-in writes the firmware itself cannot be
recovered this way. For a model with a plug-in that keeps the modem's
files, when copies were kept by a failed update of that model, `restore`
with the newest of them is offered.

- `--port DEV`: The port of the waiting modem.
- `--model NAME`: Its model section of `Wizard.inf`.
- `--config FILE`: The `Wizard.inf` to use instead of the one beside the
  program.
- `--yes`: Ask nothing: load the firmware, then store the kept copies
  back.
- `--json`: The events of `update --json` (docs/json-events.md) instead of
  text; needs `--yes`, and offers no restore (`restore --list --json`
  shows the kept copies).

    wizard-cli recover --port /dev/ttyUSB0 --model "ORVA 56K Serial"
)";

}  // namespace

REGISTER_CLI_COMMAND("recover", kUsage,
                     "load the firmware into a modem that waits in its boot loader", &RunRecover,
                     kHelp);
