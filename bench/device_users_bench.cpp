// What the look for other holders costs each open of a port: the open of a
// pseudo-terminal (which includes the look), the look alone, and fuser, the
// system's tool that does the same search, each timed on the same device
// while a helper process holds it... and on a free one, the case of every
// successful open.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/device_users.h"
#include "platform/process.h"
#include "platform/pty.h"
#include "platform/serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MedianMs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::size_t Count(const std::string& dir) {
    std::error_code error;
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        ++n;
    }
    return n;
}

}  // namespace

int main() {
    platform::PseudoTerminal pty;
    std::string error;
    if (!pty.Open(115200, &error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    const std::string port = pty.SlavePath();
    std::size_t processes = 0, files = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
            ++processes;
            files += Count(entry.path().string() + "/fd");
        }
    }
    std::printf("%zu processes, %zu open files visible to this user\n\n", processes, files);

    const int runs = 51;
    const double open = MedianMs(runs, [&] {
        HANDLE handle = platform::OpenSerialPort(port);
        if (handle != INVALID_HANDLE_VALUE) {
            platform::CloseSerialPort(handle);
        }
    });
    const double look = MedianMs(runs, [&] { platform::FindDeviceUsers(port); });
    const double fuser = MedianMs(11, [&] { platform::RunProcess({"fuser", port}, 10000); });
    std::printf("free port:  open+close %.3f ms, of which the look %.3f ms (%.0f %%)\n", open, look,
                100.0 * look / open);
    std::printf("            fuser %.3f ms; the look takes %.2f of fuser's time\n", fuser,
                look / fuser);

    platform::Process holder;
    if (!holder.Start({"/bin/sh", "-c", "exec 3<>\"$0\" && echo open && exec sleep 60", port}, {},
                      platform::ProcessOutput::kCapture, &error) ||
        !holder.ReadLine(&error, 5000)) {
        std::fprintf(stderr, "the helper did not open the port\n");
        return 1;
    }
    const double busy = MedianMs(runs, [&] { platform::FindDeviceUsers(port); });
    std::printf("held port:  the look %.3f ms (finds %zu holder)\n", busy,
                platform::FindDeviceUsers(port).users.size());
    return 0;
}
