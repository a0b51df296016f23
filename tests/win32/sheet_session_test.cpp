// What the native pages make of the worker's messages: each message, as a
// page handle delivered it, becomes what the page shows.
#include <gtest/gtest.h>

#include <string>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "tests/support/temp_dir.h"
#include "wizard/engine/page_controls.h"
#include "wizard/resources/strings.h"
#include "wizard/win32/page_handle.h"
#include "wizard/win32/sheet_session.h"

namespace {

// The last message posted to a page's window.
struct Delivered {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
} last;

}  // namespace

namespace win32 {

bool NativePost(NativeWindow, unsigned, std::uintptr_t wParam, std::intptr_t lParam) {
    last = {wParam, lParam};
    return true;
}
std::intptr_t NativeSend(NativeWindow, unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}
bool NativeSetItemText(NativeWindow, int, const char*) {
    return true;
}
bool NativeShowItem(NativeWindow, int, bool) {
    return true;
}
int NativeMessageBox(NativeWindow, const char*, unsigned) {
    return IDOK;
}

}  // namespace win32

namespace {

using win32::PageEvent;

class SheetSessionTest : public ::testing::Test {
  protected:
    void SetUp() override { page_.Attach(&window_); }
    // The message posted through a page handle, as its window gets it.
    PageEvent Posted(int pageId, UINT message, WPARAM wParam, const char* text) {
        std::string buffer = text != nullptr ? text : "";
        LPARAM lParam = text != nullptr ? TextParam(buffer.c_str()) : 0;
        last = {};
        EXPECT_TRUE(PostMessage(page_.Handle(), message, wParam, lParam));
        buffer.assign(buffer.size(), 'x');  // the sender reuses its buffer
        return session_.OnMessage(pageId, message, last.wParam, last.lParam, false);
    }

    int window_ = 0;
    win32::PageHandle page_;
    win32::SheetSession session_{flow::WizardOptions{}};
};

TEST_F(SheetSessionTest, TheWorkersMessagesBecomeWhatThePageShows) {
    PageEvent e = Posted(flow::kSearchPage, WM_WIZ_SEARCHSTATUS, 0, "Opening port ...");
    EXPECT_EQ(e.kind, PageEvent::kSetText);
    EXPECT_EQ(e.control, IDC_SEARCH_STATUS_LINE);
    EXPECT_EQ(e.text, "Opening port ...");
    EXPECT_EQ(Posted(flow::kSearchPage, WM_WIZ_SEARCHPORT, 0, "Checking COM5").control,
              IDC_SEARCH_PORT_LINE);
    e = Posted(flow::kSearchPage, WM_WIZ_NOTFOUND, 0, nullptr);
    EXPECT_EQ(e.kind, PageEvent::kNotFound);
    EXPECT_EQ(e.text, "") << "no modem in its boot loader, no notice";
    // A modem waiting in its boot loader: the result names its port and the
    // command that loads its firmware.
    EXPECT_TRUE(win32::SheetSession::IsWorkerMessage(WM_WIZ_INLOADER)) << "the page passes it on";
    EXPECT_EQ(Posted(flow::kSearchPage, WM_WIZ_INLOADER, 0, "COM5").kind, PageEvent::kNone);
    e = Posted(flow::kSearchPage, WM_WIZ_NOTFOUND, 0, nullptr);
    EXPECT_EQ(e.kind, PageEvent::kNotFound);
    EXPECT_EQ(e.text.rfind("A modem is waiting in its boot loader on COM5. To load its firmware, "
                           "run this command:\r\r",
                           0),
              0u)
        << e.text;
    EXPECT_NE(e.text.find(" recover --port COM5 --model NAME"), std::string::npos) << e.text;

    e = Posted(flow::kUpdatePage, WM_WIZ_STEP, 7, nullptr);
    EXPECT_EQ(e.kind, PageEvent::kStep);
    EXPECT_EQ(e.step, 7);
    EXPECT_FALSE(e.highlight);
    EXPECT_EQ(Posted(flow::kUpdatePage, WM_WIZ_STEP, 8, nullptr).kind, PageEvent::kNone)
        << "a step beyond the page's eight lines is not shown";
    e = Posted(flow::kUpdatePage, WM_WIZ_SETPROGRESS, 250, nullptr);
    EXPECT_EQ(e.kind, PageEvent::kProgress);
    EXPECT_EQ(e.position, 100) << "the bar ends at its end";
    EXPECT_EQ(Posted(flow::kUpdatePage, WM_WIZ_WORKER, 0, nullptr).kind, PageEvent::kWorkerEnded)
        << "lParam 0: the worker has ended";
    EXPECT_TRUE(win32::SheetSession::IsWorkerMessage(WM_WIZ_FATAL));
    EXPECT_FALSE(win32::SheetSession::IsWorkerMessage(WM_WIZ_SEARCH));
}

TEST_F(SheetSessionTest, AFatalErrorOnTheUpdatePageNamesTheFolderThatKeepsTheFiles) {
    test_support::TempDir kept{"kept-files"};
    kept.Write("store.bin", "data");
    EXPECT_EQ(Posted(flow::kUpdatePage, WM_WIZ_KEPTFILES, 0, kept.File("").c_str()).kind,
              PageEvent::kKeptFiles);
    PageEvent e = Posted(flow::kUpdatePage, WM_WIZ_FATAL, 0, "The update failed.");
    EXPECT_EQ(e.kind, PageEvent::kFatal);
    EXPECT_EQ(e.text.rfind("The update failed.\r\r", 0), 0u) << e.text;
    EXPECT_NE(e.text.find(kept.File("")), std::string::npos) << e.text;
    EXPECT_EQ(Posted(flow::kSearchPage, WM_WIZ_FATAL, 0, "No port.").text, "No port.")
        << "other pages show the text alone";
}

}  // namespace
