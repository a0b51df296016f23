// Multi-strings in fixed buffers: the step-caption lists of plug-ins.
#include <gtest/gtest.h>

#include "plugin_api/multi_string.h"

namespace {

TEST(MultiString, AStepListIsBuiltEntryByEntryAndClosed) {
    char list[STEP_STRINGS_SIZE];
    MultiStringClear(list);
    EXPECT_EQ(MultiStringSize(list, sizeof list), 1u);
    EXPECT_TRUE(MultiStringAppend(list, sizeof list, "Modem memory is being reorganized ..."));
    EXPECT_TRUE(MultiStringAppend(list, sizeof list, "Files are being restored ..."));
    const std::string expected =
        std::string("Modem memory is being reorganized ...\0Files are being restored ...\0\0", 68);
    EXPECT_EQ(std::string(list, MultiStringSize(list, sizeof list)), expected);
    EXPECT_STREQ(MultiStringNext(list), "Files are being restored ...");
    EXPECT_STREQ(MultiStringNext(MultiStringNext(list)), "");
}

TEST(MultiString, EmptyOrOverlongEntriesAreRefusedAndTheListStaysWhole) {
    char list[12];
    MultiStringClear(list);
    EXPECT_FALSE(MultiStringAppend(list, sizeof list, "")) << "would end the list";
    EXPECT_FALSE(MultiStringAppend(list, sizeof list, nullptr));
    EXPECT_TRUE(MultiStringAppend(list, sizeof list, "abcd"));     // 6 bytes
    EXPECT_FALSE(MultiStringAppend(list, sizeof list, "efghij"));  // 13 would be needed
    EXPECT_TRUE(MultiStringAppend(list, sizeof list, "efghi"));    // exactly 12
    EXPECT_EQ(std::string(list, sizeof list), std::string("abcd\0efghi\0\0", 12));
    EXPECT_FALSE(MultiStringAppend(list, sizeof list, "x"));
    EXPECT_EQ(MultiStringSize(list, sizeof list), 12u);
}

TEST(MultiString, AListWithoutItsClosingTextWithinTheBufferHasNoSize) {
    char garbage[4] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(MultiStringSize(garbage, sizeof garbage), 0u);
    EXPECT_FALSE(MultiStringAppend(garbage, sizeof garbage, "d"));
    EXPECT_EQ(garbage[3], 'c');
}

}  // namespace
