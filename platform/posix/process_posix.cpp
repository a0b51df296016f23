// Child processes with posix_spawn: no code runs between fork and exec in
// this process, signal mask and dispositions are reset for the child, and
// every pipe end is close-on-exec so no other child inherits it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/clock.h"
#include "platform/process.h"

extern char** environ;

namespace platform {
namespace {

std::vector<std::string> BuildEnvironment(const EnvironmentAdditions& extra) {
    std::map<std::string, std::string> added;
    for (const auto& [name, value] : extra) {
        added[name] = value;
    }
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        if (added.count(name) == 0) {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : added) {
        env.push_back(name + "=" + value);
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Reads what fd holds into out. Returns false at end of file or error.
bool Drain(int fd, std::string& out, bool* gotData) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            *gotData = true;
            continue;
        }
        if (n == 0) {
            return false;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN;
    }
}

}  // namespace

bool Process::Start(const std::vector<std::string>& argv, const EnvironmentAdditions& extraEnv,
                    ProcessOutput output, std::string* error) {
    if (!CanStart(argv, error)) {
        return false;
    }
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (output == ProcessOutput::kCapture) {
        if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
            *error = std::string("pipe: ") + std::strerror(errno);
            for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
                if (fd >= 0) {
                    ::close(fd);
                }
            }
            return false;
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output == ProcessOutput::kCapture) {
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    }
    // Descriptors some library opened without close-on-exec stay here too.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = argv;
    std::vector<std::string> env = BuildEnvironment(extraEnv);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0].c_str(), &actions, &attr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);

    if (output == ProcessOutput::kCapture) {
        ::close(outPipe[1]);
        ::close(errPipe[1]);
    }
    if (rc != 0) {
        *error = "cannot run " + argv[0] + ": " + std::strerror(rc);
        if (output == ProcessOutput::kCapture) {
            ::close(outPipe[0]);
            ::close(errPipe[0]);
        }
        return false;
    }
    pid_ = pid;
    reaped_ = false;
    exitCode_ = -1;
    termSignal_ = 0;
    if (output == ProcessOutput::kCapture) {
        outFd_ = outPipe[0];
        errFd_ = errPipe[0];
        fcntl(outFd_, F_SETFL, fcntl(outFd_, F_GETFL) | O_NONBLOCK);
        fcntl(errFd_, F_SETFL, fcntl(errFd_, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

double Process::CpuSeconds() {
    if (!Started() || Reap(false)) {
        return cpuSeconds_;
    }
    // Fields 14 and 15 of /proc/PID/stat, after the command in parentheses.
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos) {
        return -1;
    }
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) {
            user = std::stoull(field);
        } else if (i == 15) {
            system = std::stoull(field);
        }
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Process::Reap(bool block) {
    if (reaped_) {
        return true;
    }
    int status = 0;
    rusage usage{};
    for (;;) {
        pid_t r = wait4(pid_, &status, block ? 0 : WNOHANG, &usage);
        if (r == pid_) {
            cpuSeconds_ =
                static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
            break;
        }
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            // Somebody else reaped it (a SIGCHLD handler set to ignore).
            reaped_ = true;
            exitCode_ = 255;
            return true;
        }
        return false;
    }
    reaped_ = true;
    if (WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        termSignal_ = WTERMSIG(status);
        exitCode_ = 128 + termSignal_;
    }
    return true;
}

bool Process::Pump(DWORD timeoutMs) {
    pollfd fds[2];
    nfds_t count = 0;
    if (outFd_ >= 0) {
        fds[count++] = {outFd_, POLLIN, 0};
    }
    if (errFd_ >= 0) {
        fds[count++] = {errFd_, POLLIN, 0};
    }
    if (count == 0) {
        if (timeoutMs > 0) {
            Sleep(std::min(timeoutMs, kPollMs));
        }
        return false;
    }
    int r = poll(fds, count, static_cast<int>(std::min<DWORD>(timeoutMs, 0x7FFFFFFF)));
    if (r <= 0) {
        return false;
    }
    bool progress = false;
    if (outFd_ >= 0 && !Drain(outFd_, out_, &progress)) {
        ::close(outFd_);
        outFd_ = -1;
        progress = true;
    }
    if (errFd_ >= 0 && !Drain(errFd_, err_, &progress)) {
        ::close(errFd_);
        errFd_ = -1;
        progress = true;
    }
    return progress;
}

bool Process::Signal(int signalNumber) {
    if (!Started() || reaped_) {
        return false;
    }
    return ::kill(pid_, signalNumber) == 0;
}

DWORD ProcessCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) {
        return static_cast<DWORD>(t.tv_sec) * 1000 + static_cast<DWORD>(t.tv_usec / 1000);
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void Process::Kill() {
    Signal(SIGKILL);
}

void Process::ClosePipes() {
    if (outFd_ >= 0) {
        ::close(outFd_);
        outFd_ = -1;
    }
    if (errFd_ >= 0) {
        ::close(errFd_);
        errFd_ = -1;
    }
}

}  // namespace platform
