#include "wizard/cli/command.h"

#include <algorithm>
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

}  // namespace cli
