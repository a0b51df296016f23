#include "wizard/cli/command.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace cli {
namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

}  // namespace

CommandRegistrar::CommandRegistrar(const Command& command) {
    Registry().push_back(command);
}

std::vector<Command> AllCommands() {
    std::vector<Command> commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Registry()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

std::string CommandManual(const Command& command) {
    std::string summary = command.summary;
    if (!summary.empty()) {
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
        summary += ".";
    }
    return summary + "\n\n" + command.help;
}

std::string CommandsManual() {
    std::string text;
    for (const Command& command : AllCommands()) {
        text += "### `wizard-cli " + std::string(command.name) +
                (command.usage[0] != '\0' ? " " : "") + command.usage + "`\n\n" +
                CommandManual(command) + "\n\n";
    }
    return text;
}

}  // namespace cli
