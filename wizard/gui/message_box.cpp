#include "wizard/gui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "plugin_api/message_target.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/gui/user_text.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

constexpr UINT kButtonMask = 0x0F;
constexpr UINT kIconMask = 0xF0;

std::atomic<bool> g_ending{false};

bool AnswerBoxesForTests() {
    const char* value = std::getenv(kAnswerBoxesVariable);
    return value != nullptr && value[0] != '\0';
}

QMessageBox::Icon IconOf(UINT style) {
    switch (style & kIconMask) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONWARNING:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int ShowMessageBox(QWidget* owner, const std::string& text, UINT style) {
    const UINT buttons = style & kButtonMask;
    if (AnswerBoxesForTests()) {
        std::fprintf(stderr, "Message box: %s\n", TerminalText(text).c_str());
        std::fflush(stderr);
        return buttons == MB_YESNO ? IDYES : IDOK;
    }
    QMessageBox box(IconOf(style), QString(), UserText(text), QMessageBox::NoButton, owner);
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    int firstAnswer = IDOK;
    int secondAnswer = IDCANCEL;
    if (buttons == MB_YESNO) {
        first = box.addButton(Text(wizard::IDS_BUTTON_YES), QMessageBox::YesRole);
        second = box.addButton(Text(wizard::IDS_BUTTON_NO), QMessageBox::NoRole);
        firstAnswer = IDYES;
        secondAnswer = IDNO;
    } else {
        first = box.addButton(Text(wizard::IDS_BUTTON_OK), QMessageBox::AcceptRole);
        if (buttons == MB_OKCANCEL) {
            second = box.addButton(Text(wizard::IDS_BUTTON_CANCEL), QMessageBox::RejectRole);
        }
    }
    box.setDefaultButton(first);
    box.setEscapeButton(second != nullptr ? second : first);
    box.exec();
    return box.clickedButton() == second && second != nullptr ? secondAnswer : firstAnswer;
}

bool ShowFatalAndEnd(QWidget* owner, const std::string& text) {
    if (g_ending.exchange(true)) {
        return false;
    }
    ShowMessageBox(owner, text, MB_OK | MB_ICONERROR);
    EndProcess(1);
}

void FatalFromAnyThread(const std::string& text) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        std::fprintf(stderr, "%s\n", TerminalText(text).c_str());
        EndProcess(1);
    }
    if (QThread::currentThread() == app->thread()) {
        ShowFatalAndEnd(nullptr, text);
    } else {
        QMetaObject::invokeMethod(
            app, [&text] { ShowFatalAndEnd(nullptr, text); }, Qt::BlockingQueuedConnection);
    }
    // Another fatal error is on the screen; its box ends the process.
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

void EndProcess(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace gui
