// Child processes for tests and tools: start a program, talk to its output,
// wait for it with a time limit, stop it. A Process never leaves a zombie or
// an open descriptor behind: its destructor stops and reaps a child that is
// still running.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace platform {

using EnvironmentAdditions = std::vector<std::pair<std::string, std::string>>;

enum class ProcessOutput {
    kCapture,  // stdout and stderr go to pipes that this object reads
    kInherit,  // the child writes where this process writes
};

class Process {
  public:
    Process();
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts argv[0] (searched in PATH when it has no slash) with argv.
    // extraEnv is added to this process's environment, replacing variables
    // of the same name. Standard input is /dev/null. On failure returns false
    // with the reason in *error (a program that cannot be executed fails
    // here, not later).
    bool Start(const std::vector<std::string>& argv, const EnvironmentAdditions& extraEnv,
               ProcessOutput output, std::string* error);

    int Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }
    // True until the child has exited and been reaped.
    bool Running();

    // The next line of standard output, without its line end (LF or CR LF).
    // False when no complete line came within timeoutMs (0: only what the
    // child has written already); a last line without line end is returned
    // once the output has ended.
    bool ReadLine(std::string* line, DWORD timeoutMs);

    // Waits until the child exits. True when it did within timeoutMs. The
    // captured output is complete afterwards (as far as the child wrote it).
    bool Wait(DWORD timeoutMs);

    // Sends SIGTERM, waits up to graceMs, then SIGKILL. Returns the exit code.
    // (Windows has no polite way to ask a program without a window: the
    // child is ended at once with the exit code 128 + SIGTERM.)
    int Stop(DWORD graceMs = 3000);

    // Sends a signal to the child, if it still runs. On Windows every
    // signal ends the child with the exit code 128 + the signal number.
    bool Signal(int signalNumber);

    // CPU time (user and system, all its threads) the child has used: so
    // far while it runs, in all once it has ended. -1 when it cannot be told.
    double CpuSeconds();

    // Exit status once reaped: the exit code, or 128 + the signal number for
    // a child killed by a signal. -1 while running.
    int ExitCode() const { return exitCode_; }
    bool KilledBySignal() const { return termSignal_ != 0; }
    int TermSignal() const { return termSignal_; }

    // Everything captured so far (ReadLine does not consume from these).
    const std::string& Stdout() const { return out_; }
    const std::string& Stderr() const { return err_; }

  private:
    // How often a wait looks at the child's state while its pipes are quiet.
    static constexpr DWORD kPollMs = 20;

    // False, with the reason, when this object or argv cannot start a child.
    bool CanStart(const std::vector<std::string>& argv, std::string* error) const;
    // Moves what the pipes hold into the buffers, waiting up to timeoutMs
    // for the first data. Returns true when anything was read or a pipe
    // reached its end.
    bool Pump(DWORD timeoutMs);
    bool Reap(bool block);
    // Ends the child at once (SIGKILL), without a chance to clean up.
    void Kill();
    void ClosePipes();

    int pid_ = -1;
    // The read ends of the pipes (-1: closed): descriptors, or on Windows
    // the values of pipe handles (which fit an int by the system's rules).
    int outFd_ = -1;
    int errFd_ = -1;
    // The child's process handle, on systems that give one (Windows).
    void* processHandle_ = nullptr;
    bool reaped_ = false;
    int exitCode_ = -1;
    int termSignal_ = 0;
    double cpuSeconds_ = -1;
    std::string out_;
    std::string err_;
    std::size_t lineCursor_ = 0;
};

// The processor time this process has used so far (user and system), in
// milliseconds.
DWORD ProcessCpuMilliseconds();

struct ProcessResult {
    bool started = false;
    std::string startError;
    int exitCode = -1;       // as Process::ExitCode
    double cpuSeconds = -1;  // as Process::CpuSeconds, once it has ended
    std::string stdoutText;
    std::string stderrText;
    bool timedOut = false;  // the child was stopped because the time ran out
};

// Runs argv to its end with captured output. A child still running after
// timeoutMs is stopped (SIGTERM, then SIGKILL) and timedOut is set.
ProcessResult RunProcess(const std::vector<std::string>& argv, DWORD timeoutMs,
                         const EnvironmentAdditions& extraEnv = {});

}  // namespace platform
