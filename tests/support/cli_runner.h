// Runs wizard-cli as a child process and collects what it printed.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace test_support {

struct CliResult {
    int exitCode = -1;  // -1 when the program did not end by itself
    std::string out;
    std::string err;
};

// Runs build/bin/wizard-cli with the given arguments (standard input is
// empty); gives up after timeoutMs.
CliResult RunCli(const std::vector<std::string>& args, DWORD timeoutMs = 60000,
                 const platform::EnvironmentAdditions& env = {});

}  // namespace test_support
