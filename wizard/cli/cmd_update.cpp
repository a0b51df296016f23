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
    "[--config FILE] [--port DEV --model NAME | --ports DEV,...] [--all [--max-parallel N]] "
    "[--yes] [--quiet] [--json]";

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
- `--all`: Update every modem found on the ports (`--ports`, or the
  system's), all at once, instead of the first: each port is searched by
  a child process of its own, then each modem found is updated by its own
  child, so a failing modem never stops the others. One line per modem
  shows its step and bar, then a summary table gives port, model, old and
  new version, result and seconds. Exit status 0 only when every modem
  found was updated.
- `--max-parallel N`: With `--all`, at most N children at a time (0, the
  default: no limit).
- `--yes`: Do not ask before the update starts (needed when standard input
  is not a terminal).
- `--quiet`: No search lines and no progress bar (with `--all`: only the
  summary).
- `--json`: One JSON event per line on standard output and nothing else:
  the search, the steps, the progress, errors and a final `result` (with
  `--all`: the children's events tagged with their port, then a `summary`).
  It asks nothing and refuses to start without `--yes`. docs/json-events.md
  describes every event.

Exit status 0 after a successful update, 1 after any failure, with the
error text on standard error, 2 for `--json` without `--yes`. When a failed
update leaves copies of the modem's files, the last line names their
directory.

    wizard-cli update
    wizard-cli update --port /dev/ttyUSB0 --model "ORVA 56K Serial" --yes
    wizard-cli update --all --ports /dev/ttyUSB0,/dev/ttyUSB1 --yes
)";

}  // namespace

REGISTER_CLI_COMMAND("update", kUsage, "find the modem and update its firmware", &RunUpdateCommand,
                     kHelp);
