// Kept copies stored back later, on a scripted modem: every file back under
// its name, with its fields and its size, before the folder goes.
#include <filesystem>

#include "plugins/backup/backup_files.h"
#include "plugins/backup/file_entry.h"
#include "plugins/backup/kept_restore.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/random_bytes.h"

namespace backup_test {
namespace {

namespace fs = std::filesystem;

// Data whose last byte is no padding byte.
std::string Data(std::size_t size, unsigned seed) {
    std::string data = test_support::RandomBytes(size, seed);
    if (!data.empty() && data.back() == '\x1A') {
        data.back() = 'z';
    }
    return data;
}

class KeptRestore : public BackupSteps {
  protected:
    KeptRestore() { store.trimPadding = true; }

    // A folder as a failed update leaves it: the listing and a copy per file.
    void Keep(const std::map<std::string, StoredFile>& files) {
        std::string listing;
        for (const auto& [name, file] : files) {
            listing += (listing.empty() ? "" : "\n") + StoreModem::ListingLine(name, file);
        }
        std::string why;
        folder = backup::MakeRunDirectory(listing, "ORVA 56K Voice", "2026-12-08_15-22-20", &why);
        ASSERT_FALSE(folder.empty()) << why;
        int index = 1;
        for (const auto& entry : files) {
            test_support::WriteFileBytes(backup::BackupFilePath(folder, index++),
                                         entry.second.data);
        }
        kept = files;
    }
    bool Restore() {
        return backup::RestoreKeptFolder(
            &serial, folder, &progress,
            [this](const FileEntry& file, int index, int count) {
                announced.push_back(file.name + " " + std::to_string(index) + "/" +
                                    std::to_string(count));
            },
            &report);
    }
    const backup::RestoredFile& Result(const std::string& name) const {
        for (const backup::RestoredFile& file : report.files) {
            if (file.name == name) {
                return file;
            }
        }
        static backup::RestoredFile none;
        ADD_FAILURE() << name << " not reported";
        return none;
    }

    std::string folder;
    std::map<std::string, StoredFile> kept;
    backup::RestoreReport report;
    std::vector<std::string> announced;
    int progress = 0;
};

TEST_F(KeptRestore, EveryCopyGoesBackWithItsFieldsAndThenTheFolderGoes) {
    Keep({{"a.dat", {"1", "H S", Data(100, 1)}},
          {"b.bin", {"7", "I", Data(1500, 2)}},
          {"NOKIA.cfg", {"1", "", Data(3, 3)}}});
    ASSERT_TRUE(Restore()) << report.why;
    EXPECT_EQ(store.stores,
              (std::vector<std::string>{"at$jupl=\"NOKIA.cfg\",1,", "at$jupl=\"a.dat\",1,H,S",
                                        "at$jupl=\"b.bin\",7,I"}));
    EXPECT_EQ(announced, (std::vector<std::string>{"NOKIA.cfg 1/3", "a.dat 2/3", "b.bin 3/3"}));
    for (const auto& [name, file] : kept) {
        EXPECT_EQ(store.files[name].data, file.data) << name;
        EXPECT_EQ(store.files[name].field1, file.field1) << name;
        EXPECT_EQ(store.files[name].attributes, file.attributes) << name;
        EXPECT_TRUE(Result(name).back) << name << ": " << Result(name).problem;
    }
    EXPECT_TRUE(report.allBack);
    EXPECT_TRUE(report.folderDeleted);
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(KeptRestore, AnythingLessLeavesTheFolderAndSaysWhatIsMissing) {
    Keep({{"a.dat", {"1", "", Data(100, 1)}},
          {"b.bin", {"1", "", Data(200, 2)}},
          {"c.txt", {"1", "", Data(300, 3)}},
          {"d.txt", {"1", "", Data(50, 4)}}});
    store.noLoaderNak.insert("b.bin");
    fs::remove(backup::BackupFilePath(folder, 3));  // c.txt lost its copy
    store.files["d.txt"] = {"1", "", Data(60, 9)};  // another d.txt is in the modem
    ASSERT_TRUE(Restore()) << report.why;
    EXPECT_TRUE(Result("a.dat").back);
    EXPECT_EQ(Result("b.bin").problem, "the modem never asked for the file");
    EXPECT_EQ(Result("c.txt").problem, "there is no copy of it in the folder");
    EXPECT_EQ(Result("d.txt").problem,
              "the modem holds another file of this name (the modem lists 60 bytes, the copy has "
              "50); it was left as it is");
    EXPECT_EQ(store.files["d.txt"].data, Data(60, 9)) << "the modem's own d.txt stays";
    EXPECT_FALSE(report.allBack);
    EXPECT_TRUE(fs::exists(backup::BackupFilePath(folder, 1))) << "every copy stays";
    EXPECT_TRUE(fs::exists(folder + "/listing.txt"));

    // Once the modem takes b.bin and the copy of c.txt is back, a second
    // restore stores only what is missing and the folder goes.
    store.noLoaderNak.clear();
    test_support::WriteFileBytes(backup::BackupFilePath(folder, 3), kept["c.txt"].data);
    store.files.erase("d.txt");
    store.stores.clear();
    ASSERT_TRUE(Restore()) << report.why;
    EXPECT_EQ(store.stores,
              (std::vector<std::string>{"at$jupl=\"b.bin\",1,", "at$jupl=\"c.txt\",1,",
                                        "at$jupl=\"d.txt\",1,"}));
    EXPECT_TRUE(report.allBack);
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(KeptRestore, AFileListedWithoutSizeIsBackWithANote) {
    Keep({{"a.dat", {"1", "", Data(100, 1)}}});
    store.listingAnswer = [this] {
        return std::string(store.files.empty() ? "\r\n\r\nOK\r\n"
                                               : "\r\na.dat,1,,0,0,\r\n\r\nOK\r\n");
    };
    ASSERT_TRUE(Restore()) << report.why;
    EXPECT_TRUE(Result("a.dat").back);
    EXPECT_EQ(Result("a.dat").note, "the listing gives no size, so its length cannot be checked");
}

TEST_F(KeptRestore, AModemThatCannotBeListedStoresNothing) {
    Keep({{"a.dat", {"1", "", Data(100, 1)}}});
    store.listingAnswer = [] { return std::string("\r\nERROR\r\n"); };
    EXPECT_FALSE(Restore());
    EXPECT_EQ(report.why, "the modem refused the listing: ERROR");
    EXPECT_TRUE(store.stores.empty());
    EXPECT_TRUE(fs::exists(folder));
}

}  // namespace
}  // namespace backup_test
