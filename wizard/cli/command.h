// The commands of wizard-cli. Each command lives in a file of its own and
// registers itself, with its help, in one REGISTER_CLI_COMMAND:
//
//   REGISTER_CLI_COMMAND("name", "--port DEV [--quiet] FILE",
//                        "one line for the command list", &RunName, kHelp);
//
// kHelp is the command's manual in the markup of manual_text.h: what it
// does, an item "- `--option ARG`: ..." for every option of the usage line,
// its exit status where it differs from 0/1/2, and an example. The same text
// is shown by "wizard-cli help name" and in wizard-cli(1), which the build
// makes from wizard-cli.1.md with every command put in its place; a test
// checks that each option of the usage line is explained.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct Command {
    const char* name;
    const char* usage;    // arguments, shown after "wizard-cli NAME "
    const char* summary;  // one line for the command list
    int (*run)(const std::vector<std::string>& args);
    const char* help = "";  // the command's manual (see above)
};

// Every registered command, sorted by name.
std::vector<Command> AllCommands();
// The registered command of that name, or nullptr.
const Command* FindCommand(const std::string& name);

// The command's manual as a whole: its summary as the first sentence, then
// its help.
std::string CommandManual(const Command& command);
// The manual's entries of all commands, one "### `wizard-cli NAME USAGE`"
// subsection each, for the man page.
std::string CommandsManual();

// The program's usage with the list of commands.
void PrintUsage(std::ostream& out);

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command);
};

}  // namespace cli

#define CLI_CONCAT_INNER(a, b) a##b
#define CLI_CONCAT(a, b) CLI_CONCAT_INNER(a, b)
#define REGISTER_CLI_COMMAND(...)                               \
    static const ::cli::CommandRegistrar CLI_CONCAT(cliCommand, \
                                                    __LINE__)(::cli::Command{__VA_ARGS__})
