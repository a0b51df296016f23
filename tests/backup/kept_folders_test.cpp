// The folders that keep the modem's files: named by date, time and model in
// the user's state directory, never reused, found again by model.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "platform/private_directory.h"
#include "platform/testing/private_access.h"
#include "plugins/backup/backup_files.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/temp_dir.h"

namespace backup_test {
namespace {

namespace fs = std::filesystem;

class KeptFolders : public ::testing::Test {
  protected:
    std::string Make(const std::string& model, const std::string& stamp) {
        std::string why;
        std::string dir = backup::MakeRunDirectory("a,1,,0,0,5\nb,1,,0,0,7", model, stamp, &why);
        EXPECT_FALSE(dir.empty()) << why;
        return dir;
    }
    std::string State() const { return temp.File("state"); }
    std::string Place() const { return State() + platform::kPathSeparator + "Sarnet_Plugin"; }
    std::string In(const std::string& name) const {
        return Place() + platform::kPathSeparator + name;
    }

    test_support::TempDir temp{"kept-folders"};
    ScopedEnvironment stateHome{platform::kUserStateDirectoryVariable, State()};
};

TEST_F(KeptFolders, AreNamedByDateTimeAndModelAndNeverReused) {
    EXPECT_EQ(backup::KeptFoldersPlace(), Place());
    const std::string first = Make("ORVA 56K Voice", "2026-12-08_15-22-20");
    EXPECT_EQ(first, In("2026-12-08_15-22-20_ORVA_56K_Voice"));
    EXPECT_EQ(test_support::ReadFileBytes(first + "/listing.txt"), "a,1,,0,0,5\nb,1,,0,0,7\n");
    // A second modem of the model updated in the same second.
    EXPECT_EQ(Make("ORVA 56K Voice", "2026-12-08_15-22-20"),
              In("2026-12-08_15-22-20-2_ORVA_56K_Voice"));
    EXPECT_TRUE(platform::testing::OnlyTheUserMayEnter(Place()));
    EXPECT_TRUE(platform::testing::OnlyTheUserMayEnter(first));
    std::vector<std::string> lines;
    ASSERT_TRUE(backup::ReadKeptListing(first, &lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a,1,,0,0,5", "b,1,,0,0,7"}));
}

TEST_F(KeptFolders, ModelNamesBecomeSafeFolderNames) {
    EXPECT_EQ(backup::FolderModelName("ORVA 56K/USB \"x\""), "ORVA_56K_USB__x_");
    EXPECT_EQ(backup::FolderModelName("a.b+c-d_e"), "a.b+c-d_e");
    EXPECT_EQ(backup::FolderModelName(""), "modem");
    EXPECT_EQ(backup::FolderModelName(std::string(100, 'M')).size(), 64u);
    EXPECT_EQ(backup::FolderModelName("Modem \xc3\xa9"), "Modem___");
}

TEST_F(KeptFolders, TheNewestFolderOfAModelIsFoundWhateverTheCase) {
    Make("ORVA 56K Voice", "2026-12-08_15-22-20");
    Make("ORVA 56K Voice", "2026-12-08_15-22-20");
    Make("ORVA 33K Basic", "2027-01-01_00-00-00");
    Make("ORVA 56K Voice", "2025-05-05_10-00-00");
    fs::create_directories(In("not a kept folder"));
    fs::create_directories(In("2026-12-08_15-22-2x_ORVA"));
    const std::vector<backup::KeptFolder> folders = backup::ListKeptFolders();
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(folders.front().stamp, "2025-05-05_10-00-00") << "oldest first";
    const backup::KeptFolder* newest = backup::NewestKeptFolder(folders, "orva 56k voice");
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->path, In("2026-12-08_15-22-20-2_ORVA_56K_Voice"));
    EXPECT_EQ(newest->sequence, 2);
    EXPECT_EQ(backup::NewestKeptFolder(folders, "ORVA 56K USB"), nullptr);
}

TEST_F(KeptFolders, APlaceThatIsALinkOrOpenToOthersIsRefused) {
    std::string why;
    if (platform::kLinkFileMakesSymbolicLinks) {
        test_support::TempDir elsewhere("planted");
        fs::create_directories(State());
        ASSERT_TRUE(platform::LinkFile(elsewhere.Path(), Place()));
        EXPECT_EQ(backup::MakeRunDirectory("a,1,,0,0,5", "M", "2026-12-08_15-22-20", &why), "");
        EXPECT_NE(why.find("not a directory"), std::string::npos) << why;
        EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
        EXPECT_TRUE(backup::ListKeptFolders().empty()) << "a planted place is not read either";
    }

    fs::remove(Place());
    fs::create_directories(Place());
    ASSERT_TRUE(platform::testing::LetOthersIn(Place()));
    EXPECT_EQ(backup::MakeRunDirectory("a,1,,0,0,5", "M", "2026-12-08_15-22-20", &why), "");
    EXPECT_NE(why.find("open to other users"), std::string::npos) << why;
}

}  // namespace
}  // namespace backup_test
