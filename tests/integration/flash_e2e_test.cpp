// Flash updates as a user runs them: wizard-cli update loads Flinta_Plugin
// and programs modemsim's flash-loader modem over a pseudo-terminal, in
// real time.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/paths.h"
#include "tests/support/cli_runner.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::CliResult;
using test_support::FlashImage;
using test_support::FlashLoaderHex;
using test_support::ImageHeader;
using test_support::ModemSim;

namespace {

constexpr DWORD kUpdateTimeoutMs = 120000;
constexpr const char* kModel = "ORVA 56K USB";
constexpr const char* kSuccess = "The operation was concluded successfully!";
constexpr const char* kUploadError = "Error during firmware upload!";

class FlashEndToEnd : public ::testing::Test {
  protected:
    FlashEndToEnd() {
        EXPECT_TRUE(platform::LinkFile(test_support::ProgramPath("Flinta_Plugin.so"),
                                       dir.File("Flinta_Plugin.so")));
    }
    // Wizard.inf for the model, its image and its loader.
    void Files(const std::string& image, const std::string& loader,
               const std::string& modemType = "USB") {
        this->image = image;
        this->loader = loader;
        dir.Write("image.hex", image);
        dir.Write("loader.hex", loader);
        std::string section =
            "DLLName=Flinta_Plugin.so\nUploadFile=image.hex\n"
            "FlashLoader=loader.hex\nUploadInterface=FLASH\n";
        if (!modemType.empty()) {
            section += "ModemType=" + modemType + "\n";
        }
        dir.Write("Wizard.inf", "[Common]\n\n[" + std::string(kModel) + "]\n" + section);
    }
    std::vector<std::string> Sim(std::vector<std::string> options) {
        options.insert(options.end(), {"--flash", "--model", kModel, "--received-dir",
                                       dir.File("received"), "--flash-restart-delay", "500"});
        return options;
    }
    CliResult Update(const ModemSim& sim) {
        return test_support::RunCli(
            {"--trace", dir.File("trace.log"), "update", "--config", dir.File("Wizard.inf"),
             "--yes", "--port", sim.PortPath(), "--model", kModel},
            kUpdateTimeoutMs);
    }
    std::string Trace() const { return dir.Read("trace.log"); }
    std::string Received(const char* name) const {
        return dir.Read("received/" + std::string(name));
    }
    // Index of the first log line that contains text, or -1.
    static long LogIndex(const ModemSim& sim, const std::string& text) {
        std::vector<std::string> lines = sim.LogLines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) {
                return static_cast<long>(i);
            }
        }
        return -1;
    }

    // The first n lines of a text, each with its CR LF.
    static std::string FirstLines(const std::string& text, int n) {
        std::size_t at = 0;
        for (int i = 0; i < n; ++i) {
            at = text.find("\r\n", at) + 2;
        }
        return text.substr(0, at);
    }

    test_support::TempDir dir{"flash-e2e"};
    std::string image, loader;
    const std::string usbImage = FlashImage(ImageHeader(0x1234, "55", "10"), 400);
};

TEST_F(FlashEndToEnd, AMultiHundredRecordImageIsProgrammedAndTheCountrySetAgain) {
    Files(usbImage, FlashLoaderHex(30));
    ModemSim sim(Sim({"--country", "B5"}));
    CliResult r = Update(sim);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err << Trace();
    EXPECT_NE(r.out.find("[2/2] The firmware is being updated..."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(kSuccess), std::string::npos);
    EXPECT_EQ(Received("flash-loader.hex"), loader);
    EXPECT_EQ(Received("flash-image.hex"), image);
    EXPECT_EQ(sim.CountLog("flash-done 402"), 1);
    const long done = LogIndex(sim, "flash-done");
    const long country = LogIndex(sim, "country B5");
    ASSERT_GE(country, 0) << "the country command came";
    EXPECT_GT(country, done) << "after the firmware";
    EXPECT_NE(Trace().find("#### Dll attached to xdebug Pipe #### "), std::string::npos);
}

TEST_F(FlashEndToEnd, AnOldImageOnAModelWithoutTypeIsProgrammedRefusedRecordsSentAgain) {
    Files(FlashImage(ImageHeader(0, "F0", "00"), 300, 16), FlashLoaderHex(10), "");
    ModemSim sim(Sim({"--flash-nok", "7:NOK1:1", "--flash-nok", "150:NOK1:4"}));
    CliResult r = Update(sim);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err << Trace();
    // The modem saw each refused record again, and kept only the copy it acknowledged.
    EXPECT_EQ(sim.CountLog("flash-record 7 NOK1"), 1);
    EXPECT_EQ(sim.CountLog("flash-record 7 ok"), 1);
    EXPECT_EQ(sim.CountLog("flash-record 150 NOK1"), 4);
    EXPECT_EQ(sim.CountLog("flash-record 150 ok"), 1);
    EXPECT_EQ(Received("flash-image.hex"), image);
    const std::string trace = Trace();
    EXPECT_NE(trace.find("Old firmware type does not contain type information."),
              std::string::npos);
    EXPECT_NE(trace.find("Resend 4. try!"), std::string::npos);
    EXPECT_EQ(trace.find("Resend 5. try!"), std::string::npos);
}

TEST_F(FlashEndToEnd, ARecordNeverAcknowledgedFailsTheUpdateAndNothingFollowsIt) {
    Files(usbImage, FlashLoaderHex(10));
    ModemSim sim(Sim({"--flash-nok", "5:NOK1:always"}));
    CliResult r = Update(sim);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find(kSuccess), std::string::npos);
    EXPECT_EQ(sim.CountLog("flash-record 5 NOK1"), 11) << "the first try and ten resends";
    std::vector<std::string> lines = sim.LogLines();
    const long first = LogIndex(sim, "flash-record 0 ok");
    ASSERT_GE(first, 0);
    for (std::size_t i = static_cast<std::size_t>(first); i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].rfind("flash-record ", 0) == 0 &&
                    lines[i].find("flash-record 6") == std::string::npos)
            << "after the refused record: " << lines[i];
    }
    EXPECT_EQ(Received("flash-image.hex"), FirstLines(image, 5)) << "programmed up to it";
}

TEST_F(FlashEndToEnd, AnOlderLoaderIsRefusedForAUsbModem) {
    Files(usbImage, FlashLoaderHex(10));
    ModemSim sim(Sim({"--flash-loader-version", "4.3"}));
    CliResult r = Update(sim);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_EQ(sim.CountLog("flash-loader-record 9 ok"), 1) << "the loader went";
    EXPECT_EQ(sim.CountLog("flash-record"), 0) << "no firmware record";
    EXPECT_NE(Trace().find("Wrong Flash Loader..."), std::string::npos);
}

TEST_F(FlashEndToEnd, AnImageForAnotherTypeIsRefusedBeforeTheLoader) {
    Files(FlashImage(ImageHeader(0x1234, "53", "10"), 50), FlashLoaderHex(10), "USB");
    ModemSim sim(Sim({}));
    CliResult r = Update(sim);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_EQ(sim.CountLog("at AT&&FE"), 1) << "the modem was probed";
    EXPECT_EQ(sim.CountLog("flash-loader-record"), 0);
    EXPECT_NE(Trace().find("Wrong type of modem"), std::string::npos);
}

TEST_F(FlashEndToEnd, ACorruptImageIsRefusedBeforeTheModemIsTouched) {
    std::string corrupt = usbImage;
    const std::size_t at = FirstLines(corrupt, 41).size();  // line 42
    corrupt[at + 10] = corrupt[at + 10] == 'A' ? 'B' : 'A';
    Files(corrupt, FlashLoaderHex(10));
    ModemSim sim(Sim({}));
    CliResult r = Update(sim);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_NE(Trace().find("image.hex refused: line 42: checksum does not match"),
              std::string::npos)
        << Trace();
    EXPECT_EQ(sim.CountLog("at AT&&FE"), 0);
    EXPECT_EQ(sim.CountLog("flash-"), 0);
}

}  // namespace
