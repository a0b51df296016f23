// wizard-cli help: the list of commands, or one command's manual.
#include <iostream>

#include "platform/manual_pages.h"
#include "wizard/cli/command.h"
#include "wizard/cli/manual_text.h"

namespace cli {

void PrintUsage(std::ostream& out) {
    out << "Usage: wizard-cli [--trace FILE] COMMAND [ARGUMENTS]\n\n"
           "Commands:\n";
    for (const Command& command : AllCommands()) {
        std::string head = std::string("  ") + command.name;
        out << head << std::string(head.size() < 16 ? 16 - head.size() : 1, ' ') << command.summary
            << "\n";
    }
    out << "\nwizard-cli help COMMAND shows what a command does and its options"
        << (platform::kHasManualPages ? ";\nman wizard-cli has the whole manual.\n" : ".\n")
        << "The trace channel is off unless --trace FILE or WIZARD_TRACE=FILE names a file.\n";
}

}  // namespace cli

namespace {

constexpr const char* kHelp =
    R"(Without a *COMMAND*, lists the commands. With one, shows what it does,
its options and an example: the same text as its entry in wizard-cli(1).

- `COMMAND`: the command to explain.
)";

int RunHelp(const std::vector<std::string>& args) {
    if (args.empty()) {
        cli::PrintUsage(std::cout);
        return 0;
    }
    const cli::Command* command = args.size() == 1 ? cli::FindCommand(args[0]) : nullptr;
    if (command == nullptr) {
        std::cerr << "wizard-cli help: "
                  << (args.size() == 1 ? "no command \"" + args[0] + "\""
                                       : std::string("expected one COMMAND"))
                  << "\n\n";
        cli::PrintUsage(std::cerr);
        return 2;
    }
    std::cout << "Usage: wizard-cli " << command->name << (command->usage[0] != '\0' ? " " : "")
              << command->usage << "\n\n"
              << cli::manual::RenderText(cli::manual::Parse(cli::CommandManual(*command)));
    return 0;
}

}  // namespace

REGISTER_CLI_COMMAND("help", "[COMMAND]", "show the commands, or what one command does", &RunHelp,
                     kHelp);
