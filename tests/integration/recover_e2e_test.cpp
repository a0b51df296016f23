// A modem that an interrupted update left in its boot loader: the search
// points at it, and wizard-cli recover loads its firmware.
#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

using test_support::CliResult;
using test_support::ModemSim;

namespace {

constexpr DWORD kRecoverTimeoutMs = 150000;
constexpr const char* kModel = "ORVA 56K Serial";
constexpr const char* kSuccess = "The operation was concluded successfully!";

class RecoverEndToEnd : public ::testing::Test {
  protected:
    RecoverEndToEnd() {
        const std::uint32_t image = 20000;
        firmware = test_support::FirmwareFile("2.31", image, 2000);
        loader = test_support::LoaderOf(firmware, image);
        dir.Write("fw.bin", firmware);
        dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kModel +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                    "UploadType=UPLOAD_MODEM UPLOAD_SUPPORTED_1K\n");
    }
    std::vector<std::string> Sim(std::vector<std::string> options) {
        options.insert(options.end(), {"--loader", "--upload-modem", "--received-dir",
                                       dir.File("received"), "--reboot-delay", "500"});
        return options;
    }
    CliResult Recover(const std::string& port, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"recover", "--config", dir.File("Wizard.inf"),
                                         "--port",  port,       "--model",
                                         kModel,    "--yes"};
        args.insert(args.end(), more.begin(), more.end());
        return test_support::RunCli(args, kRecoverTimeoutMs);
    }
    bool Loaded() {
        return test_support::SameButPadding(loader, dir.Read("received/loader.bin")) &&
               test_support::SameButPadding(firmware, dir.Read("received/firmware.bin"));
    }

    test_support::TempDir dir{"recover-e2e"};
    std::string firmware;
    std::string loader;
};

TEST_F(RecoverEndToEnd, TheLoaderIsFoundAtEachOfItsSpeeds) {
    for (const char* baud : {"115200", "57600", "19200", "9600"}) {
        SCOPED_TRACE(baud);
        ModemSim sim(Sim({"--loader-baud", baud}));
        CliResult r = Recover(sim.PortPath());
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_NE(r.out.find(kSuccess), std::string::npos) << r.out;
        EXPECT_TRUE(Loaded());
        EXPECT_GE(sim.CountLog("at AT"), 1) << "the restarted modem was probed";
        EXPECT_EQ(sim.CountLog("at AT$UPLOAD"), 0) << "a waiting loader needs no upload command";
    }
}

TEST_F(RecoverEndToEnd, ALoaderThatFallsSilentHalfWayFailsClearlyAndASecondRecoverLoadsIt) {
    ModemSim sim(Sim({"--fault-silent-at-block", "8", "--fault-firmware"}));
    CliResult first = Recover(sim.PortPath());
    EXPECT_EQ(first.exitCode, 1) << first.out << first.err;
    EXPECT_NE(first.err.find("Error during firmware upload!"), std::string::npos) << first.err;
    EXPECT_EQ(first.out.find(kSuccess), std::string::npos);
    CliResult second = Recover(sim.PortPath());
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    EXPECT_TRUE(Loaded());
}

TEST_F(RecoverEndToEnd, APortWithNothingOnItFailsWithoutHanging) {
    ModemSim sim({"--silent"});
    CliResult r = Recover(sim.PortPath());
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("Error during firmware upload!"), std::string::npos) << r.err;
}

TEST_F(RecoverEndToEnd, TheSearchPointsAtAModemWaitingInItsLoader) {
    ModemSim sim(Sim({}));
    CliResult text = test_support::RunCli(
        {"search", "--config", dir.File("Wizard.inf"), "--ports", sim.PortPath()},
        kRecoverTimeoutMs);
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_NE(text.err.find("a modem is waiting in its boot loader on " + sim.PortPath()),
              std::string::npos)
        << text.err;
    EXPECT_NE(text.err.find("wizard-cli recover --port " + sim.PortPath() + " --model \"" + kModel +
                            "\""),
              std::string::npos)
        << text.err;
    CliResult json = test_support::RunCli(
        {"search", "--config", dir.File("Wizard.inf"), "--ports", sim.PortPath(), "--json"},
        kRecoverTimeoutMs);
    EXPECT_NE(json.out.find("\"event\":\"in-loader\""), std::string::npos) << json.out;
}

}  // namespace
