// The standard output of a wizard-cli --json run, read as events.
#pragma once

#include <string>
#include <vector>

#include "wizard/cli/json/json_value.h"

namespace test_support {

// Every line of out as a JSON value. A line that is no JSON object (or an
// output that does not end with a line end) is reported in *bad, and the
// lines after it are not read.
std::vector<cli::json::Value> JsonLines(const std::string& out, std::string* bad);

// The names of the events in order.
std::vector<std::string> EventNames(const std::vector<cli::json::Value>& events);

}  // namespace test_support
