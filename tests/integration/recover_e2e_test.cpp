// A modem that an interrupted update left in its boot loader: the search
// points at it, and wizard-cli recover loads its firmware and offers the
// kept copies of its files back.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "platform/paths.h"
#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/json_lines.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::CliResult;
using test_support::ModemSim;

namespace {

namespace fs = std::filesystem;

constexpr DWORD kRecoverTimeoutMs = 150000;
constexpr const char* kModel = "ORVA 56K Serial";
constexpr const char* kSuccess = "The operation was concluded successfully!";
constexpr const char* kUploadError = "Error during firmware upload!";

// What is on the port: a loader that takes a flash loader and then the
// firmware, a loader that takes the firmware alone, or a dead modem.
enum class Waiting { kFlashLoaderFirst, kFirmwareOnly, kNothing };

// One modem waiting in its loader, with the Wizard.inf of its model.
struct LoaderModem {
    explicit LoaderModem(std::vector<std::string> options,
                         Waiting waiting = Waiting::kFlashLoaderFirst)
        : withLoader(waiting == Waiting::kFlashLoaderFirst) {
        const std::uint32_t image = 20000;
        firmware = test_support::FirmwareFile("2.31", image, 2000);
        loader = test_support::LoaderOf(firmware, image);
        dir.Write("fw.bin", firmware);
        dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kModel +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=" +
                                    (withLoader ? "UPLOAD_MODEM " : "") + "UPLOAD_SUPPORTED_1K\n");
        if (waiting != Waiting::kNothing) {
            options.insert(options.end(), {"--loader", "--received-dir", dir.File("received"),
                                           "--reboot-delay", "500"});
        }
        if (withLoader) {
            options.push_back("--upload-modem");
        }
        sim = std::make_unique<ModemSim>(options);
    }
    CliResult Recover() const {
        return test_support::RunCli({"recover", "--config", dir.File("Wizard.inf"), "--port",
                                     sim->PortPath(), "--model", kModel, "--yes"},
                                    kRecoverTimeoutMs);
    }
    bool Loaded() const {
        return (!withLoader ||
                test_support::SameButPadding(loader, dir.Read("received/loader.bin"))) &&
               test_support::SameButPadding(firmware, dir.Read("received/firmware.bin"));
    }

    test_support::TempDir dir{"recover-e2e"};
    std::string firmware;
    std::string loader;
    bool withLoader;
    std::unique_ptr<ModemSim> sim;
};

TEST(RecoverEndToEnd, TheLoaderIsFoundAtEachOfItsSpeeds) {
    // Each recovery waits seconds for the restarted modem: they run side by side.
    const std::vector<const char*> speeds = {"115200", "57600", "56000", "38400",
                                             "19200",  "14400", "9600"};
    std::vector<std::unique_ptr<LoaderModem>> modems;
    for (const char* baud : speeds) {
        modems.push_back(
            std::make_unique<LoaderModem>(std::vector<std::string>{"--loader-baud", baud}));
    }
    std::vector<CliResult> results(speeds.size());
    std::vector<std::thread> runs;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        runs.emplace_back([&, i] { results[i] = modems[i]->Recover(); });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        SCOPED_TRACE(speeds[i]);
        const CliResult& r = results[i];
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_NE(r.out.find(kSuccess), std::string::npos) << r.out;
        EXPECT_TRUE(modems[i]->Loaded());
        EXPECT_GE(modems[i]->sim->CountLog("at AT"), 1) << "the restarted modem was probed";
        EXPECT_EQ(modems[i]->sim->CountLog("at AT$UPLOAD"), 0)
            << "a waiting loader needs no upload command";
    }
}

TEST(RecoverEndToEnd, ALoaderThatFallsSilentHalfWayFailsClearlyAndASecondRecoverLoadsIt) {
    LoaderModem modem({"--fault-silent-at-block", "8", "--fault-firmware"}, Waiting::kFirmwareOnly);
    CliResult first = modem.Recover();
    EXPECT_EQ(first.exitCode, 1) << first.out << first.err;
    EXPECT_NE(first.err.find(kUploadError), std::string::npos) << first.err;
    EXPECT_NE(first.err.find("the boot loader stopped answering after "), std::string::npos)
        << first.err;
    EXPECT_NE(first.err.find("run the same command again"), std::string::npos) << first.err;
    EXPECT_EQ(first.out.find(kSuccess), std::string::npos);
    EXPECT_EQ(modem.sim->CountLog("at AT"), 0) << "no modem to probe yet";

    CliResult second = modem.Recover();
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    EXPECT_NE(second.out.find(kSuccess), std::string::npos) << second.out;
    EXPECT_TRUE(modem.Loaded());
}

TEST(RecoverEndToEnd, APortWithNothingOnItFailsAndSaysSo) {
    LoaderModem modem({"--silent"}, Waiting::kNothing);
    CliResult r = modem.Recover();
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(kUploadError), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no boot loader answered on " + modem.sim->PortPath()), std::string::npos)
        << r.err;
    EXPECT_EQ(modem.sim->CountLog("received"), 0);
}

TEST(RecoverEndToEnd, TheSearchPointsAtAModemWaitingInItsLoaderAtAnySpeed) {
    // Text at the port's own speed and at a lower one, and JSON; side by side.
    LoaderModem fast({}), slow({"--loader-baud", "19200"}), json({});
    const auto search = [](const LoaderModem& modem, bool asJson) {
        std::vector<std::string> args = {"search", "--config", modem.dir.File("Wizard.inf"),
                                         "--ports", modem.sim->PortPath()};
        if (asJson) {
            args.push_back("--json");
        }
        return test_support::RunCli(args, kRecoverTimeoutMs);
    };
    CliResult fastText, slowText, events;
    std::thread a([&] { fastText = search(fast, false); });
    std::thread b([&] { slowText = search(slow, false); });
    events = search(json, true);
    a.join();
    b.join();
    for (const auto& [modem, text] :
         {std::pair<const LoaderModem*, const CliResult*>{&fast, &fastText}, {&slow, &slowText}}) {
        const std::string port = modem->sim->PortPath();
        EXPECT_EQ(text->exitCode, 1);
        EXPECT_NE(text->err.find("a modem is waiting in its boot loader on " + port +
                                 "; to load its firmware:\n    wizard-cli recover --config " +
                                 modem->dir.File("Wizard.inf") + " --port " + port + " --model \"" +
                                 kModel + "\"\n"),
                  std::string::npos)
            << text->err;
    }
    const std::string port = json.sim->PortPath();
    EXPECT_EQ(events.exitCode, 1);
    std::string bad;
    const std::vector<cli::json::Value> lines = test_support::JsonLines(events.out, &bad);
    EXPECT_TRUE(bad.empty()) << bad;
    int seen = 0;
    for (const cli::json::Value& event : lines) {
        if (event.String("event") == "in-loader") {
            ++seen;
            EXPECT_EQ(event.String("port"), port);
            EXPECT_EQ(event.String("text"), "a modem is waiting in its boot loader on " + port);
            EXPECT_EQ(event.String("command"), "wizard-cli recover --config " +
                                                   json.dir.File("Wizard.inf") + " --port " + port +
                                                   " --model \"" + kModel + "\"");
        }
    }
    EXPECT_EQ(seen, 1) << events.out;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(test_support::EventNames(lines).back(), "result");
}

TEST(RecoverEndToEnd, AModemWhoseFilesWereKeptGetsThemBackAfterItsFirmware) {
    test_support::TempDir dir{"recover-kept"};
    fs::create_directories(dir.File("state"));
    fs::create_directories(dir.File("tmp"));
    const platform::EnvironmentAdditions env = {{"TMPDIR", dir.File("tmp")},
                                                {"XDG_STATE_HOME", dir.File("state")}};
    dir.Write("store/notes.txt", "numbers to call\n");
    dir.Write("store/table.bin", std::string(300, '\x07'));
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Sarnet_Plugin.so"),
                                   dir.File("Sarnet_Plugin.so")));
    dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
    dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kModel +
                                "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                "UploadType=UPLOAD_SUPPORTED_1K\nDLLName=Sarnet_Plugin.so\n");
    // The update is cut off in the firmware: the files are kept, the modem
    // waits in its loader, and its store has lost them.
    ModemSim sim({"--store", dir.File("store"), "--store-trim-padding", "--reboot-delay", "300",
                  "--jfclr-delay", "100", "--fault-can-at-block", "2", "--fault-firmware"});
    CliResult update = test_support::RunCli({"update", "--config", dir.File("Wizard.inf"), "--yes",
                                             "--port", sim.PortPath(), "--model", kModel},
                                            kRecoverTimeoutMs, env);
    ASSERT_EQ(update.exitCode, 1) << update.out << update.err;
    ASSERT_NE(update.err.find("The modem's files are kept in "), std::string::npos) << update.err;
    fs::remove(dir.File("store/notes.txt"));
    fs::remove(dir.File("store/table.bin"));

    CliResult r = test_support::RunCli({"recover", "--config", dir.File("Wizard.inf"), "--port",
                                        sim.PortPath(), "--model", kModel, "--yes"},
                                       kRecoverTimeoutMs, env);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(kSuccess), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Copies of the files of a ORVA 56K Serial are kept in "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Every file is back in the modem; "), std::string::npos) << r.out;
    EXPECT_EQ(dir.Read("store/notes.txt"), "numbers to call\n");
    EXPECT_EQ(dir.Read("store/table.bin"), std::string(300, '\x07'));
    EXPECT_TRUE(fs::is_empty(dir.File("state/Sarnet_Plugin"))) << "the kept folder went";
}

TEST(RecoverEndToEnd, AModelWhosePlugInWritesTheFirmwareIsRefusedBeforeThePortIsTouched) {
    test_support::TempDir dir{"recover-flash"};
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Flinta_Plugin.so"),
                                   dir.File("Flinta_Plugin.so")));
    dir.Write("Wizard.inf",
              "[Common]\n\n[ORVA 56K Lucent]\nUploadFile=image.hex\n"
              "DLLName=Flinta_Plugin.so\n");
    ModemSim sim({"--loader"});
    CliResult r = test_support::RunCli({"recover", "--config", dir.File("Wizard.inf"), "--port",
                                        sim.PortPath(), "--model", "orva 56k lucent", "--yes"});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("the firmware of a ORVA 56K Lucent is written by its plug-in "),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(sim.CountLog("garbled"), 0);
    EXPECT_EQ(sim.CountLog("received"), 0);
}

}  // namespace
