// Messages and calls through a message target.
#include <gtest/gtest.h>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "tests/support/recording_page.h"

namespace {

TEST(MessageTarget, CallsReachTheReceiverInOrder) {
    test_support::RecordingPage page;
    page.sendResult = 42;
    page.messageBoxAnswer = IDYES;
    const char* text = "Files are being backed up ...";
    EXPECT_TRUE(PostMessage(page.handle(), WM_WIZ_SEARCHSTATUS, 0, TextParam(text)));
    EXPECT_EQ(SendMessage(page.handle(), WM_WIZ_FATAL, 0, TextParam("broken")), 42);
    EXPECT_TRUE(SetDlgItemText(page.handle(), 1021, "Step 1"));
    EXPECT_TRUE(ShowDlgItem(page.handle(), 1021, false));
    EXPECT_EQ(MessageBox(page.handle(), "Restore?", MB_YESNO | MB_ICONQUESTION), IDYES);

    auto messages = page.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_WIZ_SEARCHSTATUS);
    EXPECT_EQ(ParamText(messages[0].lParam), text);
    EXPECT_FALSE(messages[0].sent);
    EXPECT_EQ(messages[1].message, WM_WIZ_FATAL);
    EXPECT_TRUE(messages[1].sent);
    EXPECT_EQ(messages[1].text, "broken");
    EXPECT_EQ(page.ItemTexts(), (std::vector<std::pair<int, std::string>>{{1021, "Step 1"}}));
    EXPECT_EQ(page.ShownItems(), (std::vector<std::pair<int, bool>>{{1021, false}}));
    EXPECT_EQ(
        page.MessageBoxes(),
        (std::vector<std::pair<std::string, UINT>>{{"Restore?", MB_YESNO | MB_ICONQUESTION}}));
}

TEST(MessageTarget, NoTargetOrAMissingFunctionFailsQuietly) {
    EXPECT_FALSE(PostMessage(nullptr, WM_WIZ_STEP, 0, 1));
    EXPECT_EQ(SendMessage(nullptr, WM_WIZ_STEP, 0, 1), 0);
    EXPECT_FALSE(SetDlgItemText(nullptr, 1, "x"));
    EXPECT_FALSE(ShowDlgItem(nullptr, 1, true));
    EXPECT_EQ(MessageBox(nullptr, "x", MB_OK), 0);

    HWND__ partial{};  // a receiver that fills in nothing
    EXPECT_FALSE(PostMessage(&partial, WM_WIZ_STEP, 0, 1));
    EXPECT_EQ(SendMessage(&partial, WM_WIZ_STEP, 0, 1), 0);
    EXPECT_FALSE(SetDlgItemText(&partial, 1, "x"));
    EXPECT_FALSE(ShowDlgItem(&partial, 1, true));
    EXPECT_EQ(MessageBox(&partial, "x", MB_OK), 0);
}

}  // namespace
