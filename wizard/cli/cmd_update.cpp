// wizard-cli update: the whole firmware update without a GUI, of one modem
// or (--all) of every modem found.
#include <iostream>

#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/update_all.h"
#include "wizard/cli/update_flow.h"

namespace {

constexpr const char* kUsage =
    "[--config FILE] [--port DEV --model NAME | --ports DEV,...] [--yes] [--quiet] [--json]\n"
    "       wizard-cli update --all [--config FILE] [--ports DEV,...] [--max-parallel N] [--yes] "
    "[--quiet] [--json]";

int RunUpdateCommand(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config", "--port", "--model", "--ports", "--max-parallel"},
                   {"--yes", "--quiet", "--json", "--all"});
    const unsigned long maxParallel = args.Number("--max-parallel", 0);
    std::string problem =
        !args.ok()                   ? args.error()
        : !args.Positional().empty() ? "unexpected argument " + args.Positional()[0]
        : args.Flag("--all") && (args.Value("--port") || args.Value("--model"))
            ? "--all updates every modem found; it takes no --port or --model"
        : !args.Flag("--all") && args.Value("--max-parallel") ? "--max-parallel goes with --all"
                                                              : "";
    if (!problem.empty()) {
        std::cerr << "wizard-cli update: " << problem << "\nUsage: wizard-cli update " << kUsage
                  << "\n";
        return 2;
    }
    ConfigLocation config;
    if (!cli::LocateConfigOrReport(args, "update", &config)) {
        return 1;
    }
    const std::vector<std::string> ports = cli::CommaList(args.Value("--ports").value_or(""));
    if (args.Flag("--all")) {
        cli::UpdateAllOptions options;
        options.config = config;
        options.ports = ports;
        options.maxParallel = maxParallel;
        options.yes = args.Flag("--yes");
        options.json = args.Flag("--json");
        options.quiet = args.Flag("--quiet");
        return cli::RunUpdateAll(options);
    }
    cli::UpdateOptions options;
    options.config = config;
    options.port = args.Value("--port").value_or("");
    options.model = args.Value("--model").value_or("");
    options.ports = ports;
    options.yes = args.Flag("--yes");
    options.quiet = args.Flag("--quiet");
    options.json = args.Flag("--json");
    return cli::RunUpdateFlow(options);
}

}  // namespace

REGISTER_CLI_COMMAND("update", kUsage, "find the modem (or every modem) and update its firmware",
                     &RunUpdateCommand);
