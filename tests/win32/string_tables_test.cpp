// The Windows string tables made from the gettext catalogues (compiled by
// windres): every text of every language the same as the one the module
// loads through gettext, line breaks and quotes included.
#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "platform/translation.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/flash/flash_texts.h"
#include "tests/support/test_paths.h"
#include "tests/win32/resource_file.h"
#include "wizard/resources/strings.h"
#include "wizard/win32/utf16_text.h"

namespace {

struct Domain {
    const char* resourceFile;
    platform::TextCatalog& (*texts)();
    std::vector<std::string> languages;
};

const std::vector<std::string> kWizardLanguages = {"es", "cs", "da", "de", "en", "fi", "fr",
                                                   "it", "nl", "nb", "pl", "ru", "tr", "pt"};
const std::vector<std::string> kPluginLanguages(kWizardLanguages.begin(),
                                                kWizardLanguages.begin() + 12);

// The Windows language of each: the primary language with the neutral
// sublanguage, which every regional variant finds; English as US English,
// the loader's last resort.
const std::map<std::string, std::uint16_t> kLanguageIds = {
    {"es", 0x000A}, {"cs", 0x0005}, {"da", 0x0006}, {"de", 0x0007}, {"en", 0x0409},
    {"fi", 0x000B}, {"fr", 0x000C}, {"it", 0x0010}, {"nl", 0x0013}, {"nb", 0x0014},
    {"pl", 0x0015}, {"ru", 0x0019}, {"tr", 0x001F}, {"pt", 0x0016}};

// The ids of a module's table and their texts in the given language.
std::map<int, std::u16string> CatalogueTexts(platform::TextCatalog& catalog,
                                             const std::string& language) {
    catalog.UseLanguages({language}, test_support::BinDir() + "/locale");
    std::map<int, std::u16string> texts;
    for (int id = 0; id <= 0xFFFF; ++id) {
        if (catalog.English(id) != nullptr && !catalog.Load(id).empty()) {
            texts[id] = win32::Utf16FromUtf8(catalog.Load(id));
        }
    }
    return texts;
}

void PrintTo(const Domain& domain, std::ostream* out) {
    *out << domain.resourceFile;
}

std::vector<win32_test::Resource> Read(const std::string& name) {
    std::vector<win32_test::Resource> resources;
    std::string error;
    EXPECT_TRUE(win32_test::ReadResourceFile(std::string(WIN32_TEST_RESOURCE_DIR) + "/" + name,
                                             &resources, &error))
        << error;
    return resources;
}

class StringTables : public ::testing::TestWithParam<Domain> {
  protected:
    ~StringTables() override { GetParam().texts().UseLanguages({}, std::string()); }
};

TEST_P(StringTables, EveryLanguageHasEveryTextAsTheCatalogueHasIt) {
    const Domain& domain = GetParam();
    const std::vector<win32_test::Resource> resources = Read(domain.resourceFile);

    std::vector<std::uint16_t> expectedLanguages;
    for (const std::string& language : domain.languages) {
        expectedLanguages.push_back(kLanguageIds.at(language));
    }
    std::sort(expectedLanguages.begin(), expectedLanguages.end());
    EXPECT_EQ(win32_test::StringTableLanguages(resources), expectedLanguages);

    for (const std::string& language : domain.languages) {
        SCOPED_TRACE(language);
        const std::map<int, std::u16string> expected = CatalogueTexts(domain.texts(), language);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(win32_test::StringTable(resources, kLanguageIds.at(language)), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, StringTables,
    ::testing::Values(Domain{"wizard_strings.res", &wizard::Texts, kWizardLanguages},
                      Domain{"sarnet_plugin_strings.res", &backup::Texts, kPluginLanguages},
                      Domain{"flinta_plugin_strings.res", &flinta::Texts, kPluginLanguages}),
    [](const ::testing::TestParamInfo<Domain>& info) {
        return std::string(info.param.resourceFile).substr(0, 6);
    });

TEST(StringTables, GermanTextsKeepTheirLineBreaksAndQuotes) {
    const std::map<int, std::u16string> german =
        win32_test::StringTable(Read("wizard_strings.res"), 0x0007);
    ASSERT_EQ(german.count(wizard::IDS_UPDATE_INTRO), 1u);
    EXPECT_NE(german.at(wizard::IDS_UPDATE_INTRO).find(u"\r\r\r\r\r"), std::u16string::npos);
    EXPECT_EQ(german.at(wizard::IDS_CLICK_NEXT), u"Klicken Sie auf \"Weiter\", um fortzufahren.");
    EXPECT_EQ(german.at(wizard::IDS_MANUAL_HEADER_SUBTITLE), u" ")
        << "a text the catalogues do not translate stays as it is";
}

// The generator on fixtures/: a translation only where gettext would use
// one, texts of several pieces and lines, quotes and backslashes, and what
// the resource compiler's list syntax would split.
TEST(StringTableGenerator, ReadsEveryKindOfTableAndCatalogueEntry) {
    const std::vector<win32_test::Resource> resources = Read("sample_strings.res");
    EXPECT_EQ(win32_test::StringTableLanguages(resources),
              (std::vector<std::uint16_t>{0x0007, 0x0409}));
    const std::map<int, std::u16string> english = {
        {1, u"Plain"},
        {2, u"Fuzzy"},
        {3, u"Count %d of %d"},
        {4, u"Two lines\rjoined"},
        {5, u"Click \"Next\" \\ now"},
        {6, u"Untranslated"},
        {7, u"Obsolete"},
        {16, u" "},
        {2003, u"Semicolon; [bracket]"},
    };
    EXPECT_EQ(win32_test::StringTable(resources, 0x0409), english);
    std::map<int, std::u16string> german = english;
    german[1] = u"Schlicht";
    german[3] = u"Z\u00E4hler %d von %d";
    german[4] = u"Zwei Zeilen\rverbunden";
    german[5] = u"Klicken Sie auf \"Weiter\" \\ jetzt";
    german[2003] = u"Semikolon; [Klammer]";
    EXPECT_EQ(win32_test::StringTable(resources, 0x0007), german)
        << "fuzzy, untranslated and obsolete entries stay English; a context is another text";
}

}  // namespace
