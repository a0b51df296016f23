// A modem that vanishes in the middle of an update (unplugged, switched
// off): wizard-cli update against modemsim over a pseudo-terminal whose
// master the simulator closes at a chosen point. Every run must end with
// its failure text and exit code 1 soon after the loss, without spinning,
// and name the kept copies when the backup made some.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "tests/support/firmware_file.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::ModemSim;

namespace {

constexpr DWORD kRunLimitMs = 120000;
// From the loss to the end of the program, beyond any pause the protocol
// prescribes that does not read the line.
constexpr DWORD kExitAfterLossMs = 2000;
constexpr double kCpuWhileWaitingSeconds = 0.2;
constexpr const char* kKept = "The modem's files are kept in ";

enum class Model { kPlain, kBackup, kFlash };

struct LossCase {
    const char* name;
    Model model;
    std::vector<std::string> faults;
    const char* failure;  // the text on stderr
    bool kept;            // the backup holds copies by then
};

void PrintTo(const LossCase& c, std::ostream* os) {
    *os << c.name;
}

class LostDevice : public ::testing::TestWithParam<LossCase> {
  protected:
    // Wizard.inf, the model's files and the simulator's options for it.
    std::vector<std::string> Configure(Model model) {
        std::filesystem::create_directories(dir.File("tmp"));
        switch (model) {
            case Model::kPlain:
                dir.Write("fw.bin", test_support::FirmwareFile("2.31", 40000));
                dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kSerial +
                                            "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                            "UploadType=UPLOAD_SUPPORTED_1K\n");
                return {"--model", kSerial, "--reboot-delay", "300"};
            case Model::kBackup: {
                EXPECT_TRUE(platform::LinkFile(test_support::ProgramPath("Sarnet_Plugin.so"),
                                               dir.File("Sarnet_Plugin.so")));
                dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
                dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kSerial +
                                            "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                            "UploadType=UPLOAD_SUPPORTED_1K\n"
                                            "DLLName=Sarnet_Plugin.so\n");
                dir.Write("store/big.bin", test_support::RandomBytes(5000, 1));
                dir.Write("store/block.bin", test_support::RandomBytes(128, 2));
                dir.Write("store/hundred.dat", test_support::RandomBytes(100, 3));
                dir.Write("store/.modemsim-attrs", "big.bin,1,I\nblock.bin,2,\nhundred.dat,1,\n");
                return {"--model",
                        kSerial,
                        "--store",
                        dir.File("store"),
                        "--store-trim-padding",
                        "--reboot-delay",
                        "300",
                        "--jfclr-delay",
                        "100"};
            }
            case Model::kFlash:
                EXPECT_TRUE(platform::LinkFile(test_support::ProgramPath("Flinta_Plugin.so"),
                                               dir.File("Flinta_Plugin.so")));
                dir.Write("image.hex", test_support::FlashImage(
                                           test_support::ImageHeader(0x1234, "55", "10"), 200));
                dir.Write("loader.hex", test_support::FlashLoaderHex(10));
                dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kUsb +
                                            "]\nDLLName=Flinta_Plugin.so\nUploadFile=image.hex\n"
                                            "FlashLoader=loader.hex\nUploadInterface=FLASH\n"
                                            "ModemType=USB\n");
                return {"--flash", "--model", kUsb, "--flash-restart-delay", "300"};
        }
        return {};
    }

    static constexpr const char* kSerial = "ORVA 56K Serial";
    static constexpr const char* kUsb = "ORVA 56K USB";
    test_support::TempDir dir{"lost-device"};
};

TEST_P(LostDevice, TheUpdateEndsAtOnceWithItsFailureText) {
    const LossCase& c = GetParam();
    std::vector<std::string> options = Configure(c.model);
    options.insert(options.end(), c.faults.begin(), c.faults.end());
    ModemSim sim(options);
    ASSERT_FALSE(sim.PortPath().empty());

    platform::Process cli;
    std::string error;
    ASSERT_TRUE(cli.Start(
        {test_support::ProgramPath("wizard-cli"), "update", "--config", dir.File("Wizard.inf"),
         "--yes", "--port", sim.PortPath(), "--model", c.model == Model::kFlash ? kUsb : kSerial},
        {{"TMPDIR", dir.File("tmp")}}, platform::ProcessOutput::kCapture, &error))
        << error;

    // The simulator appends the loss to its log right after it closed its
    // device, as its last word: the log's time of change is the loss.
    const DWORD start = platform::GetTickCount();
    bool lost = false;
    std::string line;
    while (!lost && cli.Running() && platform::GetTickCount() - start < kRunLimitMs) {
        cli.ReadLine(&line, 5);  // keeps the child's output flowing
        lost = sim.CountLog("fault vanish") > 0;
    }
    const double cpuAtLoss = cli.CpuSeconds();
    ASSERT_TRUE(cli.Wait(kRunLimitMs)) << cli.Stdout() << cli.Stderr();
    const auto exitAt = std::filesystem::file_time_type::clock::now();
    ASSERT_TRUE(lost || sim.CountLog("fault vanish") > 0) << "the device did not vanish\n"
                                                          << cli.Stdout() << cli.Stderr();
    const double seconds =
        std::chrono::duration<double>(exitAt - std::filesystem::last_write_time(sim.LogPath()))
            .count();
    const double cpu = cli.CpuSeconds() - cpuAtLoss;
    std::printf("lost device %-20s %5.2f s from loss to exit, %.3f s CPU meanwhile\n", c.name,
                seconds, cpu);

    EXPECT_EQ(cli.ExitCode(), 1) << cli.Stdout() << cli.Stderr();
    EXPECT_NE(cli.Stderr().find(c.failure), std::string::npos) << cli.Stderr();
    EXPECT_EQ(cli.Stderr().find(kKept) != std::string::npos, c.kept) << cli.Stderr();
    EXPECT_LT(seconds * 1000, kExitAfterLossMs);
    EXPECT_GE(cpuAtLoss, 0.0);
    EXPECT_LT(cpu, kCpuWhileWaitingSeconds);
}

constexpr const char* kUploadError = "Error during firmware upload!";
constexpr const char* kDownloadError = "An error has occurred during the file download.";
constexpr const char* kFileUploadError = "An error has occurred during the file upload.";
constexpr const char* kReorganizeError =
    "An error has occurred during the reorganization of the file system.";

INSTANTIATE_TEST_SUITE_P(
    Points, LostDevice,
    ::testing::Values(LossCase{"InTheListing",
                               Model::kBackup,
                               {"--fault-vanish-in-answer", "AT$JDIR"},
                               kDownloadError,
                               false},
                      LossCase{"InABackupDownload",
                               Model::kBackup,
                               {"--fault-vanish-at-block", "1", "--fault-file", "hundred.dat"},
                               kDownloadError,
                               true},
                      LossCase{"InTheFirmwareUpload",
                               Model::kPlain,
                               {"--fault-vanish-at-block", "5", "--fault-firmware"},
                               kUploadError,
                               false},
                      LossCase{"InTheFlashRecords",
                               Model::kFlash,
                               {"--fault-vanish-at-record", "20"},
                               kUploadError,
                               false},
                      LossCase{"InTheReorganisation",
                               Model::kBackup,
                               {"--fault-vanish-in-answer", "at$jfclr"},
                               kReorganizeError,
                               true},
                      LossCase{"InARestoreUpload",
                               Model::kBackup,
                               {"--fault-vanish-at-block", "2", "--fault-file", "big.bin",
                                "--fault-direction", "receive"},
                               kFileUploadError,
                               true}),
    [](const ::testing::TestParamInfo<LossCase>& info) { return info.param.name; });

}  // namespace
