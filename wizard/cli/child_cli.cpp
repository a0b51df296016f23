#include "wizard/cli/child_cli.h"

#include "platform/clock.h"
#include "platform/paths.h"
#include "serial/trace.h"

namespace cli {
namespace {

// How long a child that has ended may take to hand over its last output.
constexpr DWORD kLastOutputMs = 1000;

std::string g_traceFile;

}  // namespace

void RememberTraceFile(const std::string& path) {
    g_traceFile = path;
}

std::string ChildTraceFile(const std::string& port) {
    if (g_traceFile.empty()) {
        return {};
    }
    std::string leaf = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
    for (char& c : leaf) {
        if (c == '/' || c == '\\' || c == ':') {
            c = '-';
        }
    }
    return g_traceFile + "." + leaf;
}

bool ChildCli::Start(const std::string& port, const std::vector<std::string>& args,
                     std::string* why) {
    const std::string self = platform::ProgramDirectory() + platform::kPathSeparator +
                             "wizard-cli" + platform::kProgramSuffix;
    std::vector<std::string> argv = {self};
    argv.insert(argv.end(), args.begin(), args.end());
    // Set either way: an inherited variable would send every child's trace
    // into one file, their lines mixed.
    const platform::EnvironmentAdditions env = {{kTraceEnvironmentVariable, ChildTraceFile(port)}};
    start_ = platform::GetTickCount();
    return process_.Start(argv, env, platform::ProcessOutput::kCapture, why);
}

bool ChildCli::Poll(std::vector<std::string>* lines) {
    if (ended_) {
        return false;
    }
    std::string line;
    while (process_.ReadLine(&line, 0)) {
        lines->push_back(line);
    }
    if (process_.Running()) {
        return true;
    }
    process_.Wait(kLastOutputMs);  // what it wrote before it ended
    while (process_.ReadLine(&line, 0)) {
        lines->push_back(line);
    }
    end_ = platform::GetTickCount();
    ended_ = true;
    return false;
}

double ChildCli::Seconds() const {
    return ((ended_ ? end_ : platform::GetTickCount()) - start_) / 1000.0;
}

}  // namespace cli
