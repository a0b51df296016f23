// wizard-cli recover: the firmware loaded into a modem that an interrupted
// update left waiting in its boot loader, then the copies kept of its files
// offered back.
#include <iostream>

#include "plugins/backup/backup_files.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/confirmation.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/update_flow.h"

namespace {

constexpr const char* kUsage = "--port DEV --model NAME [--config FILE] [--yes] [--json]";

// After the firmware: the newest copies kept of the modem's model, stored
// back by the restore command when the user agrees. Returns the exit code.
int OfferRestore(const std::string& portName, bool yes) {
    CSerial port;
    if (!cli::OpenPortOrReport(port, portName)) {
        return 1;
    }
    std::string model;
    const bool identified = IdentifyModem(&port, nullptr, &model, nullptr, nullptr);
    port.Close();
    if (!identified) {
        return 0;  // the probe after the firmware answered; nothing to offer
    }
    const std::vector<backup::KeptFolder> folders = backup::ListKeptFolders();
    const backup::KeptFolder* newest = backup::NewestKeptFolder(folders, model);
    if (newest == nullptr) {
        return 0;
    }
    std::cout << "\nThe files of a " << model << " are kept in " << newest->path << ".\n";
    if (!yes) {
        const cli::Answer answer = cli::Ask("Store them back into the modem now?");
        if (answer != cli::Answer::kYes) {
            std::cout << "Later: wizard-cli restore --port " << portName << " " << newest->path
                      << "\n";
            return 0;
        }
    }
    const cli::Command* restore = cli::FindCommand("restore");
    return restore->run({"--port", portName, newest->path});
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
    const int code = cli::RunUpdateFlow(options);
    if (code != 0 || options.json || cli::WorkerStillBusy()) {
        return code;
    }
    return OfferRestore(options.port, options.yes);
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
running modem. When copies of the modem's files were kept by a failed
update of its model, `restore` with the newest of them is offered.

- `--port DEV`: The port of the waiting modem.
- `--model NAME`: Its model section of `Wizard.inf`.
- `--config FILE`: The `Wizard.inf` to use instead of the one beside the
  program.
- `--yes`: Ask nothing: load the firmware, then store the kept copies
  back.
- `--json`: The events of `update --json` (docs/json-events.md) instead of
  text; implies no questions, needs `--yes`, and offers no restore.

    wizard-cli recover --port /dev/ttyUSB0 --model "ORVA 56K Serial"
)";

}  // namespace

REGISTER_CLI_COMMAND("recover", kUsage,
                     "load the firmware into a modem that waits in its boot loader", &RunRecover,
                     kHelp);
