// Whole updates as a user runs them: wizard-cli update against modemsim
// over a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "serial/serial.h"
#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::CliResult;
using test_support::ModemSim;

namespace {

constexpr DWORD kUpdateTimeoutMs = 120000;
constexpr const char* kSuccess = "The operation was concluded successfully!";
constexpr const char* kUploadError = "Error during firmware upload!";

class UpdateEndToEnd : public ::testing::Test {
  protected:
    // Writes Wizard.inf with [Common] lines and one model section.
    void Config(const std::string& common, const std::string& model, const std::string& keys) {
        dir.Write("Wizard.inf", "[Common]\n" + common + "\n[" + model + "]\n" + keys);
    }
    std::string Firmware(std::uint32_t imageLength, std::uint32_t loaderLength = 0) {
        firmware = test_support::FirmwareFile("2.31", imageLength, loaderLength);
        dir.Write("fw.bin", firmware);
        return firmware;
    }
    // Simulator options every test uses: its files in our directory, a quick restart.
    std::vector<std::string> Sim(std::vector<std::string> options) {
        options.insert(options.end(), {"--received-dir", dir.File("received"), "--reboot-delay",
                                       "500", "--model", "ORVA 56K Serial"});
        return options;
    }
    CliResult Update(std::vector<std::string> args) {
        args.insert(args.begin(), {"update", "--config", dir.File("Wizard.inf"), "--yes"});
        return test_support::RunCli(args, kUpdateTimeoutMs);
    }
    std::string Received(const char* name) { return dir.Read("received/" + std::string(name)); }

    test_support::TempDir dir{"update-e2e"};
    std::string firmware;
};

TEST_F(UpdateEndToEnd, AutomaticSearchAndUpdateIn1KBlocks) {
    Firmware(40000);
    Config("", "ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n");
    ModemSim sim(Sim({}));
    CliResult r = Update({"--ports", "/dev/no-such-port," + sim.PortPath()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Checking /dev/no-such-port"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ORVA 56K Serial modem found!"), std::string::npos);
    EXPECT_NE(r.out.find("[2/2] The firmware is being updated..."), std::string::npos);
    EXPECT_NE(r.out.find(kSuccess), std::string::npos);
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
    EXPECT_EQ(Received("firmware.bin").size() % 1024, 0u) << "1K blocks";
    EXPECT_GE(sim.CountLog("ready"), 1);
    EXPECT_GE(sim.CountLog("at AT"), 1) << "the restarted modem was probed";
}

TEST_F(UpdateEndToEnd, WithoutThe1KFlagBlocksAre128Bytes) {
    Firmware(3000);
    Config("", "ORVA 56K Serial", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n");
    ModemSim sim(Sim({}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "orva 56k serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    std::string received = Received("firmware.bin");
    EXPECT_TRUE(test_support::SameButPadding(firmware, received));
    EXPECT_LT(received.size() - firmware.size(), 128u);
}

TEST_F(UpdateEndToEnd, ALoaderThatRefuses1KBlocksGets128ByteBlocks) {
    Firmware(5000);
    Config("", "ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n");
    ModemSim sim(Sim({"--loader-128-only"}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    std::string received = Received("firmware.bin");
    EXPECT_TRUE(test_support::SameButPadding(firmware, received));
    EXPECT_LT(received.size() - firmware.size(), 128u);
}

TEST_F(UpdateEndToEnd, TheFlashLoaderGoesFirstAtTheLoadersSpeed) {
    const std::uint32_t image = 70000;
    Firmware(image, 3000);
    Config("", "ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_MODEM "
           "UPLOAD_SUPPORTED_1K\n");
    ModemSim sim(Sim({"--upload-modem", "--loader-baud", "57600"}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(test_support::SameButPadding(test_support::LoaderOf(firmware, image),
                                             Received("loader.bin")));
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
    EXPECT_GE(sim.CountLog("loader-nak-start 57600"), 2);
}

TEST_F(UpdateEndToEnd, AModemFirmwareWhoseLoaderLiesPastItsEndIsRefusedBeforeAnythingIsSent) {
    Firmware(70000);  // no loader behind the image
    Config("", "ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_MODEM\n");
    ModemSim sim(Sim({"--upload-modem"}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_EQ(sim.CountLog("at AT$UPLOAD"), 0);
    EXPECT_EQ(sim.CountLog("upload-mode"), 0);
}

TEST_F(UpdateEndToEnd, AModemWithoutAtInterpreterIsAskedToBeSwitchedOffAndOn) {
    Firmware(2000);
    Config("NoATInterpreter=1", "ORVA 56K Serial", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n");
    ModemSim sim(Sim({"--no-at", "--power-cycle-delay", "1500"}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("Please switch the device off and on again!"), std::string::npos) << r.err;
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
    EXPECT_EQ(sim.CountLog("at "), 0) << "no command at all, and no probe after the upload";
}

TEST_F(UpdateEndToEnd, AModemThatComesBackTooLateFailsTheUpdate) {
    Firmware(2000);
    Config("", "ORVA 56K Serial", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n");
    std::vector<std::string> options = Sim({});
    options.insert(options.end(), {"--reboot-delay", "45000"});  // the later value wins
    ModemSim sim(options);
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find(kSuccess), std::string::npos);
}

TEST_F(UpdateEndToEnd, ABusyPortStopsTheUpdateWithString35) {
    Firmware(2000);
    Config("NoATInterpreter=1", "ORVA 56K Serial", "UploadFile=fw.bin\n");
    ModemSim sim(Sim({"--no-at"}));
    CSerial holder;
    holder.SetPortName(sim.PortPath());
    ASSERT_TRUE(holder.Open());
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The port cannot be opened!\nAre any programs that can access your modem "
                         "still running?"),
              std::string::npos)
        << r.err;
}

TEST_F(UpdateEndToEnd, PostStepsOfAPlugInTalkToTheModemAfterTheOwnUpload) {
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Step_Plugin_Steps.so"),
                                   dir.File("Step_Plugin_Steps.so")));
    Firmware(2000);
    Config("", "ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nDLLName=Step_Plugin_Steps.so\n");
    ModemSim sim(Sim({}));
    CliResult r = Update({"--port", sim.PortPath(), "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    for (const char* step :
         {"[1/5] Initializing transfer ...", "[2/5] Saving one", "[3/5] Saving two",
          "[4/5] The firmware is being updated...", "[5/5] Restoring"}) {
        EXPECT_NE(r.out.find(step), std::string::npos) << step << "\n" << r.out;
    }
    EXPECT_NE(r.out.find(kSuccess), std::string::npos);
}

TEST_F(UpdateEndToEnd, NoModemFoundEndsWithTheNotFoundText) {
    Firmware(2000);
    Config("", "Another Modem", "UploadFile=fw.bin\n");
    ModemSim sim(Sim({}));
    CliResult r = Update({"--ports", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("A modem suitable for a firmware update could not be found."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(sim.CountLog("at AT$UPLOAD"), 0);
}

}  // namespace
