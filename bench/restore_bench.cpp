// A restore of four stored files (what `wizard-cli restore` and the backup
// plug-in's last step do: a listing, AT$JUPL and a 1K XModem upload per
// file, a listing to check) into modemsim's file store on a line paced at
// the byte rate, optionally through its model of a USB adapter: the ratio
// of the files' own line time to the elapsed time.
//
//   build/bin/restore_bench [--kb 64] [--rate 11520] [--usb-latency MS] [--runs 3]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "plugins/backup/backup_files.h"
#include "plugins/backup/kept_restore.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 4;

struct Run {
    double seconds = 0;
    bool ok = false;
};

// One restore on a fresh simulator with an empty store.
Run RestoreOnce(unsigned kb, unsigned rate, unsigned usbLatencyMs, unsigned seed) {
    test_support::TempDir dir("restore-bench");
    std::filesystem::create_directories(dir.File("store"));
    std::string listing;
    std::vector<std::string> contents;
    for (int i = 1; i <= kFiles; ++i) {
        std::string data = test_support::RandomBytes(kb * 1024, seed + i);
        data.back() = 'z';  // no padding byte at the end
        const std::string name = "file" + std::to_string(i) + ".bin";
        listing += name + ",1,,0,0," + std::to_string(data.size()) + "\r\n";
        dir.Write("kept/" + std::to_string(i), data);
        contents.push_back(data);
    }
    dir.Write("kept/" + std::string(backup::kListingFile), listing);

    std::vector<std::string> options = {"--store", dir.File("store"), "--store-trim-padding",
                                        "--rate", std::to_string(rate)};
    if (usbLatencyMs > 0) {
        options.insert(options.end(), {"--usb-latency", std::to_string(usbLatencyMs)});
    }
    test_support::ModemSim sim(options);
    CSerial port;
    port.SetPortName(sim.PortPath());
    Run run;
    std::string model;
    if (!port.Open() || !IdentifyModem(&port, nullptr, &model, nullptr, nullptr)) {
        return run;
    }
    int progress = 0;
    backup::RestoreReport report;
    const Clock::time_point start = Clock::now();
    const bool checked =
        backup::RestoreKeptFolder(&port, dir.File("kept"), &progress, nullptr, &report);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.ok = checked && report.allBack;
    for (int i = 1; run.ok && i <= kFiles; ++i) {
        run.ok = dir.Read("store/file" + std::to_string(i) + ".bin") == contents[i - 1];
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    unsigned kb = 64;
    unsigned rate = 11520;
    unsigned usbLatencyMs = 0;
    unsigned runs = 3;
    if (!bench::ReadNumberOptions(
            argc, argv,
            {{"--kb", &kb}, {"--rate", &rate}, {"--usb-latency", &usbLatencyMs}, {"--runs", &runs}},
            "[--kb KB_PER_FILE] [--rate BYTES_PER_SECOND] [--usb-latency MS] [--runs N]")) {
        return 2;
    }
    const double payload = static_cast<double>(kFiles) * kb * 1024;
    const double bound = payload / rate;
    std::vector<double> seconds, ratios;
    for (unsigned r = 0; r < runs; ++r) {
        const Run run = RestoreOnce(kb, rate, usbLatencyMs, 100 * r);
        if (!run.ok) {
            std::fprintf(stderr, "run %u: the files did not all arrive intact\n", r + 1);
            return 1;
        }
        seconds.push_back(run.seconds);
        ratios.push_back(bound / run.seconds);
        std::printf("run %u: %.2f s, ratio %.3f\n", r + 1, run.seconds, bound / run.seconds);
    }
    std::printf("restore of %d files of %u KB; line %u bytes/s, USB latency %u ms\n", kFiles, kb,
                rate, usbLatencyMs);
    std::printf("files alone at the line rate: %.2f s; restore, median of %u: %.2f s\n", bound,
                runs, Median(seconds));
    std::printf("line-rate bound / restore time = %.3f (median; best %.3f)\n", Median(ratios),
                *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
