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

}  // namespace

REGISTER_CLI_COMMAND(
    "update", "[--config FILE] [--port DEV --model NAME | --ports DEV,...] [--yes] [--quiet]",
    "find the modem and update its firmware", &RunUpdateCommand);
