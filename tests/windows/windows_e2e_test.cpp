// The Windows programs as a user runs them, under wine, against modemsim
// on the pseudo-terminal that wine's prefix knows as a COM port: the
// simulator links its device at WIZARD_WINE_PORT_LINK, the path the
// prefix maps WIZARD_WINE_PORT (COM5 or COM6) to. What reaches the modem, and what
// the programs say, is compared with what the Linux programs give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <tuple>

#include "platform/process.h"
#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"
#include "tests/support/wine_env.h"

namespace {

namespace fs = std::filesystem;
using test_support::CliResult;
using test_support::ModemSim;

constexpr DWORD kRunTimeoutMs = 120000;
constexpr const char* kSuccess = "The operation was concluded successfully!";

using test_support::Env;
using test_support::WindowsPath;

const std::string kPort = Env("WIZARD_WINE_PORT");
const std::string kLink = Env("WIZARD_WINE_PORT_LINK");

// Runs a Windows program of the build (bin/ or tests/) under wine.
CliResult Wine(const std::string& program, const std::vector<std::string>& args,
               const platform::EnvironmentAdditions& env = {}) {
    std::vector<std::string> argv = {Env("WINELOADER"), program};
    argv.insert(argv.end(), args.begin(), args.end());
    platform::ProcessResult r = platform::RunProcess(argv, kRunTimeoutMs, env);
    EXPECT_TRUE(r.started) << r.startError;
    EXPECT_FALSE(r.timedOut) << program;
    return CliResult{r.timedOut ? -1 : r.exitCode, r.stdoutText, r.stderrText};
}

CliResult WizardCliExe(const std::vector<std::string>& args) {
    return Wine(Env("WIZARD_WINDOWS_BIN_DIR") + "/wizard-cli.exe", args);
}

// The console's line ends: the Windows C library writes CR LF.
std::string Lines(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            out += text[i];
        }
    }
    return out;
}

class WindowsEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(kPort.empty()) << "the test run names the COM port of its wine prefix";
        ASSERT_FALSE(kLink.empty());
    }
    // A simulator behind the COM port: the options every test uses first.
    std::unique_ptr<ModemSim> Sim(std::vector<std::string> options) {
        options.insert(options.begin(), {"--link", kLink, "--received-dir", dir.File("received"),
                                         "--reboot-delay", "500"});
        auto sim = std::make_unique<ModemSim>();
        std::string error;
        EXPECT_TRUE(sim->Start(options, &error)) << error;
        return sim;
    }
    void Config(const std::string& model, const std::string& keys) {
        dir.Write("Wizard.inf", "[Common]\n\n[" + model + "]\n" + keys);
    }
    void PlaceWindowsLibrary(const std::string& file) {
        fs::copy_file(Env("WIZARD_WINDOWS_BIN_DIR") + "/" + file, dir.File(file),
                      fs::copy_options::overwrite_existing);
    }
    CliResult Update(const std::vector<std::string>& more) {
        std::vector<std::string> args = {"update", "--config", WindowsPath(dir.File("Wizard.inf")),
                                         "--yes"};
        args.insert(args.end(), more.begin(), more.end());
        return WizardCliExe(args);
    }
    std::string Received(const std::string& name) const { return dir.Read("received/" + name); }

    test_support::TempDir dir{"windows-e2e"};
};

TEST_F(WindowsEndToEnd, TheLineIsTheDriversUnderItsTimeouts) {
    const std::string tests = Env("WIZARD_WINDOWS_TEST_DIR") + "/win32_line_tests.exe";
    {
        auto sim = Sim({});
        CliResult r = Wine(tests, {"--gtest_filter=-*Unanswered*"}, {{"WIZARD_WINE_PORT", kPort}});
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    }
    // The modem echoes at once and answers only after 8 s.
    auto slow = Sim({"--answer-delay", "8000"});
    CliResult r = Wine(tests, {"--gtest_filter=*Unanswered*"}, {{"WIZARD_WINE_PORT", kPort}});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
}

TEST_F(WindowsEndToEnd, SearchThenUpdateIn1KBlocks) {
    const std::string firmware = test_support::FirmwareFile("2.31", 40000);
    dir.Write("fw.bin", firmware);
    Config("ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n");
    auto sim = Sim({"--model", "ORVA 56K Serial"});
    CliResult r = Update({"--ports", "COM8," + kPort});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::string out = Lines(r.out);
    EXPECT_NE(out.find("Checking COM8"), std::string::npos) << out;
    EXPECT_NE(out.find("ORVA 56K Serial modem found!"), std::string::npos) << out;
    EXPECT_NE(out.find("[2/2] The firmware is being updated..."), std::string::npos) << out;
    EXPECT_NE(out.find(kSuccess), std::string::npos) << out;
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
    EXPECT_EQ(Received("firmware.bin").size() % 1024, 0u) << "1K blocks";
    EXPECT_GE(sim->CountLog("at AT"), 1) << "the restarted modem was probed";
}

TEST_F(WindowsEndToEnd, TheFlashLoaderGoesFirstAtTheLoadersSpeed) {
    const std::uint32_t image = 70000;
    const std::string firmware = test_support::FirmwareFile("2.31", image, 3000);
    dir.Write("fw.bin", firmware);
    Config("ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_MODEM "
           "UPLOAD_SUPPORTED_1K\n");
    auto sim = Sim({"--upload-modem", "--loader-baud", "57600"});
    CliResult r = Update({"--port", kPort, "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(test_support::SameButPadding(test_support::LoaderOf(firmware, image),
                                             Received("loader.bin")));
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
    EXPECT_GE(sim->CountLog("loader-nak-start 57600"), 2);
}

TEST_F(WindowsEndToEnd, TheBackupDllKeepsEveryStoredFile) {
    // Binary content of every kind, with and without the attributes that
    // change the commands.
    std::string attributes;
    unsigned seed = 70;
    for (const auto& [name, fields, size] :
         std::vector<std::tuple<std::string, std::string, std::size_t>>{
             {"big.bin", "1,I", 5000}, {"block.bin", "2,H S", 128}, {"zero.bin", "1,", 0}}) {
        std::string data = test_support::RandomBytes(size, ++seed);
        if (!data.empty() && data.back() == '\x1A') {
            data.back() = 'z';
        }
        dir.Write("store/" + name, data);
        attributes += name + "," + fields + "\n";
    }
    dir.Write("store/.modemsim-attrs", attributes);
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(dir.File("store"))) {
        before[entry.path().filename().string()] =
            test_support::ReadFileBytes(entry.path().string());
    }
    PlaceWindowsLibrary("Sarnet_Plugin.dll");
    const std::string firmware = test_support::FirmwareFile("2.31", 2000);
    dir.Write("fw.bin", firmware);
    Config("ORVA 56K Serial",
           "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n"
           "DLLName=Sarnet_Plugin.dll\n");
    auto sim = Sim({"--store", dir.File("store"), "--store-trim-padding", "--jfclr-delay", "100"});
    CliResult r = Update({"--port", kPort, "--model", "ORVA 56K Serial"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::string out = Lines(r.out);
    for (const char* step :
         {"[2/5] Files are being backed up ...", "[4/5] Modem memory is being reorganized ...",
          "[5/5] Files are being restored ..."}) {
        EXPECT_NE(out.find(step), std::string::npos) << step << "\n" << out;
    }
    std::map<std::string, std::string> after;
    for (const auto& entry : fs::directory_iterator(dir.File("store"))) {
        after[entry.path().filename().string()] =
            test_support::ReadFileBytes(entry.path().string());
    }
    EXPECT_EQ(after, before) << "every file and its fields, byte for byte";
    EXPECT_EQ(sim->CountLog("store-clear"), 1);
    EXPECT_TRUE(test_support::SameButPadding(firmware, Received("firmware.bin")));
}

TEST_F(WindowsEndToEnd, TheFlashDllProgramsTheImageRecordByRecord) {
    PlaceWindowsLibrary("Flinta_Plugin.dll");
    const std::string image =
        test_support::FlashImage(test_support::ImageHeader(0x1234, "55", "10"), 200);
    const std::string loader = test_support::FlashLoaderHex(20);
    dir.Write("image.hex", image);
    dir.Write("loader.hex", loader);
    Config("ORVA 56K USB",
           "DLLName=Flinta_Plugin.dll\nUploadFile=image.hex\nFlashLoader=loader.hex\n"
           "UploadInterface=FLASH\nModemType=USB\n");
    auto sim = Sim(
        {"--flash", "--model", "ORVA 56K USB", "--country", "B5", "--flash-restart-delay", "500"});
    CliResult r = Update({"--port", kPort, "--model", "ORVA 56K USB"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(Lines(r.out).find(kSuccess), std::string::npos);
    EXPECT_EQ(Received("flash-loader.hex"), loader);
    EXPECT_EQ(Received("flash-image.hex"), image);
    EXPECT_EQ(sim->CountLog("country B5"), 1) << "the country is set again afterwards";
}

TEST_F(WindowsEndToEnd, TheFileStoreCommandsDoWhatTheyDoOnLinux) {
    const std::string data = test_support::RandomBytes(3000, 5);
    dir.Write("store/data.bin", data);
    dir.Write("store/notes.txt", "some notes\r\n");
    dir.Write("store/.modemsim-attrs", "data.bin,1,\nnotes.txt,2,H S\n");
    dir.Write("up.bin", test_support::RandomBytes(1500, 6));
    auto sim = Sim({"--store", dir.File("store")});
    const std::string linuxCli = test_support::ProgramPath("wizard-cli");

    // The same listing, as the Linux program prints it.
    CliResult windowsDir = WizardCliExe({"dir", "--port", kPort});
    CliResult linuxDir = test_support::RunCli({"dir", "--port", kLink}, kRunTimeoutMs);
    ASSERT_EQ(windowsDir.exitCode, 0) << windowsDir.out << windowsDir.err;
    ASSERT_EQ(linuxDir.exitCode, 0) << linuxDir.err;
    EXPECT_EQ(Lines(windowsDir.out), linuxDir.out);

    // Down and up again: the bytes the modem holds, as Linux gets them.
    CliResult down = WizardCliExe(
        {"download", "--quiet", "--port", kPort, "data.bin", WindowsPath(dir.File("win.bin"))});
    ASSERT_EQ(down.exitCode, 0) << down.out << down.err;
    CliResult linuxDown = test_support::RunCli(
        {"download", "--quiet", "--port", kLink, "data.bin", dir.File("linux.bin")}, kRunTimeoutMs);
    ASSERT_EQ(linuxDown.exitCode, 0) << linuxDown.err;
    EXPECT_EQ(dir.Read("win.bin"), dir.Read("linux.bin"));
    EXPECT_TRUE(test_support::SameButPadding(data, dir.Read("win.bin")));
    CliResult up = WizardCliExe({"upload", "--quiet", "--port", kPort,
                                 WindowsPath(dir.File("up.bin")), "copy.bin", "3", "I"});
    ASSERT_EQ(up.exitCode, 0) << up.out << up.err;
    EXPECT_TRUE(test_support::SameButPadding(dir.Read("up.bin"), dir.Read("store/copy.bin")));
    EXPECT_NE(dir.Read("store/.modemsim-attrs").find("copy.bin,3,I"), std::string::npos);
}

TEST_F(WindowsEndToEnd, ABusyPortAndAMissingOneAreRefusedAsOnLinux) {
    // One program holds the port for 6 s, waiting for an answer that comes
    // too late.
    auto sim = Sim({"--answer-delay", "20000"});
    platform::Process holder;
    std::string error;
    ASSERT_TRUE(holder.Start({Env("WINELOADER"), Env("WIZARD_WINDOWS_BIN_DIR") + "/wizard-cli.exe",
                              "at", "--port", kPort, "--timeout", "6000", "AT"},
                             {}, platform::ProcessOutput::kCapture, &error))
        << error;
    ASSERT_TRUE(sim->WaitForLog("at AT", 20000)) << "the first program has the port";
    CliResult busy = WizardCliExe({"identify", "--port", kPort});
    EXPECT_EQ(busy.exitCode, 1);
    // As on Linux the holder is named; its pid is the one Windows gave it.
    EXPECT_TRUE(
        std::regex_match(Lines(busy.err), std::regex("wizard-cli: cannot open port " + kPort +
                                                     ": the port is in use by wizard-cli\\.exe "
                                                     "\\(pid [1-9][0-9]*\\)\n")))
        << busy.err;
    EXPECT_TRUE(holder.Wait(30000));
    EXPECT_EQ(holder.ExitCode(), 1) << "no OK in time";

    CliResult missing = WizardCliExe({"identify", "--port", "COM8"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(Lines(missing.err), "wizard-cli: cannot open port COM8: no such port\n");
}

TEST_F(WindowsEndToEnd, APlugInThatCannotServeEndsTheUpdateWithItsText) {
    dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
    dir.Write("Broken.dll", "MZ but no library");
    for (const char* plugin : {"Step_Plugin_V2.dll", "Step_Plugin_NoVersion.dll"}) {
        PlaceWindowsLibrary(plugin);
    }
    auto sim = Sim({});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Step_Plugin_V2.dll", "Version conflict: plug-in DLL not compatible!"},
        {"Step_Plugin_NoVersion.dll", "Version conflict: plug-in DLL not compatible!"},
        {"Missing_Plugin.dll", "Could not set program path!"},
        {"Broken.dll", "Could not set program path!"}};
    for (const auto& [plugin, text] : cases) {
        Config("ORVA 56K Serial", "UploadFile=fw.bin\nDLLName=" + plugin + "\n");
        CliResult r = Update({"--port", kPort, "--model", "ORVA 56K Serial"});
        EXPECT_EQ(r.exitCode, 1) << plugin;
        EXPECT_NE(Lines(r.err).find(text), std::string::npos) << plugin << ": " << r.err;
        EXPECT_EQ(sim->CountLog("at AT$UPLOAD"), 0) << plugin;
    }
}

}  // namespace
