// Measures the XModem sender in one run:
//  (a) throughput into lrzsz rx against lrzsz sx into rx, the same file
//      over the same kind of line (two bridged pseudo-terminals), with 1K
//      and 128-byte blocks: the ratio ours / lrzsz;
//  (b) efficiency of a 1K-block upload into modemsim paced at the byte rate
//      of a 115200 bit/s line: payload / (elapsed x 11520);
//  (c) CPU time per MB on that paced line.
// With --usb-latency MS only (b) and (c), the modem's answers reaching the
// host through modemsim's model of a USB adapter with that latency timer.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/testing/pty_bridge.h"
#include "serial/serial.h"
#include "transfer/file_transfer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr DWORD kRunLimitMs = 600000;
constexpr double kLineBytesPerSecond = 11520.0;

struct Options {
    std::size_t size = 1024 * 1024;
    int runs = 5;
    bool paced = true;
    unsigned usbLatencyMs = 0;  // 0: no adapter, and (a) runs too
};

std::string Program(const std::string& name) {
    return platform::ProgramDirectory() + platform::kPathSeparator + name;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Best(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

struct Timing {
    double total = -1;  // sender start until rx has ended with the whole file
    double data = -1;   // sender start until its EOT went over the line
};

// One transfer into rx over a fresh line; the sender is started by
// startSender with the device of its side. rx waits a second after the
// EOT before it answers, which the total includes and the data phase not.
template <typename StartSender>
Timing TimeIntoRx(const std::string& dir, const std::string& content, StartSender startSender) {
    Timing failed;
    platform::testing::PtyBridge bridge;
    std::string error;
    if (!bridge.Open(&error)) {
        std::cerr << "xmodem_bench: " << error << "\n";
        return failed;
    }
    fs::remove(dir + "/received.bin");
    platform::Process rx;
    if (!rx.Start({"sh", "-c",
                   "cd '" + dir + "' && exec rx -X -b -q received.bin < " + bridge.PathA() + " > " +
                       bridge.PathA()},
                  {}, platform::ProcessOutput::kCapture, &error)) {
        std::cerr << "xmodem_bench: rx: " << error << "\n";
        return failed;
    }
    // rx asks with NAK and then flushes its input: start after that.
    if (!bridge.WaitForBytesFromA(1, 10000)) {
        std::cerr << "xmodem_bench: rx did not start\n";
        return failed;
    }
    platform::Process sender;
    const Clock::time_point start = Clock::now();
    const DWORD startTick = platform::GetTickCount();
    if (!startSender(sender, bridge.PathB(), &error)) {
        std::cerr << "xmodem_bench: " << error << "\n";
        return failed;
    }
    if (!rx.Wait(kRunLimitMs) || rx.ExitCode() != 0) {
        std::cerr << "xmodem_bench: rx failed: " << rx.Stderr() << "\n";
        return failed;
    }
    Timing timing;
    timing.total = std::chrono::duration<double>(Clock::now() - start).count();
    // The sender's last byte before rx ended is its EOT.
    timing.data = (bridge.LastByteFromB() - startTick) / 1000.0;
    // Either sender may miss the last ACK, which rx's closing flush can
    // swallow on a pseudo-terminal; it is done once rx has the file.
    if (!sender.Wait(500)) {
        sender.Stop(500);
    }
    if (!StartsWith(ReadWhole(dir + "/received.bin"), content)) {
        std::cerr << "xmodem_bench: rx received something else\n";
        return failed;
    }
    return timing;
}

bool CompareWithLrzsz(const Options& options, const std::string& dir, const std::string& file,
                      const std::string& content) {
    bool ok = true;
    for (const bool oneK : {true, false}) {
        std::vector<double> oursTotal, oursData, lrzszTotal, lrzszData;
        for (int run = 0; run < options.runs; ++run) {
            const Timing theirs = TimeIntoRx(
                dir, content, [&](platform::Process& p, const std::string& dev, std::string* e) {
                    return p.Start({"sh", "-c",
                                    std::string("exec sx -q ") + (oneK ? "-k " : "") + "'" + file +
                                        "' < " + dev + " > " + dev},
                                   {}, platform::ProcessOutput::kCapture, e);
                });
            const Timing mine = TimeIntoRx(
                dir, content, [&](platform::Process& p, const std::string& dev, std::string* e) {
                    std::vector<std::string> argv = {Program("wizard-cli"), "xmodem-send",
                                                     "--quiet", "--port", dev};
                    if (oneK) {
                        argv.push_back("--1k");
                    }
                    argv.push_back(file);
                    return p.Start(argv, {}, platform::ProcessOutput::kCapture, e);
                });
            if (theirs.total < 0 || mine.total < 0) {
                ok = false;
                continue;
            }
            lrzszTotal.push_back(theirs.total);
            lrzszData.push_back(theirs.data);
            oursTotal.push_back(mine.total);
            oursData.push_back(mine.data);
        }
        if (oursTotal.empty()) {
            continue;
        }
        const double kb = static_cast<double>(content.size()) / 1024.0;
        const char* blocks = oneK ? "1K" : "128";
        auto report = [&](const char* phase, const char* statistic, double ours, double lrzsz) {
            std::printf(
                "(a) into rx, %3s blocks, %-16s %-6s ours %6.3f s (%5.0f KB/s)  sx %6.3f s "
                "(%5.0f KB/s)  ratio ours/lrzsz %.2f\n",
                blocks, phase, statistic, ours, kb / ours, lrzsz, kb / lrzsz, lrzsz / ours);
        };
        report("until EOT sent:", "median", Median(oursData), Median(lrzszData));
        report("until EOT sent:", "best", Best(oursData), Best(lrzszData));
        report("until rx ended:", "median", Median(oursTotal), Median(lrzszTotal));
        report("until rx ended:", "best", Best(oursTotal), Best(lrzszTotal));
    }
    std::printf(
        "    (%d runs of each, alternating; rx waits 1 s after the EOT before it answers)\n",
        options.runs);
    return ok;
}

bool MeasurePacedLine(const Options& options, const std::string& dir, const std::string& file,
                      const std::string& content) {
    const std::string store = dir + "/store";
    fs::create_directories(store);
    platform::Process sim;
    std::string error;
    std::vector<std::string> args = {
        Program("modemsim"), "--store", store, "--rate", "11520", "--log", dir + "/modemsim.log"};
    if (options.usbLatencyMs > 0) {
        args.insert(args.end(), {"--usb-latency", std::to_string(options.usbLatencyMs)});
    }
    if (!sim.Start(args, {}, platform::ProcessOutput::kCapture, &error)) {
        std::cerr << "xmodem_bench: modemsim: " << error << "\n";
        return false;
    }
    std::string device;
    if (!sim.ReadLine(&device, 10000) || device.empty()) {
        std::cerr << "xmodem_bench: modemsim did not start: " << sim.Stderr() << "\n";
        return false;
    }
    CSerial port;
    port.SetPortName(device);
    if (!port.Open()) {
        std::cerr << "xmodem_bench: cannot open " << device << "\n";
        return false;
    }
    port.ClearInput(0);
    if (!port.Request("AT$JUPL=\"bench.bin\",1,,", nullptr, REQUEST_IGNORE_ANSWER, nullptr, 2000,
                      0)) {
        std::cerr << "xmodem_bench: AT$JUPL was not taken\n";
        return false;
    }
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    CXModemTransfer transfer;
    transfer.Attach(&port, nullptr, nullptr);
    int progress = 0;
    const std::clock_t cpuStart = std::clock();
    const Clock::time_point start = Clock::now();
    const bool sent = transfer.XModemUpload(in, &progress, true, nullptr);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::fclose(in);
    port.Close();
    sim.Stop();
    const std::string stored = ReadWhole(store + "/bench.bin");
    if (!sent || !StartsWith(stored, content)) {
        std::cerr << "xmodem_bench: the paced upload failed\n";
        return false;
    }
    const double mb = static_cast<double>(content.size()) / (1024.0 * 1024.0);
    std::printf(
        "(b) into modemsim at 11520 bytes/s, USB latency %u ms, 1K blocks: %.2f s, "
        "efficiency %.2f %% (payload / (elapsed x 11520))\n",
        options.usbLatencyMs, seconds,
        100.0 * static_cast<double>(content.size()) / (seconds * kLineBytesPerSecond));
    std::printf("(c) CPU on that line: %.3f s per MB (%.3f %% of the elapsed time)\n", cpu / mb,
                100.0 * cpu / seconds);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--size" && i + 1 < argc) {
            options.size = static_cast<std::size_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--usb-latency" && i + 1 < argc) {
            options.usbLatencyMs = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--no-paced") {
            options.paced = false;
        } else {
            std::cerr << "Usage: xmodem_bench [--runs N] [--size BYTES] [--no-paced] "
                         "[--usb-latency MS]\n";
            return 2;
        }
    }
    std::mt19937 generator(20240601);
    std::string content(options.size, '\0');
    for (char& c : content) {
        c = static_cast<char>(generator() & 0xFF);
    }
    const std::string dir =
        platform::TempDirectory() + "/xmodem-bench-" + std::to_string(std::random_device{}());
    fs::create_directories(dir);
    const std::string file = dir + "/payload.bin";
    std::ofstream(file, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));

    std::printf("XModem benchmark, %zu bytes of random data\n", content.size());
    bool ok = options.usbLatencyMs > 0 || CompareWithLrzsz(options, dir, file, content);
    if (options.paced || options.usbLatencyMs > 0) {
        ok = MeasurePacedLine(options, dir, file, content) && ok;
    }
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
