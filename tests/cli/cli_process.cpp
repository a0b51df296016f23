#include "tests/cli/cli_process.h"

#include <cstdio>

#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace testsupport {
namespace {

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
    TempDir scratch;
    std::string command = ShellQuoted(BinDir() + "/wizard-cli");
    for (const std::string& arg : args) {
        command += " " + ShellQuoted(arg);
    }
    command += " 2>" + ShellQuoted(scratch.File("stderr")) + " </dev/null";
    CliResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, count);
    }
    int status = pclose(pipe);
    // The wait status: exit code in bits 8-15 when bits 0-6 (signal) are 0.
    if (status != -1 && (status & 0x7F) == 0) {
        result.exitCode = (status >> 8) & 0xFF;
    }
    result.err = ReadFileBytes(scratch.File("stderr"));
    return result;
}

}  // namespace testsupport
