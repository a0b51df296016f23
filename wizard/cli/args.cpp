#include "wizard/cli/args.h"

#include <cerrno>
#include <cstdlib>

namespace cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
           const std::set<std::string>& flagOptions) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (valueOptions.count(word) != 0) {
            if (i + 1 >= words.size()) {
                error_ = "option " + word + " needs a value";
                return;
            }
            values_.emplace_back(word, words[++i]);
        } else if (flagOptions.count(word) != 0) {
            flags_.insert(word);
        } else {
            error_ = "unknown option " + word;
            return;
        }
    }
}

std::optional<std::string> Args::Value(const std::string& name) const {
    std::optional<std::string> found;
    for (const auto& [key, value] : values_) {
        if (key == name) {
            found = value;  // the last one given wins
        }
    }
    return found;
}

unsigned long Args::Number(const std::string& name, unsigned long fallback) {
    std::optional<std::string> text = Value(name);
    if (!text) {
        return fallback;
    }
    errno = 0;
    char* end = nullptr;
    unsigned long value = std::strtoul(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || errno != 0 || (*text)[0] == '-') {
        if (error_.empty()) {
            error_ = "option " + name + " needs a number, not \"" + *text + "\"";
        }
        return fallback;
    }
    return value;
}

std::vector<std::string> CommaList(const std::string& text) {
    std::vector<std::string> names;
    std::string rest = text;
    while (!rest.empty()) {
        std::size_t comma = rest.find(',');
        if (comma != 0) {
            names.push_back(rest.substr(0, comma));
        }
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    return names;
}

}  // namespace cli
