// The model list: section names in file order, less the first Common,
// within 256 bytes.
#include <gtest/gtest.h>

#include "wizard/engine/common_settings.h"
#include "wizard/engine/model_list.h"

namespace {

std::string Bytes(const ModelList& list) {
    return std::string(list.data(), list.UsedBytes());
}

TEST(ModelList, TheFirstCommonIsRemovedWhateverItsCase) {
    IniFile ini = IniFile::Parse("[COMMON]\nComList=\n[MyModem]\n[Other]\n");
    EXPECT_EQ(Bytes(ReadModelList(ini)), std::string("MyModem\0Other\0\0", 15));
}

TEST(ModelList, WithoutCommonEverySectionIsAModelAndASecondCommonStays) {
    EXPECT_EQ(ReadModelList(IniFile::Parse("[A]\n[B]\n")).Entries(),
              (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ReadModelList(IniFile::Parse("[A]\n[Common]\n[B]\n[common]\n")).Entries(),
              (std::vector<std::string>{"A", "B", "common"}));
}

TEST(ModelList, AMissingFileGivesAnEmptyList) {
    ModelList list = ReadModelList(IniFile());
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(Bytes(list), std::string(1, '\0'));
}

TEST(ModelList, NamesThatDoNotFitAreDroppedWholeNeverCut) {
    std::string longName(250, 'L');
    IniFile ini = IniFile::Parse("[Common]\n[" + longName + "]\n[CC]\n[B]\n[" +
                                 std::string(300, 'X') + "]\n");
    std::vector<std::string> dropped;
    ModelList list = ReadModelList(ini, &dropped);
    // 250 + 1, then "CC" needs 3 more bytes with the closing NUL: 255 fits;
    // "B" would need 257.
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{longName, "CC"}));
    EXPECT_EQ(list.UsedBytes(), 255u);
    EXPECT_EQ(dropped, (std::vector<std::string>{"B", std::string(300, 'X')}));
}

TEST(AtInterpreter, OnlyExactlyOneMeansNone) {
    EXPECT_FALSE(HasAtInterpreter(IniFile::Parse("[Common]\nNoATInterpreter=1\n")));
    EXPECT_FALSE(HasAtInterpreter(IniFile::Parse("[Common]\nNoATInterpreter =  1 \n")));
    for (const char* value : {"yes", "true", "01", "0", "", "1 1"}) {
        EXPECT_TRUE(HasAtInterpreter(
            IniFile::Parse(std::string("[Common]\nNoATInterpreter=") + value + "\n")))
            << value;
    }
    EXPECT_TRUE(HasAtInterpreter(IniFile::Parse("[Common]\n")));
    EXPECT_TRUE(HasAtInterpreter(IniFile::Parse("[Model]\nNoATInterpreter=1\n")))
        << "only [Common] counts";
}

}  // namespace
