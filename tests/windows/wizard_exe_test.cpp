// Wizard.exe as a user runs it, under wine on an X server of its own, with
// modemsim on the pseudo-terminal that the prefix knows as a COM port. The
// program's test autopilot presses the sheet's buttons and writes down
// what each page showed (controls by id) before it moved on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "platform/process.h"
#include "platform/translation.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wine_env.h"
#include "wizard/engine/page_controls.h"
#include "wizard/flow/wizard_flow.h"
#include "wizard/resources/strings.h"

namespace {

using test_support::ModemSim;

constexpr DWORD kRunTimeoutMs = 120000;
constexpr const char* kModel = "ORVA 56K Serial";
constexpr int kManualBoxId = 1002;
constexpr int kModelBoxId = 1024;
constexpr int kHeaderTitleId = 65520;

using test_support::Env;
using test_support::WindowsPath;

const std::string kPort = Env("WIZARD_WINE_PORT");
const std::string kLink = Env("WIZARD_WINE_PORT_LINK");

// A user text as the autopilot writes it: on one line.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out;
}

struct Control {
    bool shown = false;
    bool checked = false;
    std::string text;
};

// What a run showed: the pages in the order they appeared, the last report
// of each page, the step lines marked, the boxes, and the exit code.
struct Seen {
    int exitCode = -1;
    std::string log;
    std::vector<int> pages;
    std::map<int, std::map<int, Control>> controls;
    std::map<int, std::string> buttons;
    std::vector<std::string> steps;
    std::vector<std::string> errorBoxes;

    const Control& At(int page, int id) const {
        static const Control none;
        auto p = controls.find(page);
        if (p == controls.end()) {
            return none;
        }
        auto c = p->second.find(id);
        return c != p->second.end() ? c->second : none;
    }
};

Seen Parse(const std::string& log) {
    Seen run;
    run.log = log;
    std::istringstream lines(log);
    std::string line;
    int page = 0;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "Page") {
            int id = 0;
            words >> id;
            run.pages.push_back(id);
        } else if (word == "Report") {
            words >> page;
            run.controls[page].clear();
        } else if (word == "Control") {
            int id = 0;
            std::string shown;
            words >> id >> shown;
            Control control;
            control.shown = shown == "shown";
            std::string rest;
            std::getline(words, rest);
            if (rest.rfind(" checked", 0) == 0 || rest.rfind(" unchecked", 0) == 0) {
                control.checked = rest.rfind(" checked", 0) == 0;
                rest = rest.substr(control.checked ? 8 : 10);
            }
            control.text = rest.empty() ? rest : rest.substr(1);
            run.controls[page][id] = control;
        } else if (word == "Buttons") {
            std::string rest;
            std::getline(words, rest);
            run.buttons[page] = rest.empty() ? rest : rest.substr(1);
        } else if (word == "Step") {
            std::string index, state;
            words >> index >> state;
            run.steps.push_back(index + " " + state);
        } else if (word == "Error") {
            run.errorBoxes.push_back(line.substr(std::string("Error box: ").size()));
        }
    }
    return run;
}

class WizardExe : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(kPort.empty()) << "the test run names the COM port of its wine prefix";
        ASSERT_FALSE(Env("DISPLAY").empty()) << "the test runs on an X server (xvfb-run)";
    }
    void StartSim(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--link", kLink, "--received-dir", dir.File("received"),
                                         "--reboot-delay", "500"});
        sim = std::make_unique<ModemSim>();
        std::string error;
        ASSERT_TRUE(sim->Start(options, &error)) << error;
    }
    void Config(const std::string& common, const std::string& models) {
        firmware = test_support::FirmwareFile("2.31", 20000);
        dir.Write("fw.bin", firmware);
        dir.Write("Wizard.inf", "[Common]\n" + common + "\n" + models);
    }
    static std::string Model(const std::string& name, const std::string& file = "fw.bin") {
        return "[" + name + "]\nUploadFile=" + file +
               "\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n\n";
    }
    Seen Wizard(std::vector<std::string> args, platform::EnvironmentAdditions env = {},
                const std::string& config = "") {
        const std::string log = dir.File("autopilot.log");
        std::filesystem::remove(log);
        args.insert(args.end(),
                    {"--config", WindowsPath(config.empty() ? dir.File("Wizard.inf") : config),
                     "--ports", kPort});
        std::vector<std::string> argv = {Env("WINELOADER"),
                                         Env("WIZARD_WINDOWS_BIN_DIR") + "/Wizard.exe"};
        argv.insert(argv.end(), args.begin(), args.end());
        env.push_back({"WIZARD_TEST_AUTOPILOT", WindowsPath(log)});
        env.push_back({"WIZARD_TEST_ANSWER_BOXES", "1"});
        platform::ProcessResult r = platform::RunProcess(argv, kRunTimeoutMs, env);
        EXPECT_TRUE(r.started) << r.startError;
        EXPECT_FALSE(r.timedOut);
        Seen run = Parse(test_support::ReadFileBytes(log));
        run.exitCode = r.timedOut ? -1 : r.exitCode;
        return run;
    }
    static std::string English(int id) { return OneLine(wizard::Texts().English(id)); }

    test_support::TempDir dir{"wizard-exe"};
    std::unique_ptr<ModemSim> sim;
    std::string firmware;
};

TEST_F(WizardExe, TheAutomaticFlowUpdatesTheModemStepByStep) {
    Config("", Model(kModel));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--model", kModel}));
    Seen run = Wizard({});
    ASSERT_EQ(run.exitCode, 0) << run.log;
    EXPECT_EQ(run.pages, (std::vector<int>{flow::kWelcomePage, flow::kConfigurationPage,
                                           flow::kSearchPage, flow::kUpdatePage}))
        << run.log;
    EXPECT_EQ(run.At(flow::kSearchPage, IDC_SEARCH_RESULT).text, English(wizard::IDS_SEARCH_FOUND));
    EXPECT_EQ(run.At(flow::kSearchPage, IDC_SEARCH_PORT_LINE).text, "Checking " + kPort);
    EXPECT_EQ(run.steps, (std::vector<std::string>{"0 on", "0 off", "1 on", "1 off"})) << run.log;
    EXPECT_EQ(run.At(flow::kUpdatePage, IDC_STEP_LINE_FIRST).text,
              English(wizard::IDS_STEP_INITIALIZING));
    EXPECT_TRUE(run.At(flow::kUpdatePage, IDC_STEP_LINE_FIRST + 1).shown);
    EXPECT_FALSE(run.At(flow::kUpdatePage, IDC_STEP_LINE_FIRST + 2).shown);
    EXPECT_EQ(run.At(flow::kUpdatePage, IDC_PROGRESS_TEXT).text, English(wizard::IDS_SUCCESS));
    EXPECT_EQ(run.buttons[flow::kUpdatePage], "finish cancel");
    EXPECT_TRUE(test_support::SameButPadding(firmware, dir.Read("received/firmware.bin")));
}

// In German (the language wine takes from LANG), over every page: the
// chosen pair is confirmed and updated; the later look token wins.
TEST_F(WizardExe, TheManualPairIsConfirmedInGermanInTheNewLook) {
    Config("", Model("Other Modem") + Model(kModel));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--model", kModel}));
    Seen run = Wizard(
        {"/OLDWIZ", "/newwiz"},
        {{"LANG", "de_DE.UTF-8"}, {"WIZARD_TEST_MANUAL", "1"}, {"WIZARD_TEST_MODEL", kModel}});
    ASSERT_EQ(run.exitCode, 0) << run.log;
    EXPECT_NE(run.log.find("Look new"), std::string::npos);
    EXPECT_EQ(run.pages,
              (std::vector<int>{flow::kWelcomePage, flow::kConfigurationPage, flow::kSelectionPage,
                                flow::kSearchPage, flow::kUpdatePage}))
        << run.log;
    EXPECT_FALSE(run.At(flow::kConfigurationPage, kHeaderTitleId).shown)
        << "the sheet draws the header of the new look";
    EXPECT_EQ(run.At(flow::kSelectionPage, kModelBoxId).text, kModel);
    EXPECT_EQ(run.buttons[flow::kUpdatePage], "finish cancel");
    // Texts of the string tables and of the engine's catalogue alike.
    const std::vector<std::pair<int, int>> german = {
        {flow::kWelcomePage, 1201},
        {flow::kConfigurationPage, kManualBoxId},
        {flow::kSelectionPage, 1011},
        {flow::kSearchPage, IDC_SEARCH_RESULT},
        {flow::kUpdatePage, IDC_PROGRESS_TEXT},
    };
    const std::vector<std::string> expected = {
        "Willkommen beim", "Keine automatische Erkennung durchführen", "Anschluss:",
        "Es wurde ein Modem gefunden, dessen Firmware aktualisiert werden kann. Klicken Sie auf "
        "\"Weiter\", um fortzufahren.",
        "Der Vorgang wurde erfolgreich abgeschlossen!"};
    for (std::size_t i = 0; i < german.size(); ++i) {
        EXPECT_EQ(run.At(german[i].first, german[i].second).text, expected[i])
            << "page " << german[i].first;
    }
    EXPECT_TRUE(test_support::SameButPadding(firmware, dir.Read("received/firmware.bin")));
}

TEST_F(WizardExe, APairTheModemDoesNotConfirmLeavesOnlyBackInTheOldLook) {
    Config("", Model(kModel) + Model("Other Modem"));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--model", kModel}));
    Seen run = Wizard({"/newwiz", "/OLDWIZ"},
                      {{"WIZARD_TEST_MANUAL", "1"}, {"WIZARD_TEST_MODEL", "Other Modem"}});
    ASSERT_EQ(run.exitCode, 0) << run.log;
    EXPECT_NE(run.log.find("Look old"), std::string::npos);
    EXPECT_EQ(run.At(flow::kConfigurationPage, kHeaderTitleId).text,
              English(wizard::IDS_CONFIG_HEADER_TITLE))
        << "the old look's header is a control of the page";
    EXPECT_EQ(run.At(flow::kSearchPage, IDC_SEARCH_STATUS_LINE).text,
              English(wizard::IDS_NO_COMPATIBLE_MODEM));
    EXPECT_EQ(run.At(flow::kSearchPage, IDC_SEARCH_RESULT).text,
              English(wizard::IDS_SEARCH_NOT_FOUND));
    EXPECT_EQ(run.buttons[flow::kSearchPage], "back cancel");
    EXPECT_EQ(run.pages.back(), flow::kSearchPage) << "no update without a confirmed pair";
    EXPECT_FALSE(std::filesystem::exists(dir.File("received/firmware.bin")));
}

// A modem an interrupted update left in its boot loader is not found, and a
// box names its port and the command that loads its firmware.
TEST_F(WizardExe, AModemWaitingInItsBootLoaderIsNamedWithTheCommandThatLoadsIt) {
    Config("", Model(kModel));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--model", kModel, "--loader"}));
    Seen run = Wizard({});
    ASSERT_EQ(run.exitCode, 0) << run.log;
    EXPECT_EQ(run.At(flow::kSearchPage, IDC_SEARCH_RESULT).text,
              English(wizard::IDS_SEARCH_NOT_FOUND));
    EXPECT_NE(run.log.find("Message box: A modem is waiting in its boot loader on " + kPort +
                           ". To load its firmware, run this command:"),
              std::string::npos)
        << run.log;
    EXPECT_NE(run.log.find("\\wizard-cli.exe recover --config "), std::string::npos) << run.log;
    EXPECT_NE(run.log.find(" --port " + kPort + " --model \"" + kModel + "\""), std::string::npos)
        << run.log;
    EXPECT_FALSE(std::filesystem::exists(dir.File("received/firmware.bin")));
}

// Without an AT interpreter the pair is chosen and goes to the update
// unchecked; a firmware file that is not there ends the update fatally.
TEST_F(WizardExe, WithoutAnAtInterpreterTheSearchIsSkippedAndAMissingFileIsFatal) {
    Config("NoATInterpreter=1\n", Model(kModel, "missing.bin"));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--model", kModel}));
    Seen run = Wizard({}, {{"WIZARD_TEST_MODEL", kModel}});
    EXPECT_EQ(run.exitCode, 1) << run.log;
    EXPECT_EQ(run.pages, (std::vector<int>{flow::kWelcomePage, flow::kConfigurationPage,
                                           flow::kSelectionPage, flow::kUpdatePage}))
        << run.log;
    const Control& box = run.At(flow::kConfigurationPage, kManualBoxId);
    EXPECT_FALSE(box.shown);
    EXPECT_TRUE(box.checked);
    EXPECT_EQ(run.errorBoxes, std::vector<std::string>{English(wizard::IDS_FIRMWARE_FILE_MISSING)})
        << run.log;
    EXPECT_EQ(sim->CountLog("at AT+GMM"), 0) << "the modem was not asked";
}

TEST_F(WizardExe, AProgramDirectoryThatCannotBeMadeCurrentEndsTheProgram) {
    Seen run = Wizard({}, {}, dir.File("gone/Wizard.inf"));
    EXPECT_EQ(run.exitCode, 1) << run.log;
    EXPECT_EQ(run.errorBoxes, std::vector<std::string>{English(wizard::IDS_PROGRAM_PATH)})
        << run.log;
    EXPECT_TRUE(run.pages.empty()) << "no sheet";
}

// The transfer progress dialog of the program's resources, in a test
// program of its own on this X server; its cases are the dialog's.
TEST(NativeTransferDialogOnWine, TheDialogsOwnCasesPass) {
    const std::string exe = Env("WIZARD_WINDOWS_TEST_DIR") + "/native_transfer_dialog_tests.exe";
    ASSERT_TRUE(std::filesystem::exists(exe)) << exe;
    platform::ProcessResult r = platform::RunProcess({Env("WINELOADER"), exe}, kRunTimeoutMs);
    ASSERT_TRUE(r.started) << r.startError;
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.stdoutText << r.stderrText;
    EXPECT_NE(r.stdoutText.find("[  PASSED  ] 3 tests"), std::string::npos) << r.stdoutText;
}

}  // namespace
