// wizard-cli update: the whole firmware update without a GUI.
#include <iostream>

#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/update_flow.h"

namespace {

int RunUpdateCommand(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config", "--port", "--model", "--ports"}, {"--yes", "--quiet"});
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli update: "
                  << (args.ok() ? "unexpected argument " + args.Positional()[0] : args.error())
                  << "\nUsage: wizard-cli update [--config FILE] [--port DEV --model NAME | "
                     "--ports DEV,...] [--yes] [--quiet]\n";
        return 2;
    }
    cli::UpdateOptions options;
    if (!cli::LocateConfigOrReport(args, "update", &options.config)) {
        return 1;
    }
    options.port = args.Value("--port").value_or("");
    options.model = args.Value("--model").value_or("");
    if (std::optional<std::string> ports = args.Value("--ports")) {
        std::string rest = *ports;
        while (!rest.empty()) {
            std::size_t comma = rest.find(',');
            if (comma != 0) {
                options.ports.push_back(rest.substr(0, comma));
            }
            rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
        }
    }
    options.yes = args.Flag("--yes");
    options.quiet = args.Flag("--quiet");
    return cli::RunUpdateFlow(options);
}

constexpr const char* kHelp = R"(The wizard without a window. Searches the ports for a modem that
`Wizard.inf` describes (or takes the port and model given), says which
firmware it will load and asks before it starts, then runs the update:
the plug-in's steps before the firmware, the firmware, the plug-in's steps
after it, with the current step and a progress bar. Ctrl-C stops a search,
but not a running update: stopping a flash half-way would leave the modem
without working firmware.

- `--config FILE`: The `Wizard.inf` to use instead of the one beside the
  program; the names in it are relative to its directory.
- `--port DEV`: The modem's port, with `--model`: no search.
- `--model NAME`: The model section of `Wizard.inf` for the modem on
  `--port`.
- `--ports DEV,...`: The ports to search instead of the system's.
- `--yes`: Do not ask before the update starts (needed when standard input
  is not a terminal).
- `--quiet`: No search lines and no progress bar.

Exit status 0 after a successful update, 1 after any failure, with the
error text on standard error. When a failed update leaves copies of the
modem's files, the last line names their directory.

    wizard-cli update
    wizard-cli update --port /dev/ttyUSB0 --model "ORVA 56K Serial" --yes
)";

}  // namespace

REGISTER_CLI_COMMAND(
    "update", "[--config FILE] [--port DEV --model NAME | --ports DEV,...] [--yes] [--quiet]",
    "find the modem and update its firmware", &RunUpdateCommand, kHelp);
