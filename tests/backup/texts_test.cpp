// The plug-in's texts: its step captions, its progress texts, and every
// translation, which must keep what the page relies on and fit its buffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/backup/sarnet_plugin.h"
#include "plugins/backup/step_report.h"
#include "tests/support/message_catalogue.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

const int kIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 36};
const char* const kLanguages[] = {"es", "cs", "da", "de", "en", "fi",
                                  "fr", "it", "nl", "nb", "pl", "ru"};

std::size_t Count(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

class BackupTexts : public ::testing::Test {
  protected:
    ~BackupTexts() override { backup::Texts().UseLanguages({}, std::string()); }
};

TEST_F(BackupTexts, StepCaptionListsInEnglish) {
    backup::Texts().UseLanguages({}, std::string());
    const char* pre = GetPreStepStrings();
    EXPECT_EQ(std::string(pre, MultiStringSize(pre, STEP_STRINGS_SIZE)),
              std::string("Files are being backed up ...\0", 31));
    const char* post = GetPostStepStrings();
    EXPECT_EQ(
        std::string(post, MultiStringSize(post, STEP_STRINGS_SIZE)),
        std::string("Modem memory is being reorganized ...\0Files are being restored ...\0", 68));
    EXPECT_EQ(GetVersionNumber(), 1);
}

TEST_F(BackupTexts, CountsGoInAndThePercentageIsLeftToThePage) {
    EXPECT_EQ(backup::FormatCount("File %d of %d %d%%", 2, 3), "File 2 of 3 %d%%");
    EXPECT_EQ(backup::FormatCount("%d/%d", 10, 200), "10/200");
    EXPECT_EQ(backup::FormatCount("no numbers 100%", 1, 2), "no numbers 100%");
    _Status status{};
    backup::Texts().UseLanguages({}, std::string());
    backup::SetFileProgressText(&status, backup::IDS_BACKING_UP_FILE, 2, 3);
    EXPECT_STREQ(status.text, "Backing up file 2 of 3 (%d%% finished)");
}

TEST_F(BackupTexts, EveryLanguageHasEveryTextWithItsLineBreaksAndPlaceholders) {
    const std::string locale = test_support::BinDir() + "/locale";
    for (const char* language : kLanguages) {
        backup::Texts().UseLanguages({language}, locale);
        for (int id : kIds) {
            const std::string english = backup::Texts().English(id);
            const std::string text = backup::Texts().Load(id);
            if (std::string(language) != "en") {
                EXPECT_NE(text, english) << language << " has no translation of " << id;
            }
            EXPECT_EQ(Count(text, "\r"), Count(english, "\r")) << language << " " << id;
            EXPECT_EQ(Count(text, "%d"), Count(english, "%d")) << language << " " << id;
            EXPECT_EQ(Count(text, "%%"), Count(english, "%%")) << language << " " << id;
            EXPECT_EQ(Count(text, "%") - Count(text, "%d") - 2 * Count(text, "%%"), 0u)
                << language << " " << id << ": a stray %";
            EXPECT_LT(text.size(), 256u) << language << " " << id << " does not fit its buffer";
        }
        // The longest progress text still fits the page's progress line.
        _Status status{};
        backup::SetFileProgressText(&status, backup::IDS_RESTORING_FILE, 1000, 1000);
        EXPECT_EQ(
            std::string(status.text),
            backup::FormatCount(backup::Texts().Load(backup::IDS_RESTORING_FILE), 1000, 1000) +
                backup::Texts().Load(backup::IDS_PERCENT_FINISHED))
            << language;
        EXPECT_NE(MultiStringSize(GetPostStepStrings(), STEP_STRINGS_SIZE), 0u);
        EXPECT_EQ(std::string(GetPostStepStrings()), backup::Texts().Load(1)) << language;
    }
}

TEST_F(BackupTexts, ATranslationTooLongForItsBufferGivesWayToTheEnglishText) {
    test_support::TempDir dir("long-texts");
    const std::string messages = dir.Path() + "/xx/LC_MESSAGES";
    std::filesystem::create_directories(messages);
    const std::string longText(300, 'x');
    ASSERT_TRUE(test_support::WriteMessageCatalogue(
        messages + "/sarnet_plugin.mo",
        {{"Files are being backed up ...", std::string(600, 'b')},
         {"Please wait ...", longText},
         {"Restoring file %d of %d ", std::string(250, 'r') + " %d %d"}}));

    backup::Texts().UseLanguages({"xx"}, dir.Path());
    ASSERT_EQ(backup::Texts().Load(backup::IDS_PLEASE_WAIT), longText) << "the catalogue is read";
    EXPECT_EQ(backup::LoadText(backup::IDS_PLEASE_WAIT), "Please wait ...");
    const char* pre = GetPreStepStrings();
    EXPECT_EQ(std::string(pre, MultiStringSize(pre, STEP_STRINGS_SIZE)),
              std::string("Files are being backed up ...\0", 31));
    _Status status{};
    backup::SetFileProgressText(&status, backup::IDS_RESTORING_FILE, 1, 2);
    EXPECT_STREQ(status.text, "Restoring file 1 of 2 (%d%% finished)");
}

}  // namespace
