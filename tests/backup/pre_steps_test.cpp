// PreSteps: the listing, the step protocol and the backup of every file,
// with everything that must stop the update before the firmware.
#include <filesystem>
#include <regex>

#include "platform/paths.h"
#include "platform/private_directory.h"
#include "platform/testing/private_access.h"
#include "plugins/backup/backup_state.h"
#include "plugins/backup/sarnet_plugin.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/random_bytes.h"
#include "tests/support/trace_capture.h"

namespace backup_test {
namespace {

using test_support::RandomBytes;

class PreStepsTest : public BackupSteps {
  protected:
    void ThreeFiles() {
        store.files["a.dat"] = {"1", "H S", RandomBytes(100, 1)};
        store.files["b.bin"] = {"2", "I", RandomBytes(250, 2)};
        store.files["c.txt"] = {"1", "", ""};
    }
    // Transfer commands as the modem received them.
    std::vector<std::string> Downloads() const {
        std::vector<std::string> out;
        for (const std::string& command : store.Commands()) {
            if (command.rfind("AT$JDNL", 0) == 0) {
                out.push_back(command);
            }
        }
        return out;
    }
};

TEST_F(PreStepsTest, EveryFileIsCopiedByteForByteUnderItsPositionInTheListing) {
    ThreeFiles();
    // What the page shows while each file comes.
    std::vector<std::size_t> marks;
    std::vector<std::string> texts;
    std::vector<int> totals;
    store.onTransferCommand = [&](const std::string&) {
        marks.push_back(Steps().size());
        texts.push_back(status.text);
        totals.push_back(status.total);
    };
    ASSERT_EQ(Pre(), 1);
    EXPECT_TRUE(Fatals().empty());
    EXPECT_EQ(Downloads(), (std::vector<std::string>{"AT$JDNL=\"a.dat\"", "AT$JDNL=\"b.bin\",I",
                                                     "AT$JDNL=\"c.txt\""}));
    EXPECT_EQ(Copy(1), store.files["a.dat"].data);
    EXPECT_EQ(Copy(2), store.files["b.bin"].data) << "the padding of the last block is cut off";
    EXPECT_TRUE(CopyExists(3));
    EXPECT_EQ(Copy(3), "");
    EXPECT_EQ(test_support::ReadFileBytes(RunDir() + "/listing.txt"),
              "a.dat,1,H S,0,0,100\nb.bin,2,I,0,0,250\nc.txt,1,,0,0,0\n");
    // A folder of its own in the user's state directory, named by date,
    // time and model, and the page is told where it is.
    EXPECT_EQ(std::filesystem::path(RunDir()).parent_path().string(), PrivateDir());
    const std::string folder = std::filesystem::path(RunDir()).filename().string();
    EXPECT_TRUE(std::regex_match(
        folder, std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}_ORVA_56K_Voice")))
        << folder;
    EXPECT_TRUE(platform::testing::OnlyTheUserMayEnter(RunDir()));
    EXPECT_EQ(page.Texts(WM_WIZ_KEPTFILES), std::vector<std::string>{RunDir()});
    const BackupState& state = TheBackupState();
    EXPECT_EQ(state.fileCount, 3);
    EXPECT_EQ(state.listTotal, 350);
    EXPECT_EQ(std::string(state.ModemFileList, 21), std::string("a.dat,1,H S,0,0,100\0b", 21));
    ASSERT_GE(store.Commands().size(), 2u);
    EXPECT_EQ(store.Commands()[0], "AT&F");
    EXPECT_EQ(store.Commands()[1], "AT$JDIR=,,H,S");

    // The plug-in's step begins once the listing is there, before the first file.
    EXPECT_EQ(Steps(), (std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}, {1, 1}}));
    EXPECT_EQ(counter, 1);
    EXPECT_EQ(marks, (std::vector<std::size_t>{2, 2, 2}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Backing up file 1 of 3 (%d%% finished)",
                                               "Backing up file 2 of 3 (%d%% finished)",
                                               "Backing up file 3 of 3 (%d%% finished)"}));
    EXPECT_EQ(totals, (std::vector<int>{100, 250, 0}));
    // Done: the progress record is cleared.
    EXPECT_STREQ(status.text, "");
    EXPECT_EQ(status.total, 0);
}

TEST_F(PreStepsTest, A1KSenderAndAnEmptyFileGiveExactCopies) {
    store.sendBlock = 1024;
    store.files["k1000"] = {"1", "", RandomBytes(1000, 5)};
    store.files["k1024"] = {"1", "", RandomBytes(1024, 6)};
    store.files["zero"] = {"1", "", ""};
    ASSERT_EQ(Pre(), 1);
    EXPECT_EQ(Copy(1), store.files["k1000"].data);
    EXPECT_EQ(Copy(2), store.files["k1024"].data);
    EXPECT_EQ(Copy(3), "");
}

TEST_F(PreStepsTest, AnEmptyStoreIsNotAnError) {
    ASSERT_EQ(Pre(), 1);
    EXPECT_EQ(Steps(), (std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}, {1, 1}}));
    EXPECT_TRUE(Downloads().empty());
    EXPECT_EQ(TheBackupState().fileCount, 0);
    EXPECT_TRUE(RunDir().empty());
    EXPECT_FALSE(platform::DirectoryHoldsFiles(PrivateDir()));
}

TEST_F(PreStepsTest, AListingWithoutItsFinalOkStopsTheUpdate) {
    ThreeFiles();
    for (const std::string& answer :
         {std::string("\r\na.dat,1,H S,0,0,100\r\nb.bin,2,I,0,0,250\r\n"),  // cut off
          std::string(""),                                                  // nothing at all
          std::string("\r\na.dat,1,H S,0,0,100\r\n\r\nERROR\r\n"),
          std::string("\r\na.dat,1,H S,0,0,100\r\n\r\nNOK4\r\n"), std::string("\r\nNOK\r\n")}) {
        test_support::RecordingPage fresh;
        store.listingAnswer = [answer] { return answer; };
        EXPECT_EQ(PreSteps(fresh.handle(), &serial, &status, WM_WIZ_STEP, &counter), 0);
        EXPECT_EQ(fresh.Texts(WM_WIZ_FATAL), std::vector<std::string>{kDownloadError});
        EXPECT_TRUE(fresh.Posted(WM_WIZ_STEP).empty()) << "no step of the plug-in began";
        EXPECT_TRUE(Downloads().empty());
        EXPECT_EQ(TheBackupState().fileCount, 0);
    }
    EXPECT_FALSE(platform::DirectoryHoldsFiles(PrivateDir()));
}

TEST_F(PreStepsTest, ListingsThatCannotBeTakenWholeAreRefusedBeforeAnythingIsWritten) {
    std::string huge;
    for (int i = 0; huge.size() < 6000; ++i) {
        huge += "file" + std::to_string(i) + ",1,,0,0,10\r\n";
    }
    for (const std::string& lines :
         {huge, std::string("a.dat,1,,0,0,5\r\nq\"uote,1,,0,0,5\r\n"),
          std::string("a.dat,1,,0,0,5\r\n" + std::string(300, 'n') + ",1,,0,0,5\r\n"),
          std::string("a.dat,1,,0,0,2000000000\r\nb.dat,1,,0,0,2000000000\r\n")}) {
        test_support::RecordingPage fresh;
        store.listingAnswer = [lines] { return "\r\n" + lines + "\r\nOK\r\n"; };
        EXPECT_EQ(PreSteps(fresh.handle(), &serial, &status, WM_WIZ_STEP, &counter), 0)
            << lines.substr(0, 40);
        EXPECT_EQ(fresh.Texts(WM_WIZ_FATAL), std::vector<std::string>{kDownloadError});
        EXPECT_TRUE(Downloads().empty());
    }
    EXPECT_FALSE(platform::DirectoryHoldsFiles(PrivateDir()));
}

TEST_F(PreStepsTest, AModemThatDoesNotAnswerTheResetIsReportedWithString36) {
    ThreeFiles();
    store.modem().AnswerError("AT&F");
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kInitializationError});
    EXPECT_EQ(store.Commands(), std::vector<std::string>{"AT&F"});
    EXPECT_TRUE(Steps().empty());
}

TEST_F(PreStepsTest, ARefusedDownloadCommandStopsTheUpdateAndKeepsTheCopiesMade) {
    ThreeFiles();
    // After the first file the modem stops echoing: the next command fails.
    store.onTransferCommand = [&](const std::string& command) {
        if (command.find("a.dat") != std::string::npos) {
            store.modem().echo = false;
        }
    };
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kDownloadError});
    EXPECT_FALSE(FatalSent()) << "posted";
    EXPECT_EQ(Copy(1), store.files["a.dat"].data);
    EXPECT_FALSE(CopyExists(2));
    EXPECT_EQ(Steps(), (std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}, {1, 1}}));
}

TEST_F(PreStepsTest, AFailedTransferLeavesNoHalfCopy) {
    ThreeFiles();
    store.mangleDownload = [](const std::string& name, std::size_t block,
                              const std::string& bytes) {
        return name == "b.bin" && block == 1 ? std::string(1, 0x18) : bytes;
    };
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kDownloadError});
    EXPECT_EQ(Copy(1), store.files["a.dat"].data);
    EXPECT_FALSE(CopyExists(2)) << "the first block of b.bin had arrived";
    EXPECT_EQ(Downloads().size(), 2u) << "c.txt is not asked for";
}

TEST_F(PreStepsTest, ADownloadShorterThanTheListedSizeIsAFailedBackup) {
    store.files["a.dat"] = {"1", "", RandomBytes(300, 7)};
    // The modem lists 300 bytes but sends only the first two blocks.
    store.listingAnswer = [] { return std::string("\r\na.dat,1,,0,0,300\r\n\r\nOK\r\n"); };
    store.mangleDownload = [](const std::string&, std::size_t block, const std::string& bytes) {
        return block == 2 ? std::string(1, 0x04) : bytes;
    };
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kDownloadError});
    EXPECT_FALSE(CopyExists(1));
}

TEST_F(PreStepsTest, CopiesOfAnEarlierUpdateAreNeverOverwritten) {
    ThreeFiles();
    std::string why;
    ASSERT_EQ(platform::PrivateStateDirectory("Sarnet_Plugin", &why), PrivateDir()) << why;
    const std::string earlier = PrivateDir() + "/2001-01-01_00-00-00_ORVA_56K_Voice";
    ASSERT_TRUE(platform::MakePrivateDirectory(earlier, nullptr));
    test_support::WriteFileBytes(earlier + "/1", "an earlier update's copy");
    ASSERT_EQ(Pre(), 1);
    EXPECT_NE(RunDir(), earlier);
    EXPECT_EQ(test_support::ReadFileBytes(earlier + "/1"), "an earlier update's copy");
    EXPECT_EQ(Copy(1), store.files["a.dat"].data);
}

TEST_F(PreStepsTest, APlantedLinkInsteadOfThePrivateDirectoryIsRefused) {
    if (!platform::kLinkFileMakesSymbolicLinks) {
        GTEST_SKIP() << "links to directories cannot be made here";
    }
    ThreeFiles();
    test_support::TempDir elsewhere("planted");
    std::filesystem::create_directories(std::filesystem::path(PrivateDir()).parent_path());
    ASSERT_TRUE(platform::LinkFile(elsewhere.Path(), PrivateDir()));
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kDownloadError});
    EXPECT_TRUE(Downloads().empty());
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

TEST_F(PreStepsTest, NamesWithWordsOfTheAnswerOrOddCharactersAreSavedUnderTheirOwnName) {
    // "NOK" or "OK" in a name is no answer; blanks, dots and slashes only
    // travel inside the quotes of the commands.
    const std::vector<std::string> names = {"  lead", "../up", "BOOK", "NOKIA.cfg", "a  b"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        store.files[names[i]] = {"1", "", RandomBytes(60 + i, static_cast<unsigned>(i))};
    }
    ASSERT_EQ(Pre(), 1) << (Fatals().empty() ? "" : Fatals()[0]);
    std::vector<std::string> expected;
    for (const std::string& name : names) {
        expected.push_back("AT$JDNL=\"" + name + "\"");
    }
    EXPECT_EQ(Downloads(), expected);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Copy(static_cast<int>(i + 1)), store.files[names[i]].data) << names[i];
    }
}

TEST_F(PreStepsTest, AFileThatCouldNotBeStoredBackIsNamedAndNothingIsFetched) {
    ThreeFiles();
    store.files["say \"hi\""] = {"1", "", "x"};
    store.files["tab\there"] = {"1", "", "x"};
    EXPECT_EQ(Pre(), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{kDownloadError});
    EXPECT_EQ(page.Texts(WM_WIZ_NOTICE),
              std::vector<std::string>{"The modem's file \"say \"hi\"\" cannot be backed up: its "
                                       "name holds a double quote or a control character."});
    EXPECT_TRUE(Downloads().empty());

    store.files.erase("say \"hi\"");
    test_support::RecordingPage fresh;
    EXPECT_EQ(PreSteps(fresh.handle(), &serial, &status, WM_WIZ_STEP, &counter), 0);
    EXPECT_EQ(fresh.Texts(WM_WIZ_NOTICE),
              std::vector<std::string>{"The modem's file \"tab\\x09here\" cannot be backed up: "
                                       "its name holds a double quote or a control character."})
        << "a control character is shown, not sent to the terminal";
}

TEST_F(PreStepsTest, AFileListedWithoutSizeIsCopiedWithANoteThatItsLengthIsUnchecked) {
    store.files["a.dat"] = {"1", "", RandomBytes(100, 9)};
    store.listingAnswer = [] { return std::string("\r\na.dat,1,,0,0,\r\n\r\nOK\r\n"); };
    test_support::TraceCapture trace;
    ASSERT_EQ(Pre(), 1);
    const std::string note =
        "The listing gives no size for \"a.dat\": the length of its copy "
        "cannot be checked.";
    EXPECT_EQ(page.Texts(WM_WIZ_NOTICE), std::vector<std::string>{note});
    EXPECT_TRUE(trace.Contains(note));
    EXPECT_EQ(Copy(1).size(), 128u) << "the padding of the block stays";
    EXPECT_EQ(Copy(1).substr(0, 100), store.files["a.dat"].data);
}

}  // namespace
}  // namespace backup_test
