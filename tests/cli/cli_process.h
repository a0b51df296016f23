// Runs wizard-cli as a child process and collects what it printed.
// TODO: replace with platform/process.h once that lands on main; this
// stop-gap goes through the shell.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct CliResult {
    int exitCode = -1;  // -1 when the program did not end normally
    std::string out;
    std::string err;
};

// Runs build/bin/wizard-cli with the given arguments in the current
// directory.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace testsupport
