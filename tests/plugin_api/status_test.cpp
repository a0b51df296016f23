// _Status helpers: clearing, advancing a step, refusing texts that do not fit.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_api/messages.h"
#include "plugin_api/status.h"
#include "tests/support/recording_page.h"

namespace {

using Posts = std::vector<std::pair<WPARAM, LPARAM>>;

TEST(Status, ClearingKeepsThePathAndTheModel) {
    _Status status{};
    std::strcpy(status.text, "Loading %d %%");
    status.total = 1000;
    status.done = 500;
    status.state = 3;
    std::strcpy(status.iniPath, "/opt/wizard/Wizard.inf");
    std::strcpy(status.model, "ORVA 56K Serial");
    ClearStatus(&status);
    EXPECT_STREQ(status.text, "");
    EXPECT_EQ(status.total, 0);
    EXPECT_EQ(status.done, 0);
    EXPECT_EQ(status.state, 0);
    EXPECT_STREQ(status.iniPath, "/opt/wizard/Wizard.inf");
    EXPECT_STREQ(status.model, "ORVA 56K Serial");
    ClearStatus(nullptr);
}

TEST(Status, AdvancingUnhighlightsMovesOnAndHighlights) {
    test_support::RecordingPage page;
    int counter = 2;
    AdvanceStep(page.handle(), WM_WIZ_STEP, &counter);
    AdvanceStep(page.handle(), WM_WIZ_STEP, &counter);
    EXPECT_EQ(page.Posted(WM_WIZ_STEP), (Posts{{2, 0}, {3, 1}, {3, 0}, {4, 1}}));
    EXPECT_EQ(counter, 4);
    EXPECT_EQ(page.Messages().size(), 4u);

    AdvanceStep(nullptr, WM_WIZ_STEP, &counter);
    EXPECT_EQ(counter, 5) << "the count goes on without a page";
    AdvanceStep(page.handle(), WM_WIZ_STEP, nullptr);
    EXPECT_EQ(page.Messages().size(), 4u);
}

TEST(Status, TextsThatDoNotFitAreRefusedAndLeaveTheFieldAlone) {
    _Status status{};
    std::string longest(259, 'p');
    EXPECT_TRUE(CopyText(status.iniPath, longest.c_str()));
    EXPECT_EQ(std::string(status.iniPath), longest);
    EXPECT_FALSE(CopyText(status.iniPath, (longest + "q").c_str()));
    EXPECT_EQ(std::string(status.iniPath), longest);
    EXPECT_FALSE(CopyText(status.model, std::string(256, 'm').c_str()));
    EXPECT_STREQ(status.model, "");
    EXPECT_TRUE(CopyText(status.model, nullptr));
    EXPECT_STREQ(status.model, "");
}

}  // namespace
