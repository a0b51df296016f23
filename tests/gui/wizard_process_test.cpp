// The Wizard program as a user runs it, walked through by its autopilot
// (Next whenever it can, Finish when offered), with message boxes answered
// and their texts on stderr: exit codes, page order, step order, start-up
// and fatal errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/paths.h"
#include "platform/process.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"
#include "wizard/gui/autopilot.h"
#include "wizard/gui/message_box.h"

namespace {

constexpr DWORD kRunTimeoutMs = 90000;
constexpr const char* kModel = "ORVA 56K Serial";

class WizardProgram : public ::testing::Test {
  protected:
    platform::ProcessResult Run(std::vector<std::string> args,
                                platform::EnvironmentAdditions env = {}) {
        args.insert(args.begin(), test_support::ProgramPath("Wizard"));
        // English unless the test asks for a language; the test's own settings come last.
        platform::EnvironmentAdditions all = {{"QT_QPA_PLATFORM", "offscreen"},
                                              {gui::kAutopilotVariable, "1"},
                                              {gui::kAnswerBoxesVariable, "1"},
                                              {"LANGUAGE", ""},
                                              {"LC_ALL", ""},
                                              {"LC_MESSAGES", ""},
                                              {"LANG", "C"}};
        all.insert(all.end(), env.begin(), env.end());
        platform::ProcessResult result = platform::RunProcess(args, kRunTimeoutMs, all);
        EXPECT_TRUE(result.started) << result.startError;
        EXPECT_FALSE(result.timedOut) << result.stderrText;
        return result;
    }
    // The autopilot's reports ("Page ...", "Step ...") in order.
    static std::vector<std::string> Reports(const std::string& stderrText,
                                            const std::string& kind) {
        std::vector<std::string> lines;
        std::istringstream in(stderrText);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(kind + " ", 0) == 0) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    std::vector<std::string> Sim(std::vector<std::string> options) {
        options.insert(options.end(), {"--model", kModel, "--reboot-delay", "500", "--received-dir",
                                       dir.File("received")});
        return options;
    }
    void Config(const std::string& common, const std::string& keys) {
        dir.Write("Wizard.inf", "[Common]\n" + common + "\n[" + kModel + "]\n" + keys);
    }

    test_support::TempDir dir{"wizard-program"};
};

TEST_F(WizardProgram, AnAutomaticUpdateEndsWithExitCodeZero) {
    const std::string firmware = test_support::FirmwareFile("2.31", 5000);
    dir.Write("fw.bin", firmware);
    Config("", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n");
    test_support::ModemSim sim(Sim({}));
    platform::ProcessResult r =
        Run({"--config", dir.File("Wizard.inf"), "--ports", "/dev/no-such-port," + sim.PortPath()});
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    EXPECT_EQ(Reports(r.stderrText, "Page"),
              (std::vector<std::string>{"Page 1105", "Page 1108", "Page 1106", "Page 1112"}));
    EXPECT_EQ(Reports(r.stderrText, "Step"),
              (std::vector<std::string>{"Step 0 on", "Step 0 off", "Step 1 on", "Step 1 off"}));
    EXPECT_TRUE(test_support::SameButPadding(firmware, dir.Read("received/firmware.bin")));
}

TEST_F(WizardProgram, WithoutAtInterpreterTheChosenPairIsUpdatedWithoutSearch) {
    const std::string firmware = test_support::FirmwareFile("2.31", 2000);
    dir.Write("fw.bin", firmware);
    Config("NoATInterpreter=1", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n");
    test_support::ModemSim sim(Sim({"--no-at", "--power-cycle-delay", "1000"}));
    platform::ProcessResult r =
        Run({"--config", dir.File("Wizard.inf"), "--ports", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    EXPECT_EQ(Reports(r.stderrText, "Page"),
              (std::vector<std::string>{"Page 1105", "Page 1108", "Page 1109", "Page 1112"}));
    EXPECT_TRUE(test_support::SameButPadding(firmware, dir.Read("received/firmware.bin")));
    EXPECT_EQ(sim.CountLog("at "), 0) << "nothing asked of a modem without AT interpreter";
}

TEST_F(WizardProgram, AFatalErrorDuringTheUpdateShowsItsBoxAndEndsWithExitCodeOne) {
    // The model expects a flash loader at the end of the file, and there is none.
    dir.Write("fw.bin", test_support::FirmwareFile("2.31", 70000));
    Config("", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_MODEM\n");
    test_support::ModemSim sim(Sim({"--upload-modem"}));
    platform::ProcessResult r =
        Run({"--config", dir.File("Wizard.inf"), "--ports", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 1) << r.stderrText;
    EXPECT_NE(r.stderrText.find("Message box: Error during firmware upload!\nEnsure that the modem "
                                "is switched on"),
              std::string::npos)
        << r.stderrText;
    EXPECT_EQ(Reports(r.stderrText, "Step").front(), "Step 0 on");
    EXPECT_EQ(sim.CountLog("received firmware"), 0);
}

TEST_F(WizardProgram, AFailedUpdateNamesTheFolderThatKeepsTheModemsFilesInItsBox) {
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Sarnet_Plugin.so"),
                                   dir.File("Sarnet_Plugin.so")));
    dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
    dir.Write("store/a.dat", "the modem's own file");
    dir.Write("store/b.dat", "another one");
    Config("", "UploadFile=fw.bin\nUploadCommand=AT$UPLOAD\nDLLName=Sarnet_Plugin.so\n");
    // The first file is saved; the modem will not send the second.
    test_support::ModemSim sim(
        Sim({"--store", dir.File("store"), "--fault-refuse", "AT$JDNL=\"b.dat\""}));
    platform::ProcessResult r = Run({"--config", dir.File("Wizard.inf"), "--ports", sim.PortPath()},
                                    {{"XDG_STATE_HOME", dir.File("state")}, {"LANGUAGE", "de"}});
    EXPECT_EQ(r.exitCode, 1) << r.stderrText;
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("state/Sarnet_Plugin"))) {
        folders.push_back(entry.path().string());
    }
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(test_support::ReadFileBytes(folders[0] + "/1"), "the modem's own file");
    // The plug-in's error text, then the folder, in the user's language.
    EXPECT_NE(
        r.stderrText.find("\n\nDie Dateien des Modems werden in " + folders[0] + " aufbewahrt\n"),
        std::string::npos)
        << r.stderrText;
}

TEST_F(WizardProgram, APlugInOfAnotherVersionEndsTheUpdateWithItsBox) {
    // The worker finds the conflict while binding the plug-in, on its own thread.
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Step_Plugin_V2.so"),
                                   dir.File("Step_Plugin_V2.so")));
    dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
    Config("NoATInterpreter=1", "UploadFile=fw.bin\nDLLName=Step_Plugin_V2.so\n");
    platform::ProcessResult r =
        Run({"--config", dir.File("Wizard.inf"), "--ports", "/dev/no-such-port"});
    EXPECT_EQ(r.exitCode, 1) << r.stderrText;
    EXPECT_NE(r.stderrText.find("Message box: Version conflict: plug-in DLL not compatible!"),
              std::string::npos)
        << r.stderrText;
    EXPECT_EQ(Reports(r.stderrText, "Page").back(), "Page 1112");
}

TEST_F(WizardProgram, AProgramDirectoryThatCannotBeEnteredEndsTheStartInTheUsersLanguage) {
    platform::ProcessResult r = Run({"--config", dir.File("missing/Wizard.inf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.stderrText.find("Message box: Could not set program path!"), std::string::npos)
        << r.stderrText;
    EXPECT_TRUE(Reports(r.stderrText, "Page").empty()) << "no page was shown";

    r = Run({"--config", dir.File("missing/Wizard.inf")}, {{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.stderrText.find("Message box: Der Programmpfad konnte nicht gesetzt werden!"),
              std::string::npos)
        << r.stderrText;
}

TEST_F(WizardProgram, AWizardInfWithoutModelsEndsOnTheConfigurationPage) {
    dir.Write("Wizard.inf", "[Common]\nComList=OpenComOneToNine\n");
    platform::ProcessResult r = Run({"--config", dir.File("Wizard.inf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.stderrText.find("Message box: Error while processing the INI file."),
              std::string::npos)
        << r.stderrText;
    EXPECT_EQ(Reports(r.stderrText, "Page"), (std::vector<std::string>{"Page 1105", "Page 1108"}));
}

TEST_F(WizardProgram, ADeveloperOptionWithoutValueIsAUsageError) {
    platform::ProcessResult r = Run({"/oldwiz", "--config"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.stderrText.find("--config needs a value"), std::string::npos) << r.stderrText;
}

TEST_F(WizardProgram, TheGuiDemoUpdatesItsSimulatedModemThroughTheWizard) {
    std::vector<std::string> argv = {test_support::ProgramPath("wizard-cli"),
                                     "demo",
                                     "--gui",
                                     "--model",
                                     "ORVA 33K Basic",
                                     "--size",
                                     "4",
                                     "--rate",
                                     "0"};
    platform::ProcessResult r = platform::RunProcess(
        argv, kRunTimeoutMs,
        {{"QT_QPA_PLATFORM", "offscreen"}, {gui::kAutopilotVariable, "1"}, {"LANG", "C"}});
    EXPECT_EQ(r.exitCode, 0) << r.stdoutText << r.stderrText;
    EXPECT_NE(r.stdoutText.find("The simulated modem received the firmware byte for byte."),
              std::string::npos)
        << r.stdoutText;
    EXPECT_EQ(Reports(r.stderrText, "Page").back(), "Page 1112") << "the wizard did the update";
}

}  // namespace
