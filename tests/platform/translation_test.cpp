// Texts by id, translated through a compiled gettext catalogue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/translation.h"

namespace {

const platform::TextEntry kTable[] = {
    {1, "Port:"},
    {2, "Loading firmware to modem (%d %% complete)"},
    {3, "Line one\rLine two"},
    {4, "Not translated"},
};

class EnvGuard {
  public:
    explicit EnvGuard(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        had_ = value != nullptr;
        if (had_) {
            old_ = value;
        }
    }
    ~EnvGuard() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_;
    std::string old_;
};

// Writes a German catalogue for domain "testdomain" under dir and compiles it.
std::string MakeCatalogue(const std::string& language) {
    std::string dir = ::testing::TempDir() + "/translation_test_locale";
    std::string lcDir = dir + "/" + language + "/LC_MESSAGES";
    std::string po = dir + "/" + language + ".po";
    EXPECT_EQ(std::system(("mkdir -p '" + lcDir + "'").c_str()), 0);
    std::ofstream(po) << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                         "msgid \"Port:\"\nmsgstr \"Anschluss:\"\n\n"
                         "msgid \"Loading firmware to modem (%d %% complete)\"\n"
                         "msgstr \"Firmware wird geladen (%d %% fertig)\"\n\n"
                         "msgid \"Line one\\rLine two\"\nmsgstr \"Zeile eins\\rZeile zwei\"\n\n"
                         "msgid \"Not translated\"\nmsgstr \"\"\n";
    std::string command = "msgfmt --check -o '" + lcDir + "/testdomain.mo' '" + po + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

TEST(Translation, LanguagesFollowGettextPrecedence) {
    EnvGuard a("LANGUAGE"), b("LC_ALL"), c("LC_MESSAGES"), d("LANG");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANGUAGE", "de:fr", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(platform::PreferredLanguages(),
              (std::vector<std::string>{"de", "fr", "en_US", "en"}));

    unsetenv("LANGUAGE");
    setenv("LC_ALL", "de_DE.UTF-8@euro", 1);
    EXPECT_EQ(platform::PreferredLanguages(), (std::vector<std::string>{"de_DE", "de"}));

    unsetenv("LC_ALL");
    setenv("LC_MESSAGES", "pt_BR", 1);
    EXPECT_EQ(platform::PreferredLanguages(), (std::vector<std::string>{"pt_BR", "pt"}));

    unsetenv("LC_MESSAGES");
    setenv("LANG", "C", 1);
    EXPECT_TRUE(platform::PreferredLanguages().empty());
}

TEST(Translation, TextsComeFromTheCatalogueAndFallBackToEnglish) {
    std::string dir = MakeCatalogue("de");
    platform::TextCatalog catalog("testdomain", kTable, 4);
    catalog.UseLanguages({"de_AT", "de"}, dir);
    EXPECT_EQ(catalog.Load(1), "Anschluss:");
    EXPECT_EQ(catalog.Load(2), "Firmware wird geladen (%d %% fertig)");
    EXPECT_EQ(catalog.Load(3), "Zeile eins\rZeile zwei") << "line breaks are kept";
    EXPECT_EQ(catalog.Load(4), "Not translated");
    EXPECT_EQ(catalog.Load(99), "");

    catalog.UseLanguages({"fi"}, dir);
    EXPECT_EQ(catalog.Load(1), "Port:");
}

TEST(Translation, ABrokenCatalogueIsIgnored) {
    std::string dir = ::testing::TempDir() + "/translation_test_broken";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/nl/LC_MESSAGES'").c_str()), 0);
    std::ofstream(dir + "/nl/LC_MESSAGES/testdomain.mo")
        << "\xde\x12\x04\x95 not really a catalogue";
    std::vector<std::pair<std::string, std::string>> messages;
    EXPECT_FALSE(platform::ReadMessageCatalogue(dir + "/nl/LC_MESSAGES/testdomain.mo", &messages));
    platform::TextCatalog catalog("testdomain", kTable, 4);
    catalog.UseLanguages({"nl"}, dir);
    EXPECT_EQ(catalog.Load(1), "Port:");
}

}  // namespace
