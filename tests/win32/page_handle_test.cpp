// A native page's handle as the worker and the plug-ins use it: every call
// reaches the page's window, and a posted text survives the sender's reuse
// of its buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "wizard/win32/native_window.h"
#include "wizard/win32/page_handle.h"

namespace {

// What reached the windows, as the native code would have seen it.
struct Call {
    std::string what;
    void* window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::string text;
};
std::vector<Call> calls;
bool refusePosts = false;

}  // namespace

namespace win32 {

bool NativePost(NativeWindow window, unsigned message, std::uintptr_t wParam,
                std::intptr_t lParam) {
    if (refusePosts) {
        return false;
    }
    calls.push_back({"post", window, message, wParam, lParam, ""});
    return true;
}
std::intptr_t NativeSend(NativeWindow window, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    calls.push_back({"send", window, message, wParam, lParam, ""});
    return 42;
}
bool NativeSetItemText(NativeWindow window, int itemId, const char* text) {
    calls.push_back({"text", window, 0, static_cast<std::uintptr_t>(itemId), 0, text});
    return true;
}
bool NativeShowItem(NativeWindow window, int itemId, bool show) {
    calls.push_back({"show", window, 0, static_cast<std::uintptr_t>(itemId), show ? 1 : 0, ""});
    return true;
}
int NativeMessageBox(NativeWindow window, const char* text, unsigned style) {
    calls.push_back({"box", window, style, 0, 0, text});
    return IDOK;
}

}  // namespace win32

namespace {

class PageHandleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        refusePosts = false;
        page_.Attach(&window_);
    }
    int window_ = 0;
    win32::PageHandle page_;
};

TEST_F(PageHandleTest, APostedTextIsTheSendersTextAtTheTimeOfPosting) {
    char buffer[64];
    std::strcpy(buffer, "Checking COM3");
    ASSERT_TRUE(PostMessage(page_.Handle(), WM_WIZ_SEARCHPORT, 0, TextParam(buffer)));
    std::strcpy(buffer, "Checking COM4");  // the worker reuses its buffer at once
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].window, &window_);
    EXPECT_EQ(calls[0].message, WM_WIZ_SEARCHPORT);
    EXPECT_NE(calls[0].lParam, TextParam(buffer));
    EXPECT_EQ(win32::PageHandle::TakePostedText(calls[0].lParam), "Checking COM3");

    ASSERT_TRUE(PostMessage(page_.Handle(), WM_WIZ_FATAL, 0, 0));
    EXPECT_EQ(win32::PageHandle::TakePostedText(calls[1].lParam), "") << "a null text";
}

TEST_F(PageHandleTest, OtherMessagesAndCallsReachTheWindowAsTheyAre) {
    ASSERT_TRUE(PostMessage(page_.Handle(), WM_WIZ_STEP, 3, 1));
    EXPECT_EQ(SendMessage(page_.Handle(), WM_WIZ_SETPROGRESS, 57, 0), 42);
    EXPECT_TRUE(SetDlgItemText(page_.Handle(), 1039, "Saving the modem's files"));
    EXPECT_TRUE(ShowDlgItem(page_.Handle(), 1029, true));
    EXPECT_EQ(MessageBox(page_.Handle(), "Flash failed", MB_ICONERROR), IDOK);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].what + " " + std::to_string(calls[0].wParam) + " " +
                  std::to_string(calls[0].lParam),
              "post 3 1");
    EXPECT_EQ(calls[1].what + " " + std::to_string(calls[1].wParam), "send 57");
    EXPECT_EQ(calls[2].text, "Saving the modem's files");
    EXPECT_EQ(calls[2].wParam, 1039u);
    EXPECT_EQ(calls[3].what + " " + std::to_string(calls[3].lParam), "show 1");
    EXPECT_EQ(calls[4].text, "Flash failed");
    EXPECT_EQ(calls[4].message, MB_ICONERROR);
}

TEST_F(PageHandleTest, BeforeItsWindowExistsOrWhenThePostFailsNothingIsKept) {
    win32::PageHandle early;
    EXPECT_FALSE(PostMessage(early.Handle(), WM_WIZ_SEARCHSTATUS, 0, TextParam("x")));
    EXPECT_FALSE(SetDlgItemText(early.Handle(), 1017, "x"));
    EXPECT_EQ(MessageBox(early.Handle(), "x", MB_OK), 0);
    EXPECT_TRUE(calls.empty());

    refusePosts = true;  // a full queue: the copy is freed (ASan would tell)
    EXPECT_FALSE(PostMessage(page_.Handle(), WM_WIZ_SEARCHSTATUS, 0, TextParam("lost")));
}

}  // namespace
