// Private directories below the temporary directory: made for this user
// alone, and refused when someone else could have put them there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/private_directory.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class PrivateDirectory : public ::testing::Test {
  protected:
    PrivateDirectory() {
        if (const char* saved = std::getenv("TMPDIR")) {
            saved_ = saved;
            hadTmpdir_ = true;
        }
        setenv("TMPDIR", temp.Path().c_str(), 1);
    }
    ~PrivateDirectory() override {
        if (hadTmpdir_) {
            setenv("TMPDIR", saved_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

    test_support::TempDir temp{"private-dir"};
    std::string why;

  private:
    std::string saved_;
    bool hadTmpdir_ = false;
};

TEST_F(PrivateDirectory, IsMadeForTheUserAloneAndFoundAgain) {
    const std::string expected = platform::PrivateTempDirectoryPath("Plug");
    EXPECT_EQ(fs::path(expected).parent_path(), fs::path(temp.Path()));
    EXPECT_EQ(fs::path(expected).filename().string().rfind("Plug-", 0), 0u);

    const std::string dir = platform::PrivateTempDirectory("Plug", &why);
    ASSERT_EQ(dir, expected) << why;
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
    test_support::WriteFileBytes(dir + "/kept", "data");
    EXPECT_EQ(platform::PrivateTempDirectory("Plug", &why), dir) << why;
    EXPECT_EQ(test_support::ReadFileBytes(dir + "/kept"), "data") << "reused, not made anew";
}

TEST_F(PrivateDirectory, ALinkAFileOrAnOpenDirectoryInItsPlaceIsRefused) {
    test_support::TempDir target("planted");
    fs::create_directory_symlink(target.Path(), platform::PrivateTempDirectoryPath("Linked"));
    EXPECT_EQ(platform::PrivateTempDirectory("Linked", &why), "");
    EXPECT_NE(why.find("not a directory"), std::string::npos) << why;

    test_support::WriteFileBytes(platform::PrivateTempDirectoryPath("File"), "x");
    EXPECT_EQ(platform::PrivateTempDirectory("File", &why), "");

    const std::string open = platform::PrivateTempDirectoryPath("Open");
    fs::create_directory(open);
    fs::permissions(open, fs::perms::owner_all | fs::perms::others_exec);
    EXPECT_EQ(platform::PrivateTempDirectory("Open", &why), "");
    EXPECT_NE(why.find("open to other users"), std::string::npos) << why;
}

TEST_F(PrivateDirectory, NamesThatAreNotOneComponentAreRefused) {
    for (const char* name : {"", ".", "..", "a/b", "../x"}) {
        EXPECT_EQ(platform::PrivateTempDirectory(name, &why), "") << name;
    }
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST_F(PrivateDirectory, NewDirectoriesFilesBelowAndRemoval) {
    const std::string dir = temp.File("run");
    bool existed = true;
    ASSERT_TRUE(platform::MakePrivateDirectory(dir, &existed));
    EXPECT_FALSE(existed);
    EXPECT_FALSE(platform::MakePrivateDirectory(dir, &existed));
    EXPECT_TRUE(existed);
    EXPECT_FALSE(platform::DirectoryHoldsFiles(temp.Path()));
    test_support::WriteFileBytes(dir + "/1", "x");
    EXPECT_TRUE(platform::DirectoryHoldsFiles(temp.Path())) << "found one level down";
    EXPECT_FALSE(platform::RemovePath(dir)) << "not empty";
    EXPECT_TRUE(platform::RemovePath(dir + "/1"));
    EXPECT_TRUE(platform::RemovePath(dir + "/1")) << "already gone";
    EXPECT_TRUE(platform::RemovePath(dir));
    EXPECT_FALSE(fs::exists(dir));
    EXPECT_FALSE(platform::DirectoryHoldsFiles(temp.File("absent")));
}

}  // namespace
