// Records per second of the flash plug-in's sender against modemsim's
// flash-loader modem on a throttled line, beside a bare stop-and-wait peer
// measured in the same run and the bound the line rate sets.
//
//   build/bin/flash_throughput_bench [--kb 256] [--rate 11520] [--usb-latency MS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "plugin_api/status.h"
#include "plugins/flash/image_sender.h"
#include "serial/serial.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRecordBytes = 32;
// The acknowledgement as far as a sender must see it: CR LF "OK".
constexpr std::size_t kAcknowledgementChars = 4;

struct Run {
    double seconds = 0;
    bool ok = false;
};

std::vector<std::string> Lines(const std::string& hex) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < hex.size();) {
        std::size_t end = hex.find("\r\n", at) + 2;
        lines.push_back(hex.substr(at, end - at));
        at = end;
    }
    return lines;
}

// The answers' USB adapter latency timer, 0 for none.
unsigned gUsbLatencyMs = 0;

std::vector<std::string> Options(unsigned rate) {
    std::vector<std::string> options = {"--flash", "--rate", std::to_string(rate),
                                        "--flash-restart-delay", "100"};
    if (gUsbLatencyMs > 0) {
        options.insert(options.end(), {"--usb-latency", std::to_string(gUsbLatencyMs)});
    }
    return options;
}

// A modem with its loader running, on an open port.
struct Modem {
    Modem(unsigned rate, const std::string& loaderPath) : sim(Options(rate)) {
        port.SetPortName(sim.PortPath());
        ready = port.Open();
        std::string banner, line;
        _Status status{};
        ready = ready && flinta::SendImage(loaderPath, &banner, flinta::SEND_AS_COMMANDS, line,
                                           &port, &status) == 1;
    }
    test_support::ModemSim sim;
    CSerial port;
    bool ready = false;
};

Run PlugIn(unsigned rate, const std::string& loaderPath, const std::string& imagePath) {
    Modem modem(rate, loaderPath);
    Run run;
    if (!modem.ready) {
        return run;
    }
    std::string answer, line;
    _Status status{};
    const Clock::time_point start = Clock::now();
    run.ok =
        flinta::SendImage(imagePath, &answer, flinta::SEND_RAW, line, &modem.port, &status) == 1;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return run;
}

// The least a sender can do: write a record, read until "OK", next.
Run Peer(unsigned rate, const std::string& loaderPath, const std::vector<std::string>& records) {
    Modem modem(rate, loaderPath);
    Run run;
    if (!modem.ready) {
        return run;
    }
    const Clock::time_point start = Clock::now();
    run.ok = true;
    for (const std::string& record : records) {
        modem.port.Write(record, 0);
        std::string received, byte;
        while (received.size() < 2 || received.compare(received.size() - 2, 2, "OK") != 0) {
            if (modem.port.ReadTimeout(byte, 1, 2000, 0) == 0) {
                run.ok = false;
                break;
            }
            received += byte;
        }
        if (!run.ok) {
            break;
        }
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned kb = 256;
    unsigned rate = 11520;
    if (!bench::ReadNumberOptions(
            argc, argv, {{"--kb", &kb}, {"--rate", &rate}, {"--usb-latency", &gUsbLatencyMs}},
            "[--kb KB] [--rate BYTES_PER_SECOND] [--usb-latency MS]")) {
        return 2;
    }

    test_support::TempDir dir("flash-bench");
    const int dataRecords = static_cast<int>(kb * 1024 / kRecordBytes) - 1;
    const std::string image = test_support::FlashImage(
        test_support::ImageHeader(0x1234, "55", "10"), dataRecords, kRecordBytes);
    const std::string loaderPath = dir.Write("loader.hex", test_support::FlashLoaderHex(10));
    const std::string imagePath = dir.Write("image.hex", image);
    const std::vector<std::string> records = Lines(image);

    // The line carries every record; then, record by record, the loader's
    // answer must come back before the next record may go.
    const double recordSeconds = static_cast<double>(image.size()) / rate;
    const double boundSeconds =
        recordSeconds + static_cast<double>(records.size() * kAcknowledgementChars) / rate;
    const Run peer = Peer(rate, loaderPath, records);
    const Run plugin = PlugIn(rate, loaderPath, imagePath);
    if (!peer.ok || !plugin.ok) {
        std::fprintf(stderr, "a run failed (peer %s, plug-in %s)\n", peer.ok ? "ok" : "failed",
                     plugin.ok ? "ok" : "failed");
        return 1;
    }
    const double n = static_cast<double>(records.size());
    std::printf(
        "image: %u KB of data, %zu records, %zu characters; line %u bytes/s, USB "
        "latency %u ms\n",
        kb, records.size(), image.size(), rate, gUsbLatencyMs);
    std::printf("%-52s %8.2f s %8.1f records/s\n", "records alone at the line rate:", recordSeconds,
                n / recordSeconds);
    std::printf("%-52s %8.2f s %8.1f records/s\n",
                "bound (records + one acknowledgement each):", boundSeconds, n / boundSeconds);
    std::printf("%-52s %8.2f s %8.1f records/s\n", "bare stop-and-wait peer:", peer.seconds,
                n / peer.seconds);
    std::printf("%-52s %8.2f s %8.1f records/s\n", "flash plug-in (SendImage):", plugin.seconds,
                n / plugin.seconds);
    std::printf("time per record beyond the records' line time: peer %.3f ms, plug-in %.3f ms\n",
                (peer.seconds - recordSeconds) / n * 1000,
                (plugin.seconds - recordSeconds) / n * 1000);
    std::printf("plug-in / peer = %.3f   plug-in / bound = %.3f\n", plugin.seconds / peer.seconds,
                plugin.seconds / boundSeconds);
    return 0;
}
