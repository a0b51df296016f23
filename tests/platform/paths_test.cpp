// Program directory, current directory and temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(Paths, TheProgramDirectoryIsWhereThisTestProgramLies) {
    std::string dir = platform::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::path(dir).is_absolute());
    EXPECT_NE(dir.back(), '/');
    EXPECT_EQ(fs::canonical(dir), fs::canonical(TEST_PROGRAM_DIR));
}

TEST(Paths, SetCurrentDirectoryChangesItOrFails) {
    fs::path previous = fs::current_path();
    test_support::TempDir dir;
    EXPECT_TRUE(platform::SetCurrentDirectory(dir.Path()));
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir.Path()));
    EXPECT_FALSE(platform::SetCurrentDirectory(dir.File("absent")));
    EXPECT_FALSE(platform::SetCurrentDirectory(""));
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir.Path()));
    fs::current_path(previous);
}

TEST(Paths, TheTemporaryDirectoryFollowsTmpdir) {
    const char* saved = std::getenv("TMPDIR");
    std::string previous = saved ? saved : "";
    setenv("TMPDIR", "/var/tmp/wizard//", 1);
    EXPECT_EQ(platform::TempDirectory(), "/var/tmp/wizard");
    unsetenv("TMPDIR");
    EXPECT_EQ(platform::TempDirectory(), "/tmp");
    if (saved) {
        setenv("TMPDIR", previous.c_str(), 1);
    }
}

}  // namespace
