// The commands of wizard-cli. Each command lives in a file of its own and
// registers itself with REGISTER_CLI_COMMAND.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Command {
    const char* name;
    const char* usage;    // arguments, shown after "wizard-cli NAME "
    const char* summary;  // one line for the command list
    int (*run)(const std::vector<std::string>& args);
};

// Every registered command, sorted by name.
std::vector<Command> AllCommands();

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command);
};

}  // namespace cli

#define CLI_CONCAT_INNER(a, b) a##b
#define CLI_CONCAT(a, b) CLI_CONCAT_INNER(a, b)
#define REGISTER_CLI_COMMAND(...)                               \
    static const ::cli::CommandRegistrar CLI_CONCAT(cliCommand, \
                                                    __LINE__)(::cli::Command{__VA_ARGS__})
