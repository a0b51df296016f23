// The country setting: the text helpers and the command saved from the
// modem's answer.
#include <gtest/gtest.h>

#include <cstring>

#include "flash_fixture.h"
#include "plugins/flash/country_code.h"

using flinta::ExtractAnswer;
using flinta::ReplaceAll;

namespace {

std::string Extract(const std::string& echo, const std::string& answer, bool* ok = nullptr) {
    char out[256];
    std::strcpy(out, "untouched");
    bool result = ExtractAnswer(echo, answer, out, sizeof out);
    if (ok != nullptr) {
        *ok = result;
    }
    return out;
}

TEST(ExtractAnswer, TheTextBetweenEchoAndFinalOk) {
    bool ok = false;
    EXPECT_EQ(Extract("AT+GCI?", "AT+GCI?\r\r\n+GCI: 3D\r\n\r\nOK\r\n", &ok), "+GCI: 3D");
    EXPECT_TRUE(ok);
    // As the request engine hands it over: the echo is already gone.
    EXPECT_EQ(Extract("AT+GCI?", "\r\n+GCI: 3D\r\n\r\nOK\r\n"), "+GCI: 3D");
    EXPECT_EQ(Extract("ATI3", "\r\nline one\r\nline two\r\n\r\nOK\r\n"), "line one\r\nline two");
    EXPECT_EQ(Extract("AT", "\r\nOK\r\n"), "");
}

TEST(ExtractAnswer, NothingUsableGivesNothing) {
    bool ok = true;
    EXPECT_EQ(Extract("AT+GCI?", "AT+GCI?", &ok), "untouched") << "exactly the echo";
    EXPECT_FALSE(ok);
    EXPECT_EQ(Extract("AT+GCI?", "\r\n+GCI: 3D\r\n", &ok), "") << "no final OK";
    EXPECT_FALSE(ok);
    EXPECT_EQ(Extract("AT+GCI?", "\r\n+GCI: 3D\r\nNOK\r\n", &ok), "") << "NOK is no OK";
    EXPECT_FALSE(ok);
    EXPECT_EQ(Extract("AT+GCI?", "\r\n" + std::string(300, 'x') + "\r\nOK\r\n", &ok), "")
        << "does not fit";
    EXPECT_FALSE(ok);
}

TEST(ReplaceAll, EveryOccurrenceWithinTheBuffer) {
    char text[32] = "+GCI: 3D";
    EXPECT_TRUE(ReplaceAll(text, sizeof text, "+GCI:", "AT+GCI="));
    EXPECT_STREQ(text, "AT+GCI= 3D");
    char several[32] = "a-b-c-";
    EXPECT_TRUE(ReplaceAll(several, sizeof several, "-", "+="));
    EXPECT_STREQ(several, "a+=b+=c+=");
    char shrinking[32] = "aaaa";
    EXPECT_TRUE(ReplaceAll(shrinking, sizeof shrinking, "aa", "a"));
    EXPECT_STREQ(shrinking, "a") << "until no occurrence is left";
    char same[8] = "abc";
    EXPECT_TRUE(ReplaceAll(same, sizeof same, "b", "b"));
    EXPECT_STREQ(same, "abc");
}

TEST(ReplaceAll, AResultThatDoesNotFitLeavesTheTextAlone) {
    char text[12] = "+GCI: 3D";
    EXPECT_FALSE(ReplaceAll(text, sizeof text, "+GCI:", "AT+GCI==="));
    EXPECT_STREQ(text, "+GCI: 3D");
    // A replacement that holds what it replaces would grow without end.
    char growing[64] = "a-b";
    EXPECT_FALSE(ReplaceAll(growing, sizeof growing, "-", "--"));
    EXPECT_STREQ(growing, "a-b");
    EXPECT_TRUE(ReplaceAll(text, sizeof text, "+GCI:", "AT+GCI="));
    EXPECT_STREQ(text, "AT+GCI= 3D");
}

using CountryCode = FlashFixture;

TEST_F(CountryCode, TheAnswerLineBecomesTheCommandThatSetsItAgain) {
    EXPECT_EQ(flinta::SaveCountryCode(&port), "AT+GCI= 3D");
    EXPECT_EQ(modem.commands.back(), "AT+GCI?");
    modem.countryAnswer = "\r\n+GCI: B5\r\n\r\nOK\r\n";
    EXPECT_EQ(flinta::SaveCountryCode(&port), "AT+GCI= B5");
}

TEST_F(CountryCode, AnAnswerWithoutCountryGivesNoCommand) {
    for (const char* answer : {"\r\nERROR\r\n", "\r\n\r\nOK\r\n", "\r\nCountry 3D\r\n\r\nOK\r\n",
                               "\r\n+GCI: 3D;Z\r\n\r\nOK\r\n", "\r\n+GCI:\r\n\r\nOK\r\n"}) {
        modem.countryAnswer = answer;
        EXPECT_EQ(flinta::SaveCountryCode(&port), "") << answer;
    }
    EXPECT_TRUE(trace.Contains("No country setting found"));
}

TEST_F(CountryCode, OtherLinesAroundTheCountryLineAreLeftOut) {
    modem.countryAnswer = "\r\nCountry list follows\r\n+GCI: 0A\r\n\r\nOK\r\n";
    EXPECT_EQ(flinta::SaveCountryCode(&port), "AT+GCI= 0A");
}

}  // namespace
