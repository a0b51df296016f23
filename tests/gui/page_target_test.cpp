// A Qt page as message target, called from another thread as the worker
// and the plug-ins call it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QThread>
#include <QWidget>
#include <cstring>
#include <thread>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "tests/gui/gui_harness.h"
#include "wizard/gui/page_target.h"

namespace {

// A page that records what reaches it, and on which thread.
class Receiver : public gui::MessageReceiver {
  public:
    void OnMessage(UINT message, WPARAM wParam, LPARAM, const std::string& text) override {
        received.push_back({message, wParam, text, QThread::currentThread()});
    }
    int OnMessageBox(const std::string& text, UINT style) override {
        boxes.push_back({text, style});
        boxThread = QThread::currentThread();
        return IDNO;
    }
    struct Received {
        UINT message;
        WPARAM wParam;
        std::string text;
        QThread* thread;
    };
    std::vector<Received> received;
    std::vector<std::pair<std::string, UINT>> boxes;
    QThread* boxThread = nullptr;
};

class PageTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        label = new QLabel(QStringLiteral("before"), &page);
        label->setObjectName(QStringLiteral("1025"));
        target = std::make_unique<gui::PageTarget>(&page, &receiver);
    }
    // Before the widgets: the application has to exist first.
    struct Application {
        Application() { gui_test::EnsureApplication(); }
    } application;
    QWidget page;
    QLabel* label;
    Receiver receiver;
    std::unique_ptr<gui::PageTarget> target;
};

TEST_F(PageTargetTest, APostedTextIsCopiedBeforeTheSenderReusesItsBuffer) {
    HWND handle = target->Handle();
    std::thread worker([handle] {
        static char buffer[256];
        std::strcpy(buffer, "Checking /dev/ttyS0");
        PostMessage(handle, WM_WIZ_SEARCHPORT, 0, TextParam(buffer));
        std::strcpy(buffer, "overwritten at once");
        PostMessage(handle, WM_WIZ_STEP, 3, 1);
    });
    worker.join();
    EXPECT_TRUE(receiver.received.empty()) << "posted messages wait for the GUI";
    ASSERT_TRUE(gui_test::WaitUntil([this] { return receiver.received.size() == 2; }));
    EXPECT_EQ(receiver.received[0].message, WM_WIZ_SEARCHPORT);
    EXPECT_EQ(receiver.received[0].text, "Checking /dev/ttyS0");
    EXPECT_EQ(receiver.received[0].thread, page.thread());
    EXPECT_EQ(receiver.received[1].message, WM_WIZ_STEP);
    EXPECT_EQ(receiver.received[1].wParam, 3u);
    EXPECT_EQ(receiver.received[1].text, "") << "a step carries no text";
}

TEST_F(PageTargetTest, CallsFromAnotherThreadAreDoneOnTheGuiThreadBeforeTheyReturn) {
    HWND handle = target->Handle();
    std::atomic<bool> done{false};
    bool textSet = false, shown = false, missing = true;
    int answer = 0;
    std::string textSeenByWorker;
    std::thread worker([&] {
        textSet = SetDlgItemText(handle, 1025, "Line one\rLine two");
        // The call has returned: the label already shows the text.
        textSeenByWorker = label->text().toStdString();
        shown = ShowDlgItem(handle, 1025, false);
        missing = SetDlgItemText(handle, 4711, "no such control");
        SendMessage(handle, WM_WIZ_FOUND, 0, 0);
        answer = MessageBox(handle, "Restore the files?", MB_YESNO | MB_ICONQUESTION);
        done = true;
    });
    ASSERT_TRUE(gui_test::WaitUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(textSet);
    EXPECT_EQ(textSeenByWorker, "Line one\nLine two") << "\"\\r\" becomes a line break";
    EXPECT_TRUE(shown);
    EXPECT_TRUE(label->isHidden());
    EXPECT_FALSE(missing);
    ASSERT_EQ(receiver.received.size(), 1u);
    EXPECT_EQ(receiver.received[0].message, WM_WIZ_FOUND);
    EXPECT_EQ(receiver.received[0].thread, page.thread()) << "sent, yet handled on the GUI thread";
    EXPECT_EQ(answer, IDNO);
    ASSERT_EQ(receiver.boxes.size(), 1u);
    EXPECT_EQ(receiver.boxes[0].first, "Restore the files?");
    EXPECT_EQ(receiver.boxes[0].second, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(receiver.boxThread, page.thread());
}

TEST_F(PageTargetTest, OnlyHandlesOfQtPagesLeadToTheirPage) {
    EXPECT_EQ(gui::PageTarget::PageOf(target->Handle()), &page);
    HWND__ other{};
    EXPECT_EQ(gui::PageTarget::PageOf(&other), nullptr);
    EXPECT_EQ(gui::PageTarget::PageOf(nullptr), nullptr);
}

}  // namespace
