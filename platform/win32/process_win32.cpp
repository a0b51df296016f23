// Child processes with CreateProcessA: standard input from NUL, output into
// pipes whose read ends only this process holds, and an environment block
// made from this process's environment and the additions.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"

namespace platform {
namespace {

HANDLE ToHandle(int value) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(value));
}

int FromHandle(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

// One argument as the C runtime of the child splits its command line:
// quoted when it holds blanks or quotes, backslashes doubled before a quote.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        return arg;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

// Names of environment variables compare without regard to case.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return _stricmp(a.c_str(), b.c_str()) < 0;
    }
};

std::vector<char> EnvironmentBlock(const EnvironmentAdditions& extra) {
    std::map<std::string, std::string, NoCase> variables;
    if (char* block = ::GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
            std::string text = entry;
            // Entries such as "=C:=C:\dir" begin with their '='.
            std::size_t equals = text.find('=', 1);
            if (equals != std::string::npos) {
                variables[text.substr(0, equals)] = text.substr(equals + 1);
            }
        }
        ::FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : extra) {
        variables[name] = value;
    }
    std::vector<char> out;
    for (const auto& [name, value] : variables) {
        std::string entry = name + "=" + value;
        out.insert(out.end(), entry.begin(), entry.end());
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

// Moves what a pipe holds into out. False once the pipe has ended.
bool Drain(HANDLE pipe, std::string& out, bool* gotData) {
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            return false;  // the writer has gone: broken pipe
        }
        if (available == 0) {
            return true;
        }
        char buffer[4096];
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) {
            return false;
        }
        out.append(buffer, got);
        *gotData = got > 0 || *gotData;
    }
}

// User and system time of a process, in seconds; -1 when it cannot be told.
double ProcessTimesSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return -1;
    }
    auto ticks = [](const FILETIME& t) {  // units of 100 ns
        return static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

}  // namespace

bool Process::Start(const std::vector<std::string>& argv, const EnvironmentAdditions& extraEnv,
                    ProcessOutput output, std::string* error) {
    if (!CanStart(argv, error)) {
        return false;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE input = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    auto closeAll = [&] {
        for (HANDLE h : {input, outRead, outWrite, errRead, errWrite}) {
            if (h != nullptr && h != INVALID_HANDLE_VALUE) {
                ::CloseHandle(h);
            }
        }
    };
    bool piped = true;
    if (output == ProcessOutput::kCapture) {
        piped = ::CreatePipe(&outRead, &outWrite, &inherit, 0) &&
                ::CreatePipe(&errRead, &errWrite, &inherit, 0) &&
                ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0) &&
                ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    } else {
        HANDLE self = ::GetCurrentProcess();
        piped = ::DuplicateHandle(self, ::GetStdHandle(STD_OUTPUT_HANDLE), self, &outWrite, 0, TRUE,
                                  DUPLICATE_SAME_ACCESS) &&
                ::DuplicateHandle(self, ::GetStdHandle(STD_ERROR_HANDLE), self, &errWrite, 0, TRUE,
                                  DUPLICATE_SAME_ACCESS);
    }
    if (input == INVALID_HANDLE_VALUE || !piped) {
        *error = "cannot set up the child's input and output: " +
                 win32::SystemErrorText(::GetLastError());
        closeAll();
        return false;
    }

    std::string commandLine;
    for (const std::string& arg : argv) {
        commandLine += (commandLine.empty() ? "" : " ") + Quote(arg);
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::vector<char> environment = EnvironmentBlock(extraEnv);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    // The program is searched in PATH when argv[0] names no directory.
    BOOL started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0,
                                    environment.data(), nullptr, &startup, &info);
    DWORD code = ::GetLastError();
    ::CloseHandle(input);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (!started) {
        *error = "cannot run " + argv[0] + ": " + win32::SystemErrorText(code);
        if (outRead != nullptr) {
            ::CloseHandle(outRead);
            ::CloseHandle(errRead);
        }
        return false;
    }
    ::CloseHandle(info.hThread);
    processHandle_ = info.hProcess;
    pid_ = static_cast<int>(info.dwProcessId);
    reaped_ = false;
    exitCode_ = -1;
    termSignal_ = 0;
    if (output == ProcessOutput::kCapture) {
        outFd_ = FromHandle(outRead);
        errFd_ = FromHandle(errRead);
    }
    return true;
}

bool Process::Reap(bool block) {
    if (reaped_) {
        return true;
    }
    if (::WaitForSingleObject(processHandle_, block ? INFINITE : 0) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD code = 255;
    ::GetExitCodeProcess(processHandle_, &code);
    cpuSeconds_ = ProcessTimesSeconds(processHandle_);
    ::CloseHandle(processHandle_);
    processHandle_ = nullptr;
    reaped_ = true;
    exitCode_ = static_cast<int>(code);
    return true;
}

bool Process::Pump(DWORD timeoutMs) {
    // Anonymous pipes cannot be waited on: look at them every few
    // milliseconds until something comes or the time is up.
    const DWORD start = GetTickCount();
    for (;;) {
        bool progress = false;
        if (outFd_ >= 0 && !Drain(ToHandle(outFd_), out_, &progress)) {
            ::CloseHandle(ToHandle(outFd_));
            outFd_ = -1;
            progress = true;
        }
        if (errFd_ >= 0 && !Drain(ToHandle(errFd_), err_, &progress)) {
            ::CloseHandle(ToHandle(errFd_));
            errFd_ = -1;
            progress = true;
        }
        DWORD elapsed = GetTickCount() - start;
        if (progress || elapsed >= timeoutMs) {
            return progress;
        }
        Sleep(std::min<DWORD>(timeoutMs - elapsed, outFd_ < 0 && errFd_ < 0 ? kPollMs : 5));
    }
}

bool Process::Signal(int signalNumber) {
    if (!Started() || reaped_) {
        return false;
    }
    if (!::TerminateProcess(processHandle_, static_cast<UINT>(128 + signalNumber))) {
        return false;
    }
    termSignal_ = signalNumber;
    return true;
}

double Process::CpuSeconds() {
    if (!Started() || Reap(false)) {
        return cpuSeconds_;
    }
    return ProcessTimesSeconds(processHandle_);
}

DWORD ProcessCpuMilliseconds() {
    const double seconds = ProcessTimesSeconds(::GetCurrentProcess());
    return seconds < 0 ? 0 : static_cast<DWORD>(seconds * 1000);
}

void Process::Kill() {
    Signal(9);
}

void Process::ClosePipes() {
    if (outFd_ >= 0) {
        ::CloseHandle(ToHandle(outFd_));
        outFd_ = -1;
    }
    if (errFd_ >= 0) {
        ::CloseHandle(ToHandle(errFd_));
        errFd_ = -1;
    }
}

}  // namespace platform
