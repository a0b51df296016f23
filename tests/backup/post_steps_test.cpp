// PostSteps: the reorganisation, the restore of every saved file, and what
// becomes of the copies when something goes wrong.
#include <filesystem>

#include "platform/private_directory.h"
#include "plugins/backup/backup_state.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/firmware_file.h"
#include "tests/support/random_bytes.h"

namespace backup_test {
namespace {

using test_support::RandomBytes;
using test_support::SameButPadding;
using Marks = std::vector<std::pair<WPARAM, LPARAM>>;

class PostStepsTest : public BackupSteps {
  protected:
    // Saves the store with PreSteps and loses it in the firmware step; the
    // counter then stands at 2, as the wizard leaves it.
    void SavedAndLost() {
        original = store.files;
        ASSERT_EQ(Pre(), 1);
        Firmware();
        ASSERT_EQ(counter, 2);
        page.sendResult = 0;
    }
    void ThreeFiles() {
        store.files["a.dat"] = {"1", "H S", RandomBytes(100, 11)};
        store.files["b.bin"] = {"2", "I", RandomBytes(1000, 12)};
        store.files["c.txt"] = {"1", "", ""};
    }
    // Positions of the messages after PreSteps.
    Marks PostStepMarks() const {
        Marks all = Steps();
        return Marks(all.begin() + 2, all.end());
    }

    std::map<std::string, StoredFile> original;
};

TEST_F(PostStepsTest, EverySavedFileIsStoredBackWithItsFieldsAndTheCopiesGo) {
    ThreeFiles();
    SavedAndLost();
    const std::string run = RunDir();
    // What the page shows meanwhile.
    std::string clearText;
    int clearTotal = 0;
    std::uint64_t clearedAt = 0;
    std::vector<std::size_t> marks;
    std::vector<std::string> texts;
    std::vector<int> totals;
    store.modem().onCommand = [&, inner = store.modem().onCommand](const std::string& command) {
        if (command == "at$jfclr=all") {
            marks.push_back(Steps().size());
            clearText = status.text;
            clearTotal = status.total;
            clearedAt = port.Now();
        }
        return inner(command);
    };
    store.onTransferCommand = [&](const std::string&) {
        texts.push_back(status.text);
        totals.push_back(status.total);
    };
    ASSERT_EQ(Post(), 1);
    EXPECT_TRUE(Fatals().empty());
    EXPECT_EQ(store.clears, 1);
    EXPECT_EQ(store.stores,
              (std::vector<std::string>{"at$jupl=\"a.dat\",1,H,S", "at$jupl=\"b.bin\",2,I",
                                        "at$jupl=\"c.txt\",1,"}));
    ASSERT_EQ(store.files.size(), 3u);
    for (const auto& [name, file] : original) {
        EXPECT_TRUE(SameButPadding(file.data, store.files[name].data)) << name;
        EXPECT_EQ(store.files[name].attributes, file.attributes) << name;
        EXPECT_EQ(store.files[name].field1, file.field1) << name;
    }
    EXPECT_EQ(store.received["b.bin"].size(), 1024u) << "1K blocks";
    EXPECT_FALSE(std::filesystem::exists(run));
    EXPECT_FALSE(platform::DirectoryHoldsFiles(PrivateDir()));

    // Two steps from the firmware step on; the memory is reorganised under
    // the first, with "Please wait ..." and no percentage.
    EXPECT_EQ(PostStepMarks(), (Marks{{2, 0}, {3, 1}, {3, 0}, {4, 1}}));
    EXPECT_EQ(counter, 4);
    EXPECT_EQ(marks, (std::vector<std::size_t>{4}));
    EXPECT_EQ(clearText, "Please wait ...");
    EXPECT_EQ(clearTotal, -1);
    EXPECT_GE(port.Now() - clearedAt, 5500u) << "5 s for the modem, 0.5 s with a full bar";
    const std::vector<std::string>& commands = store.Commands();
    auto clear = std::find(commands.begin(), commands.end(), "at$jfclr=all");
    ASSERT_LT(clear + 2, commands.end());
    EXPECT_EQ(*(clear + 1), "AT");
    EXPECT_EQ(*(clear + 2), "AT&F") << "the restore starts with a reset";
    EXPECT_EQ(texts, (std::vector<std::string>{"Restoring file 1 of 3 (%d%% finished)",
                                               "Restoring file 2 of 3 (%d%% finished)",
                                               "Restoring file 3 of 3 (%d%% finished)"}));
    EXPECT_EQ(totals, (std::vector<int>{100, 1000, 0}));
}

TEST_F(PostStepsTest, AReorganisationRefusedThreeTimesSucceedsAtTheFourth) {
    ThreeFiles();
    SavedAndLost();
    store.clearErrors = 3;
    ASSERT_EQ(Post(), 1);
    EXPECT_TRUE(Fatals().empty());
    EXPECT_EQ(std::count(store.Commands().begin(), store.Commands().end(), "at$jfclr=all"), 4);
    EXPECT_EQ(store.files.size(), 3u);
}

TEST_F(PostStepsTest, AReorganisationRefusedTenTimesKeepsTheCopies) {
    ThreeFiles();
    SavedAndLost();
    store.clearErrors = 10;
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kReorganizeError});
    EXPECT_FALSE(FatalSent());
    EXPECT_EQ(std::count(store.Commands().begin(), store.Commands().end(), "at$jfclr=all"), 10);
    EXPECT_EQ(store.Commands().back(), "AT") << "the modem is woken all the same";
    EXPECT_TRUE(store.stores.empty());
    ExpectNothingLost(original);
    EXPECT_EQ(PostStepMarks(), (Marks{{2, 0}, {3, 1}}));
}

TEST_F(PostStepsTest, AModemThatDoesNotComeBackKeepsTheCopies) {
    ThreeFiles();
    SavedAndLost();
    store.modem().onCommand = [&, inner = store.modem().onCommand](const std::string& command) {
        if (command == "AT") {
            store.modem().AnswerError("AT&F");  // gone after the reorganisation
        }
        return inner(command);
    };
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kInitializationError});
    EXPECT_TRUE(store.stores.empty());
    ExpectNothingLost(original);
}

TEST_F(PostStepsTest, ARefusedStoreCommandIsSentAtOnceAndKeepsTheCopies) {
    ThreeFiles();
    SavedAndLost();
    store.onTransferCommand = [&](const std::string& command) {
        if (command.find("a.dat") != std::string::npos) {
            store.modem().echo = false;
        }
    };
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kUploadError});
    EXPECT_TRUE(FatalSent());
    EXPECT_EQ(store.files.size(), 1u) << "a.dat is back, the others were not tried";
    ExpectNothingLost(original);
    EXPECT_TRUE(CopyExists(1)) << "every copy stays";
}

TEST_F(PostStepsTest, AFailedUploadIsSentAtOnceAndKeepsTheCopies) {
    ThreeFiles();
    SavedAndLost();
    store.cancelUpload = {"b.bin"};
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kUploadError});
    EXPECT_TRUE(FatalSent());
    EXPECT_EQ(store.stores.size(), 2u) << "c.txt was not tried";
    ExpectNothingLost(original);
    for (int index = 1; index <= 3; ++index) {
        EXPECT_TRUE(CopyExists(index)) << index;
    }
}

TEST_F(PostStepsTest, AFileWithoutLoaderIsPassedOverButTheUpdateFails) {
    ThreeFiles();
    SavedAndLost();
    store.noLoaderNak = {"a.dat"};
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(store.stores.size(), 3u) << "the others were still stored";
    EXPECT_EQ(store.files.count("a.dat"), 0u);
    EXPECT_TRUE(SameButPadding(original["b.bin"].data, store.files["b.bin"].data));
    EXPECT_EQ(store.files.count("c.txt"), 1u);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kUploadError});
    EXPECT_TRUE(FatalSent());
    EXPECT_EQ(Copy(1), original["a.dat"].data);
    ExpectNothingLost(original);
}

TEST_F(PostStepsTest, ACopyThatCannotBeReadIsPassedOverButTheUpdateFails) {
    ThreeFiles();
    SavedAndLost();
    std::filesystem::remove(RunDir() + "/2");
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(store.files.count("a.dat"), 1u);
    EXPECT_EQ(store.files.count("c.txt"), 1u);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kUploadError});
    EXPECT_TRUE(CopyExists(1));
    EXPECT_TRUE(CopyExists(3));
}

TEST_F(PostStepsTest, AnErrorAfterAStoredFileFailsTheRestoreButSilenceDoesNot) {
    ThreeFiles();
    SavedAndLost();
    store.errorAfterStore = {"a.dat"};
    store.silentAfterStore = {"b.bin"};
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kUploadError});
    EXPECT_EQ(store.stores.size(), 3u);
    EXPECT_TRUE(CopyExists(1));
    ExpectNothingLost(original);
}

TEST_F(PostStepsTest, SilenceAfterEveryStoredFileIsStillASuccess) {
    ThreeFiles();
    SavedAndLost();
    store.silentAfterStore = {"a.dat", "b.bin", "c.txt"};
    EXPECT_EQ(Post(), 1);
    EXPECT_TRUE(Fatals().empty());
    EXPECT_EQ(store.files.size(), 3u);
}

TEST_F(PostStepsTest, AnEmptyListingReorganisesAndStoresNothing) {
    SavedAndLost();
    EXPECT_EQ(Post(), 1);
    EXPECT_EQ(store.clears, 1);
    EXPECT_TRUE(store.stores.empty());
    EXPECT_EQ(PostStepMarks(), (Marks{{2, 0}, {3, 1}, {3, 0}, {4, 1}}));
}

}  // namespace
}  // namespace backup_test
