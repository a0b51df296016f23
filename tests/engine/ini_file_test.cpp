// Reading Wizard.inf with the private-profile rules, and surviving any
// bytes.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/temp_dir.h"
#include "wizard/engine/ini_file.h"

namespace {

std::vector<std::string> SectionNames(const IniFile& ini) {
    std::vector<std::string> names;
    for (const IniSection& section : ini.Sections()) {
        names.push_back(section.name);
    }
    return names;
}

TEST(IniFile, NamesWithoutRegardToCaseValuesTrimmedFirstMatchWins) {
    IniFile ini = IniFile::Parse(
        "[Common]\n"
        "  ComList =  OpenComOneToNine  \n"
        "; ComList=commented out\n"
        "[  My Modem  ]\n"
        "UploadCommand=AT**;not a comment\n"
        "uploadcommand=second\n"
        "Empty=\n"
        "[MY MODEM]\n"
        "UploadCommand=from the second section\n"
        "DLLName=only here\n");
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"Common", "My Modem", "MY MODEM"}));
    EXPECT_EQ(ini.Get("COMMON", "comlist").text, "OpenComOneToNine");
    EXPECT_EQ(ini.Get("my modem", "UPLOADCOMMAND").text, "AT**;not a comment");
    EXPECT_EQ(ini.Get("My Modem", "UploadCommand").line, 5);
    // Only the first section of a name is read, even for keys it lacks.
    EXPECT_EQ(ini.Get("My Modem", "DLLName").state, IniValue::kAbsent);
    EXPECT_EQ(ini.Get("My Modem", "Empty").state, IniValue::kPresent);
    EXPECT_EQ(ini.Get("My Modem", "Empty").Or("default"), "");
    EXPECT_EQ(ini.Get("My Modem", "Missing").Or("default"), "default");
    EXPECT_EQ(ini.Get("No Such", "UploadCommand").state, IniValue::kAbsent);
    EXPECT_TRUE(ini.Problems().empty());
}

TEST(IniFile, AllLineEndsAndAByteOrderMarkAreUnderstood) {
    IniFile ini = IniFile::Parse("\xEF\xBB\xBF[A]\r\nk1=v1\r\nk2=v2\rk3=v3\n[B]\r\n");
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ini.Get("A", "k1").text, "v1");
    EXPECT_EQ(ini.Get("A", "k2").text, "v2");
    EXPECT_EQ(ini.Get("A", "k3").text, "v3");
    EXPECT_EQ(ini.Get("A", "k3").line, 4);
}

TEST(IniFile, ValuesAboveTheLimitAreRefusedNotCut) {
    std::string fits(kMaxIniValueLength, 'a');
    std::string tooLong(kMaxIniValueLength + 1, 'b');
    IniFile ini = IniFile::Parse("[M]\nFits=" + fits + "\nLong=" + tooLong + "\n");
    EXPECT_EQ(ini.Get("M", "Fits").state, IniValue::kPresent);
    EXPECT_EQ(ini.Get("M", "Fits").text, fits);
    IniValue refused = ini.Get("M", "Long");
    EXPECT_EQ(refused.state, IniValue::kTooLong);
    EXPECT_EQ(refused.text, "");
    EXPECT_EQ(refused.line, 3);
    EXPECT_EQ(refused.Or("default"), "") << "a refused value is not the default either";
}

TEST(IniFile, MalformedLinesAreIgnoredAndReported) {
    std::string nul("[Bad\0Name]\nk=v\n", 15);
    IniFile ini = IniFile::Parse(
        "orphan=before any section\n"
        "[Good]\n"
        "no equals sign here\n"
        "=no key\n"
        "k=v\n"
        "[Broken\n"
        "lost=1\n"
        "[]\n"
        "lost=2\n"
        "[Tail] trailing words\n"
        "k=tail\n" +
        nul + "after=nul\n");
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"Good", "Tail"}));
    EXPECT_EQ(ini.Get("Good", "k").text, "v");
    EXPECT_EQ(ini.Get("Good", "lost").state, IniValue::kAbsent)
        << "keys under a broken header must not join the section before it";
    EXPECT_EQ(ini.Get("Tail", "k").text, "tail");
    EXPECT_EQ(ini.Get("Tail", "after").state, IniValue::kAbsent);
    std::vector<int> lines;
    for (const IniProblem& problem : ini.Problems()) {
        lines.push_back(problem.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14}));
}

TEST(IniFile, MissingUnreadableAndHugeFilesReadAsEmpty) {
    test_support::TempDir dir;
    IniFile missing = IniFile::Read(dir.File("Wizard.inf"));
    EXPECT_EQ(missing.status(), IniFile::Status::kMissing);
    EXPECT_TRUE(missing.Sections().empty());

    EXPECT_EQ(IniFile::Read(dir.Path()).status(), IniFile::Status::kUnreadable);

    std::string huge = "[Common]\nComList=x\n";
    huge.resize(IniFile::kMaxFileSize + 1, ';');
    IniFile tooLarge = IniFile::Read(dir.Write("huge.inf", huge));
    EXPECT_EQ(tooLarge.status(), IniFile::Status::kTooLarge);
    EXPECT_TRUE(tooLarge.Sections().empty());

    huge.resize(IniFile::kMaxFileSize);
    IniFile atLimit = IniFile::Read(dir.Write("limit.inf", huge));
    EXPECT_EQ(atLimit.status(), IniFile::Status::kRead);
    EXPECT_EQ(atLimit.Get("Common", "ComList").text, "x");
}

TEST(IniFile, AnyBytesGiveOnlyUsableNames) {
    std::mt19937 random(1234);
    std::string bytes;
    const std::string pieces[] = {"[", "]",      "=", ";", "\n", "\r", std::string(1, '\0'),
                                  " ", "Common", "x"};
    for (int i = 0; i < 200000; ++i) {
        bytes += (random() % 3 == 0) ? std::string(1, static_cast<char>(random() & 0xFF))
                                     : pieces[random() % 10];
    }
    bytes += "\n[Last]\nkey=" + std::string(100000, 'v') + "\n";
    IniFile ini = IniFile::Parse(bytes);
    ASSERT_FALSE(ini.Sections().empty());
    for (const IniSection& section : ini.Sections()) {
        EXPECT_FALSE(section.name.empty());
        EXPECT_EQ(section.name.find('\0'), std::string::npos);
        for (const IniEntry& entry : section.entries) {
            EXPECT_FALSE(entry.key.empty());
            EXPECT_EQ(entry.value.find('\0'), std::string::npos);
        }
    }
    EXPECT_EQ(ini.Get("Last", "key").state, IniValue::kTooLong);
}

TEST(ProfileInt, ReadsLeadingDigitsAndSaysWhenItGuessed) {
    int value = -1;
    EXPECT_TRUE(ParseProfileInt("38400", &value));
    EXPECT_EQ(value, 38400);
    EXPECT_FALSE(ParseProfileInt("57600 baud", &value));
    EXPECT_EQ(value, 57600);
    EXPECT_FALSE(ParseProfileInt("fast", &value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(ParseProfileInt("", &value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(ParseProfileInt("-9600", &value));
    EXPECT_EQ(value, 0) << "a negative number reads as 0";
    EXPECT_FALSE(ParseProfileInt("99999999999999999999", &value));
    EXPECT_EQ(value, 2147483647);
}

}  // namespace
