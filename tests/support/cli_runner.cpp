#include "tests/support/cli_runner.h"

#include "tests/support/test_paths.h"

namespace test_support {

CliResult RunCli(const std::vector<std::string>& args, DWORD timeoutMs,
                 const platform::EnvironmentAdditions& env) {
    std::vector<std::string> argv = {ProgramPath("wizard-cli")};
    argv.insert(argv.end(), args.begin(), args.end());
    platform::ProcessResult run = platform::RunProcess(argv, timeoutMs, env);
    CliResult result;
    result.exitCode = run.timedOut ? -1 : run.exitCode;
    result.out = run.stdoutText;
    result.err = run.started ? run.stderrText : run.startError;
    return result;
}

}  // namespace test_support
