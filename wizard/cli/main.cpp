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

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: wizard-cli [--trace FILE] COMMAND [ARGUMENTS]\n\n"
           "Commands:\n";
    for (const cli::Command& command : cli::AllCommands()) {
        std::string head = std::string("  ") + command.name;
        out << head << std::string(head.size() < 16 ? 16 - head.size() : 1, ' ') << command.summary
            << "\n";
    }
    out << "\nwizard-cli help COMMAND shows the arguments of a command.\n"
           "The trace channel is off unless --trace FILE or WIZARD_TRACE=FILE names a file.\n";
}

const cli::Command* Find(const std::string& name) {
    static std::vector<cli::Command> commands = cli::AllCommands();
    for (const cli::Command& command : commands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    std::size_t at = 0;
    std::string traceFile;
    while (at < words.size() && words[at].rfind("--", 0) == 0) {
        if (words[at] == "--trace" && at + 1 < words.size()) {
            traceFile = words[at + 1];
            at += 2;
        } else if (words[at] == "--help") {
            PrintUsage(std::cout);
            return 0;
        } else {
            std::cerr << "wizard-cli: unknown option " << words[at] << "\n";
            PrintUsage(std::cerr);
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
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string name = words[at];
    if (name == "help") {
        if (at + 1 < words.size()) {
            if (const cli::Command* command = Find(words[at + 1])) {
                std::cout << "Usage: wizard-cli " << command->name << " " << command->usage << "\n"
                          << command->summary << "\n";
                return 0;
            }
        }
        PrintUsage(std::cout);
        return 0;
    }
    const cli::Command* command = Find(name);
    if (command == nullptr) {
        std::cerr << "wizard-cli: unknown command \"" << name << "\"\n";
        PrintUsage(std::cerr);
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
