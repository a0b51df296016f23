// Cleaning and splitting modem answers.
#include <gtest/gtest.h>

#include <cstring>

#include "serial/answer_text.h"

namespace {

std::vector<std::string> Fields(const char* list) {
    std::vector<std::string> fields;
    for (const char* f = list; *f != '\0'; f += std::strlen(f) + 1) {
        fields.push_back(f);
    }
    return fields;
}

TEST(CleanAnswer, CutsTheEchoTheLastOkAndBlanks) {
    std::string out;
    CleanAnswer("AT+GMM:", "\r\n+GMM: Model X\r\n\r\nOK\r\n", &out);
    EXPECT_EQ(out, "+GMM: Model X");
    CleanAnswer("ATI6", "ATI6\r\nMOK 5 OK\r\nOK\r\n", &out);
    EXPECT_EQ(out, "MOK 5 OK") << "only the last OK goes";
    CleanAnswer("AT$BRAND?", "no echo here\r\n", &out);
    EXPECT_EQ(out, "no echo here");
    CleanAnswer("x", " \t\r\n", &out);
    EXPECT_EQ(out, "");
}

TEST(Trim, RemovesSetCharactersAtTheEnds) {
    std::string text = "\" Model \"";
    EXPECT_EQ(Trim(text, " \""), "Model");
    text = "  ";
    EXPECT_EQ(Trim(text, ' '), "");
    text = "xxaxx";
    EXPECT_EQ(TrimLeft(text, 'x'), "axx");
    EXPECT_EQ(TrimRight(text, "x"), "a");
    text = "";
    EXPECT_EQ(Trim(text, " "), "");
}

TEST(SplitList, KeepsOnlyTheFirstWhiteSpaceOfAField) {
    EXPECT_EQ(Fields(SplitList("a b c")), std::vector<std::string>{"a bc"});
    EXPECT_EQ(Fields(SplitList("name, 1 ,H  S")), (std::vector<std::string>{"name", " 1", "H S"}));
    EXPECT_EQ(Fields(SplitList("\tx")), std::vector<std::string>{" x"});
}

TEST(SplitList, RefusesInputThatWouldNotFitItsBuffer) {
    std::string fits(kSplitListBufferSize - 2, 'a');
    EXPECT_EQ(std::strlen(SplitList(fits.c_str())), fits.size());
    std::string tooLong(kSplitListBufferSize - 1, 'a');
    const char* result = SplitList(tooLong.c_str());
    EXPECT_EQ(result[0], '\0');
    EXPECT_EQ(result[1], '\0');
}

TEST(GetListField, TakesTheNthFieldTrimmed) {
    std::string out;
    GetListField("a,b,c", 1, &out);
    EXPECT_EQ(out, "b");
    GetListField("a,,c", 2, &out);
    EXPECT_EQ(out, "") << "an empty field ends the walk";
    GetListField("x,   spaced  ,y", 1, &out);
    EXPECT_EQ(out, "spaced");
    GetListField("a.dat,1,H I,0,0,1200\r", 5, &out);
    EXPECT_EQ(out, "1200");
    GetListField("a,b", 7, &out);
    EXPECT_EQ(out, "");
}

}  // namespace
