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

}  // namespace

REGISTER_CLI_COMMAND("search", kUsage,
                     "find the modem as the wizard does, and say which model on which port",
                     &RunSearchCommand);
