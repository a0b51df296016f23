#include "tests/support/json_lines.h"

#include <sstream>

namespace test_support {

std::vector<cli::json::Value> JsonLines(const std::string& out, std::string* bad) {
    std::vector<cli::json::Value> events;
    bad->clear();
    if (!out.empty() && out.back() != '\n') {
        *bad = "the output does not end with a line end";
    }
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        cli::json::Value event;
        std::string why;
        if (!cli::json::Parse(line, &event, &why) || !event.IsObject()) {
            *bad = line + (why.empty() ? " (no object)" : " (" + why + ")");
            break;
        }
        events.push_back(event);
    }
    return events;
}

std::vector<std::string> EventNames(const std::vector<cli::json::Value>& events) {
    std::vector<std::string> names;
    for (const cli::json::Value& event : events) {
        names.push_back(event.String("event"));
    }
    return names;
}

}  // namespace test_support
