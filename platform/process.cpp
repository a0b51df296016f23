// What platform/process.h builds on top of Process, alike everywhere.
#include "platform/process.h"

#include <algorithm>
#include <csignal>

#include "platform/clock.h"

namespace platform {
namespace {

DWORD Remaining(DWORD start, DWORD limit) {
    if (limit == MAXDWORD) {
        return MAXDWORD;
    }
    DWORD elapsed = GetTickCount() - start;
    return elapsed >= limit ? 0 : limit - elapsed;
}

}  // namespace

Process::Process() = default;

Process::~Process() {
    if (Started() && !reaped_) {
        Stop(2000);
    }
    ClosePipes();
}

bool Process::CanStart(const std::vector<std::string>& argv, std::string* error) const {
    if (Started()) {
        *error = "process already started";
        return false;
    }
    if (argv.empty() || argv[0].empty()) {
        *error = "no program given";
        return false;
    }
    return true;
}

bool Process::Running() {
    if (!Started() || reaped_) {
        return false;
    }
    return !Reap(false);
}

bool Process::ReadLine(std::string* line, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    bool pumped = false;  // a time-out of 0 still takes what the pipes hold
    for (;;) {
        std::size_t end = out_.find('\n', lineCursor_);
        if (end != std::string::npos) {
            std::string text = out_.substr(lineCursor_, end - lineCursor_);
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            lineCursor_ = end + 1;
            *line = text;
            return true;
        }
        if (outFd_ < 0) {
            if (lineCursor_ < out_.size()) {
                *line = out_.substr(lineCursor_);
                lineCursor_ = out_.size();
                return true;
            }
            return false;
        }
        DWORD left = Remaining(start, timeoutMs);
        if (left == 0 && pumped) {
            return false;
        }
        Pump(left);
        pumped = true;
    }
}

bool Process::Wait(DWORD timeoutMs) {
    if (!Started()) {
        return false;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        if (Reap(false)) {
            // Whatever the child wrote before it ended is in the pipes now.
            // A grandchild may hold them open: take what is there, no more.
            for (int round = 0; round < 64 && Pump(0); ++round) {
            }
            ClosePipes();
            return true;
        }
        DWORD left = Remaining(start, timeoutMs);
        if (left == 0) {
            return false;
        }
        Pump(std::min(left, kPollMs));
    }
}

int Process::Stop(DWORD graceMs) {
    if (!Started()) {
        return -1;
    }
    if (!reaped_) {
        Signal(SIGTERM);
        if (!Wait(graceMs)) {
            Kill();
            Reap(true);
            ClosePipes();
        }
    }
    return exitCode_;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, DWORD timeoutMs,
                         const EnvironmentAdditions& extraEnv) {
    ProcessResult result;
    Process process;
    if (!process.Start(argv, extraEnv, ProcessOutput::kCapture, &result.startError)) {
        return result;
    }
    result.started = true;
    if (!process.Wait(timeoutMs)) {
        result.timedOut = true;
        process.Stop(1000);
    }
    result.exitCode = process.ExitCode();
    result.cpuSeconds = process.CpuSeconds();
    result.stdoutText = process.Stdout();
    result.stderrText = process.Stderr();
    return result;
}

}  // namespace platform
