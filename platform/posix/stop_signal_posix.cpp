// Self-pipe: the handler only sets a flag and writes one byte, both
// async-signal-safe; waiters poll the read end next to their own descriptors.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/posix/stop_signal_posix.h"
#include "platform/stop_signal.h"
#include "platform/stop_wakeup.h"

namespace platform {
namespace {

int g_pipe[2] = {-1, -1};
std::once_flag g_once;
bool g_installed = false;

void OnStopSignal(int) {
    int saved = errno;
    NoteStopRequest();
    WakeStopWaiters();
    errno = saved;
}

void Install() {
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: blocking calls return with EINTR
    bool ok = sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ok = sigaction(SIGPIPE, &ignore, nullptr) == 0 && ok;
    g_installed = ok;
}

}  // namespace

bool InstallStopSignals() {
    std::call_once(g_once, Install);
    return g_installed;
}

void WakeStopWaiters() {
    if (g_pipe[1] >= 0) {
        char byte = 1;
        ssize_t ignored = write(g_pipe[1], &byte, 1);
        (void)ignored;
    }
}

bool WaitForStopWakeup(DWORD ms) {
    if (g_pipe[0] < 0) {
        return false;
    }
    pollfd p{g_pipe[0], POLLIN, 0};
    poll(&p, 1, static_cast<int>(ms));
    return true;
}

namespace posix {

int StopSignalFd() {
    return g_pipe[0];
}

}  // namespace posix
}  // namespace platform
