// wizard-cli search: the wizard's modem search on its own, to learn which
// port the modem hangs on and which model of Wizard.inf it is.
#include <iostream>

#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/update_flow.h"

namespace {

constexpr const char* kUsage = "[--config FILE] [--ports DEV,...] [--quiet] [--json]";

int RunSearchCommand(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config", "--ports"}, {"--quiet", "--json"});
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli search: "
                  << (args.ok() ? "unexpected argument " + args.Positional()[0] : args.error())
                  << "\nUsage: wizard-cli search " << kUsage << "\n";
        return 2;
    }
    cli::UpdateOptions options;
    if (!cli::LocateConfigOrReport(args, "search", &options.config)) {
        return 1;
    }
    options.ports = cli::CommaList(args.Value("--ports").value_or(""));
    options.quiet = args.Flag("--quiet");
    options.json = args.Flag("--json");
    options.searchOnly = true;
    return cli::RunUpdateFlow(options);
}

constexpr const char* kHelp =
    R"(Runs the wizard's modem search and nothing more: port by port it opens the
line, asks the modem for its model (`AT+GMM`) and, where `Wizard.inf` lists
brands, its brand, and ends at the first modem that a model section
describes. It prints the search's lines, then the model found, its port and
what the modem says of its firmware (`ATI3`).

- `--config FILE`: The `Wizard.inf` to use instead of the one beside the
  program.
- `--ports DEV,...`: The ports to search instead of the system's.
- `--quiet`: Only the modem found.
- `--json`: The search's JSON events, then a `result` (docs/json-events.md).

Exit status 0 when a modem was found, 1 when none was.

    wizard-cli search --ports /dev/ttyUSB0,/dev/ttyUSB1
)";

}  // namespace

REGISTER_CLI_COMMAND("search", kUsage,
                     "find the modem as the wizard does, and say which model on which port",
                     &RunSearchCommand, kHelp);
