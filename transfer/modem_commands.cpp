#include "transfer/modem_commands.h"

#include <cstdio>

namespace {

template <typename... Args>
bool Format(std::string* command, const char* format, Args... args) {
    char buffer[kCommandBufferSize];
    const int needed = std::snprintf(nullptr, 0, format, args...);
    if (needed < 0 || static_cast<std::size_t>(needed) >= sizeof buffer) {
        return false;
    }
    std::snprintf(buffer, sizeof buffer, format, args...);
    command->assign(buffer, static_cast<std::size_t>(needed));
    return true;
}

}  // namespace

bool CommandTextIsSafe(const std::string& text, bool quoted) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || (quoted && c == '"')) {
            return false;
        }
    }
    return true;
}

bool FormatUploadCommand(const std::string& name, const std::array<std::string, 3>& args,
                         std::string* command) {
    if (!CommandTextIsSafe(name, true) || !CommandTextIsSafe(args[0], false) ||
        !CommandTextIsSafe(args[1], false) || !CommandTextIsSafe(args[2], false)) {
        return false;
    }
    return Format(command, "AT$JUPL=\"%s\",%s,%s,%s", name.c_str(), args[0].c_str(),
                  args[1].c_str(), args[2].c_str());
}

bool FormatDownloadCommand(const std::string& name, std::string* command) {
    return CommandTextIsSafe(name, true) && Format(command, "AT$JDNL=\"%s\"", name.c_str());
}

bool FormatDeleteCommand(const std::string& name, std::string* command) {
    return CommandTextIsSafe(name, true) && Format(command, "AT$JDEL=\"%s\"", name.c_str());
}
