// wizard-cli update --all against eight simulated modems on lines at a real
// byte rate, beside one modem updated alone in the same run: the wall time
// of the many against the one, and the processor time per modem.
//
//   build/bin/update_all_bench [--modems 8] [--kb 256] [--rate 11520]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "platform/process.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kModel = "ORVA 56K Serial";
constexpr DWORD kRunLimitMs = 15 * 60 * 1000;

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;  // wizard-cli and every child it ran
    bool ok = false;
};

Run RunCli(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {test_support::ProgramPath("wizard-cli")};
    argv.insert(argv.end(), args.begin(), args.end());
    const Clock::time_point start = Clock::now();
    const platform::ProcessResult result = platform::RunProcess(argv, kRunLimitMs);
    Run run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.cpuSeconds = result.cpuSeconds;
    run.ok = result.exitCode == 0;
    if (!run.ok) {
        std::fprintf(stderr, "wizard-cli %s ended with %d:\n%s%s\n", args[0].c_str(),
                     result.exitCode, result.stdoutText.c_str(), result.stderrText.c_str());
    }
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned modems = 8, kb = 256, rate = 11520;
    if (!bench::ReadNumberOptions(argc, argv,
                                  {{"--modems", &modems}, {"--kb", &kb}, {"--rate", &rate}},
                                  "[--modems N] [--kb KB] [--rate BYTES_PER_SECOND]")) {
        return 2;
    }
    test_support::TempDir dir("update-all-bench");
    const std::string firmware = test_support::FirmwareFile("2.31", kb * 1024);
    dir.Write("fw.bin", firmware);
    const std::string ini =
        dir.Write("Wizard.inf", "[Common]\n[" + std::string(kModel) +
                                    "]\nUploadFile=fw.bin\nUploadCommand="
                                    "AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n");
    std::vector<std::unique_ptr<test_support::ModemSim>> sims;
    std::string ports;
    for (unsigned i = 0; i < modems; ++i) {
        sims.push_back(std::make_unique<test_support::ModemSim>(
            std::vector<std::string>{"--rate", std::to_string(rate), "--model", kModel,
                                     "--received-dir", dir.File("received-" + std::to_string(i))}));
        ports += (i == 0 ? "" : ",") + sims.back()->PortPath();
    }
    const std::string first = sims.front()->PortPath();

    // The one modem alone: as a plain update, and as --all of one port.
    const Run plain =
        RunCli({"update", "--config", ini, "--port", first, "--model", kModel, "--yes", "--quiet"});
    const Run one =
        RunCli({"update", "--all", "--config", ini, "--ports", first, "--yes", "--quiet"});
    const Run all =
        RunCli({"update", "--all", "--config", ini, "--ports", ports, "--yes", "--quiet"});
    bool intact = true;
    for (unsigned i = 0; i < modems; ++i) {
        intact =
            intact && test_support::SameButPadding(
                          firmware, dir.Read("received-" + std::to_string(i) + "/firmware.bin"));
    }
    if (!plain.ok || !one.ok || !all.ok || !intact) {
        std::fprintf(stderr, "a run failed%s\n",
                     intact ? "" : " (a firmware did not arrive intact)");
        return 1;
    }
    const double line = static_cast<double>(firmware.size()) / rate;
    std::printf("firmware %u KB (%zu bytes) by 1K XModem at %u bytes/s: %.1f s of line time\n", kb,
                firmware.size(), rate, line);
    std::printf("%-44s %7.1f s wall %7.2f s CPU\n",
                "one modem, update --port --model:", plain.seconds, plain.cpuSeconds);
    std::printf("%-44s %7.1f s wall %7.2f s CPU\n", "one modem, update --all:", one.seconds,
                one.cpuSeconds);
    std::printf("%-44s %7.1f s wall %7.2f s CPU\n",
                (std::to_string(modems) + " modems, update --all:").c_str(), all.seconds,
                all.cpuSeconds);
    std::printf("wall time: %u modems / one by --all = %.3f, / one plain update = %.3f\n", modems,
                all.seconds / one.seconds, all.seconds / plain.seconds);
    std::printf("CPU per modem: %.3f s, %.3f %% of one core over the run\n",
                all.cpuSeconds / modems, all.cpuSeconds / modems / all.seconds * 100.0);
    return 0;
}
