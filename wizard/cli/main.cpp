// wizard-cli: the text front end of the firmware wizard and the field
// engineer's diagnostics.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "serial/trace.h"
#include "wizard/cli/child_cli.h"
#include "wizard/cli/command.h"
#include "wizard/cli/update_flow.h"

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    std::size_t at = 0;
    std::string traceFile;
    while (at < words.size() && words[at].rfind("--", 0) == 0) {
        if (words[at] == "--trace" && at + 1 < words.size()) {
            traceFile = words[at + 1];
            at += 2;
        } else if (words[at] == "--help") {
            cli::PrintUsage(std::cout);
            return 0;
        } else {
            std::cerr << "wizard-cli: unknown option " << words[at] << "\n";
            cli::PrintUsage(std::cerr);
            return 2;
        }
    }
    if (!traceFile.empty()) {
        std::string error;
        if (!xdebug_OpenFile(traceFile, &error)) {
            std::cerr << "wizard-cli: cannot write trace file " << traceFile << ": " << error
                      << "\n";
            return 1;
        }
        cli::RememberTraceFile(traceFile);
    } else if (xdebug_StartFromEnvironment()) {
        const char* path = std::getenv(kTraceEnvironmentVariable);
        cli::RememberTraceFile(path != nullptr ? path : "");
    }
    xdebug_Start(0);

    if (at >= words.size()) {
        cli::PrintUsage(std::cerr);
        return 2;
    }
    const std::string name = words[at];
    const cli::Command* command = cli::FindCommand(name);
    if (command == nullptr) {
        std::cerr << "wizard-cli: unknown command \"" << name << "\"\n";
        cli::PrintUsage(std::cerr);
        return 2;
    }
    std::vector<std::string> args(words.begin() + static_cast<long>(at) + 1, words.end());
    int code = command->run(args);
    if (cli::WorkerStillBusy()) {
        // A worker still talking to the modem must not see the program's
        // objects torn down under it: leave without running destructors.
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        std::_Exit(code);
    }
    xdebug_Close();
    return code;
}
