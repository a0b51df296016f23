// wizard-cli models, run as a process against real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

namespace fs = std::filesystem;
using test_support::RunCli;

std::string Header(char type, const char* version) {
    std::string bytes(128, '\0');
    bytes.replace(62, 3, "ORV");
    bytes[65] = type;
    bytes.replace(80, 4, version, 4);
    bytes[57] = 100;  // image length 100
    return bytes;
}

// The lines of text between the heading of one model and the next heading.
std::string ModelBlock(const std::string& out, const std::string& model) {
    std::string::size_type start = out.find("Model \"" + model + "\"");
    if (start == std::string::npos) {
        return "";
    }
    std::string::size_type end = out.find("\n\n", start);
    return out.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(ModelsCommand, ExplainsTheExampleConfiguration) {
    std::string config = test_support::SourceDir() + "/examples/Wizard.inf";
    test_support::CliResult result = RunCli({"models", "--config", config});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_NE(out.find("VersionInfo:      firmware/orva56s_231.bin - version 2.31, type L"),
              std::string::npos)
        << out;

    std::string plain = ModelBlock(out, "ORVA 56K Serial");
    EXPECT_NE(plain.find("header:           version 2.31, type L, image 2048 bytes"),
              std::string::npos)
        << plain;
    EXPECT_NE(plain.find("flags 2 (UPLOAD_SUPPORTED_1K)"), std::string::npos);
    EXPECT_NE(plain.find("accepts \"ORVA\", \"VARRONA\""), std::string::npos);
    EXPECT_EQ(plain.find("warning"), std::string::npos) << plain;

    std::string backup = ModelBlock(out, "Varrona ISDN Box");
    EXPECT_NE(backup.find("version 4.12, type F, image 3000 bytes"), std::string::npos);
    EXPECT_NE(backup.find("640 bytes in the firmware file from offset 3584"), std::string::npos)
        << backup;
    EXPECT_NE(backup.find("Sarnet_Plugin.so"), std::string::npos);

    std::string flash = ModelBlock(out, "ORVA 56K USB");
    EXPECT_NE(flash.find("none: an Intel HEX image"), std::string::npos) << flash;
    EXPECT_NE(flash.find("firmware/flashldr_43.hex"), std::string::npos);
    EXPECT_NE(flash.find("ModemType:        USB"), std::string::npos);

    // The plug-ins are not beside the example: the only two warnings.
    EXPECT_NE(out.find("3 models, 2 warnings"), std::string::npos) << out;
}

class ModelsProblems : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* plugin : {"Test_Plugin_v1.so", "Test_Plugin_v2.so"}) {
            fs::copy_file(test_support::BinDir() + "/" + plugin, dir.File(plugin));
        }
        dir.Write("fw.bin", Header('L', "1.07") + std::string(200, 'i'));
        dir.Write("bad.bin", Header('X', "1.07") + std::string(200, 'i'));
        dir.Write("garbage.so", "not a library");
    }
    test_support::CliResult Run(const std::string& wizardInf) {
        dir.Write("Wizard.inf", wizardInf);
        return RunCli({"models", "--config", dir.File("Wizard.inf")});
    }
    test_support::TempDir dir;
};

TEST_F(ModelsProblems, APlugInIsLoadedAndItsVersionAndEntryPointsShown) {
    test_support::CliResult result =
        Run("[Good]\nUploadFile=fw.bin\nDLLName=Test_Plugin_v1.so\n"
            "[Newer]\nUploadFile=fw.bin\nDLLName=Test_Plugin_v2.so\n"
            "[Broken]\nUploadFile=fw.bin\nDLLName=garbage.so\n"
            "[Absent]\nUploadFile=fw.bin\nDLLName=absent.so\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string good = ModelBlock(result.out, "Good");
    EXPECT_NE(good.find("loads; interface version 1; exports GetVersionNumber, PreSteps"),
              std::string::npos)
        << good;
    EXPECT_NE(good.find("transfer:         by the wizard (XModem)"), std::string::npos);
    EXPECT_EQ(good.find("warning"), std::string::npos) << good;
    EXPECT_NE(ModelBlock(result.out, "Newer").find("interface version 2; the wizard accepts 1"),
              std::string::npos);
    EXPECT_NE(ModelBlock(result.out, "Broken").find("warning: plug-in cannot be loaded: "),
              std::string::npos);
    EXPECT_NE(ModelBlock(result.out, "Absent")
                  .find("warning: plug-in not found: " + dir.File("absent.so")),
              std::string::npos);
}

TEST_F(ModelsProblems, EveryProblemOfAModelIsNamed) {
    test_support::CliResult result =
        Run("[Common]\nComList=COM3,COM4\nNoATInterpreter=yes\nVersionInfo=bad.bin\nSpeed=1\n"
            "[Messy]\n"
            "UploadFile=bad.bin\n"
            "UploadType=upload_modem UPLOAD_SUPPORTED_1K FAST\n"
            "Baudrate=40000\n"
            "ModemBrand=ALPHA, BETA,,GAMMA\n"
            "UploadInterface=LUCENT\n"
            "FlashLoader=loader.bin\n"
            "UploadFil=typo.bin\n"
            "Baudrate=9600\n"
            "this line has no equals sign\n"
            "[NoFile]\nUploadFile=\n"
            "[LongCommand]\nUploadFile=fw.bin\nUploadCommand=AT" +
            std::string(300, 'X') +
            "\n"
            "[messy]\nUploadFile=fw.bin\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& out = result.out;
    for (const char* expected : {
             "warning: line 15: no '=' in this line; ignored",
             "warning: unknown key \"Speed\" (line 5) is ignored",
             "warning: ComList is not \"OpenComOneToNine\"",
             "warning: NoATInterpreter \"yes\" is not \"1\"",
             "warning: VersionInfo names a file without a valid firmware header",
         }) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
    }
    std::string messy = ModelBlock(out, "Messy");
    for (const char* expected : {
             "warning: the firmware file has no valid header: the type at offset 65",
             "warning: \"upload_modem\" in UploadType sets no flag: flag words are case-sensitive",
             "warning: unknown word \"FAST\" in UploadType is ignored",
             "warning: Baudrate 40000 is not an upload speed; it is snapped to 38400",
             "Baudrate:         40000 - 38400",
             "Baudrate is given again at line 14; the first, at line 9, is used",
             "warning: brand \" BETA\" keeps its leading blank",
             "warning: an empty field in ModemBrand ends the list: 1 brand(s)",
             "warning: the interface is not standard and no plug-in does the transfer",
             "warning: flash loader file not found: ",
             "warning: FlashLoader is only handed to a plug-in's FirmwareUpload",
             "warning: unknown key \"UploadFil\" (line 13) is ignored",
         }) {
        EXPECT_NE(messy.find(expected), std::string::npos) << expected << "\n" << messy;
    }
    EXPECT_NE(ModelBlock(out, "NoFile")
                  .find("warning: this model cannot be updated: UploadFile is empty"),
              std::string::npos);
    EXPECT_NE(ModelBlock(out, "LongCommand")
                  .find("warning: this model cannot be updated: UploadCommand is longer than 255"),
              std::string::npos);
    EXPECT_NE(ModelBlock(out, "messy").find("warning: never used: the section at line 6"),
              std::string::npos);
    EXPECT_NE(out.find("4 models, 19 warnings"), std::string::npos) << out;
}

TEST(ModelsCommand, AnUnreadableConfigurationFailsWithItsPath) {
    test_support::TempDir dir;
    test_support::CliResult missing = RunCli({"models", "--config", dir.File("Wizard.inf")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "wizard-cli models: cannot read " + dir.File("Wizard.inf") + ": file not found\n");

    test_support::CliResult directory = RunCli({"models", "--config", dir.Path()});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_NE(directory.err.find("not a readable file"), std::string::npos);

    EXPECT_EQ(RunCli({"models", "extra"}).exitCode, 2);
    EXPECT_EQ(RunCli({"models", "--config"}).exitCode, 2);
}

TEST(ModelsCommand, ByDefaultReadsWizardInfBesideTheProgram) {
    std::string beside = test_support::BinDir() + "/Wizard.inf";
    test_support::CliResult result = RunCli({"models"});
    if (fs::exists(beside)) {
        EXPECT_NE(result.out.find("Configuration:     " + beside), std::string::npos);
    } else {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(beside + ": file not found"), std::string::npos) << result.err;
    }
}

TEST(ModelsCommand, BinaryGarbageIsExplainedNotFatal) {
    test_support::TempDir dir;
    std::string garbage;
    for (int i = 0; i < 5000; ++i) {
        garbage += static_cast<char>((i * 7919) & 0xFF);
    }
    dir.Write("Wizard.inf", garbage + "\n[Model\x01]\nUploadFile=\x7F\n");
    test_support::CliResult result = RunCli({"models", "--config", dir.File("Wizard.inf")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Model \"Model\\x01\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("firmware file not found"), std::string::npos);
}

}  // namespace
