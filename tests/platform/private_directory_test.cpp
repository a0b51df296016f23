// Private directories in the user's state directory: made for this user
// alone, kept across runs, and refused when someone else could have put
// them there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/private_directory.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Sets (or, with no value, unsets) an environment variable for the life of
// the object.
class Environment {
  public:
    Environment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* saved = std::getenv(name)) {
            saved_ = saved;
        }
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~Environment() {
        if (saved_) {
            setenv(name_.c_str(), saved_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

class PrivateDirectory : public ::testing::Test {
  protected:
    test_support::TempDir temp{"private-dir"};
    Environment state{"XDG_STATE_HOME", temp.Path() + "/state"};
    std::string why;
};

TEST_F(PrivateDirectory, IsMadeForTheUserAloneWithTheStateDirectoryAndFoundAgain) {
    const std::string expected = temp.Path() + "/state/Plug";
    EXPECT_EQ(platform::PrivateStateDirectoryPath("Plug"), expected);
    const std::string dir = platform::PrivateStateDirectory("Plug", &why);
    ASSERT_EQ(dir, expected) << why;
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(temp.Path() + "/state").permissions() & fs::perms::all,
              fs::perms::owner_all)
        << "a missing state directory is made private too";
    test_support::WriteFileBytes(dir + "/kept", "data");
    EXPECT_EQ(platform::PrivateStateDirectory("Plug", &why), dir) << why;
    EXPECT_EQ(test_support::ReadFileBytes(dir + "/kept"), "data") << "reused, not made anew";
}

TEST_F(PrivateDirectory, WithoutAnAbsoluteStateHomeItIsBelowTheHomeDirectory) {
    Environment home("HOME", temp.Path() + "/home");
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("relative/state"),
          std::optional<std::string>("")}) {
        Environment stateHome("XDG_STATE_HOME", value);
        EXPECT_EQ(platform::UserStateDirectory(), temp.Path() + "/home/.local/state");
        EXPECT_EQ(platform::PrivateStateDirectory("Plug", &why),
                  temp.Path() + "/home/.local/state/Plug")
            << why;
    }
}

TEST_F(PrivateDirectory, ALinkAFileOrAnOpenDirectoryInItsPlaceIsRefused) {
    fs::create_directories(temp.Path() + "/state");
    test_support::TempDir target("planted");
    fs::create_directory_symlink(target.Path(), platform::PrivateStateDirectoryPath("Linked"));
    EXPECT_EQ(platform::PrivateStateDirectory("Linked", &why), "");
    EXPECT_NE(why.find("not a directory"), std::string::npos) << why;

    test_support::WriteFileBytes(platform::PrivateStateDirectoryPath("File"), "x");
    EXPECT_EQ(platform::PrivateStateDirectory("File", &why), "");

    const std::string open = platform::PrivateStateDirectoryPath("Open");
    fs::create_directory(open);
    fs::permissions(open, fs::perms::owner_all | fs::perms::others_exec);
    EXPECT_EQ(platform::PrivateStateDirectory("Open", &why), "");
    EXPECT_NE(why.find("open to other users"), std::string::npos) << why;
}

TEST_F(PrivateDirectory, NamesThatAreNotOneComponentAreRefused) {
    for (const char* name : {"", ".", "..", "a/b", "../x"}) {
        EXPECT_EQ(platform::PrivateStateDirectory(name, &why), "") << name;
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
