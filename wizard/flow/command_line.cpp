#include "wizard/flow/command_line.h"

#include "wizard/engine/no_case.h"

namespace flow {
namespace {

constexpr std::size_t kLookTokenLength = 6;

bool StartsLookToken(const std::string& token, const char* prefix) {
    return token.size() >= kLookTokenLength &&
           EqualsNoCase(token.substr(0, kLookTokenLength), prefix);
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        if (comma > start) {
            parts.push_back(text.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return parts;
}

}  // namespace

std::vector<std::string> SplitAtBlanks(const std::string& commandLine) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    while (start < commandLine.size()) {
        std::size_t blank = commandLine.find_first_of(" \t", start);
        if (blank == std::string::npos) {
            blank = commandLine.size();
        }
        if (blank > start) {
            tokens.push_back(commandLine.substr(start, blank - start));
        }
        start = blank + 1;
    }
    return tokens;
}

bool ParseCommandLine(const std::vector<std::string>& tokens, bool newLookByDefault,
                      WizardOptions* options, std::string* error) {
    *options = WizardOptions{};
    options->oldLook = !newLookByDefault;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "--config" || token == "--ports") {
            if (i + 1 == tokens.size() || tokens[i + 1].empty()) {
                *error = token + " needs a value";
                return false;
            }
            const std::string& value = tokens[++i];
            if (token == "--config") {
                options->configFile = value;
            } else {
                options->ports = SplitAtCommas(value);
            }
        } else if (StartsLookToken(token, "/oldwi")) {
            options->oldLook = true;
        } else if (StartsLookToken(token, "/newwi")) {
            options->oldLook = false;
        }
    }
    return true;
}

}  // namespace flow
