// Where Wizard.inf is found.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"
#include "wizard/engine/config_location.h"

namespace {

namespace fs = std::filesystem;

class RestoreCurrentDirectory : public ::testing::Test {
  protected:
    ~RestoreCurrentDirectory() override { fs::current_path(previous_); }
    fs::path previous_ = fs::current_path();
};

using ConfigPath = RestoreCurrentDirectory;

TEST_F(ConfigPath, IsBesideTheProgramWhichBecomesTheCurrentDirectory) {
    test_support::TempDir elsewhere;
    fs::current_path(elsewhere.Path());
    ConfigLocation location;
    std::string why;
    ASSERT_TRUE(FormConfigPath(&location, &why)) << why;
    EXPECT_EQ(fs::canonical(location.programDir), fs::canonical(TEST_PROGRAM_DIR));
    EXPECT_EQ(location.iniPath, location.programDir + platform::kPathSeparator + "Wizard.inf");
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(TEST_PROGRAM_DIR));
}

TEST_F(ConfigPath, AGivenFileTakesItsDirectoryAsProgramDirectory) {
    test_support::TempDir dir;
    fs::current_path(dir.Path());
    ConfigLocation location;
    std::string why;
    ASSERT_TRUE(LocateConfigFile("conf/./Wizard.inf", &location, &why)) << why;
    EXPECT_EQ(location.programDir, (fs::path(dir.Path()) / "conf").string());
    EXPECT_EQ(location.iniPath, (fs::path(dir.Path()) / "conf" / "Wizard.inf").string());
    EXPECT_EQ(ProgramFilePath(location.programDir, "fw.bin"),
              location.programDir + platform::kPathSeparator + "fw.bin");
}

TEST_F(ConfigPath, APathLongerThan259CharactersIsRefused) {
    ConfigLocation location;
    std::string why;
    // The root of the current drive ("/", "C:\\") and 248 characters in all.
    const std::string root = fs::current_path().root_path().string();
    std::string dir = root + std::string(248 - root.size(), 'd');
    EXPECT_TRUE(LocateConfigFile(dir + "/Wizard.inf", &location, &why)) << "259 characters";
    EXPECT_FALSE(LocateConfigFile(dir + "d/Wizard.inf", &location, &why));
    EXPECT_NE(why.find("259"), std::string::npos) << why;
    EXPECT_FALSE(LocateConfigFile("", &location, &why));
}

}  // namespace
