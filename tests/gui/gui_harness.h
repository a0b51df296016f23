// What the GUI tests share: the application on the offscreen platform,
// waiting for the GUI without blocking it, controls by their ids, and a
// sheet over a Wizard.inf of the test's own.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tests/support/temp_dir.h"
#include "wizard/gui/wizard_sheet.h"

namespace gui_test {

// Creates the QApplication once, on the offscreen platform, with message
// boxes answered (their texts on stderr).
void EnsureApplication();

// Runs the GUI until condition holds; false when it did not within timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 30000);
// Runs the GUI for ms milliseconds.
void RunFor(int ms);

// The control with that id below root (null when there is none).
template <class Widget = QWidget>
Widget* Control(QWidget* root, int id) {
    return root->findChild<Widget*>(QString::number(id));
}
// The text of a label or button with that id ("<none>" when there is none).
std::string TextOf(QWidget* root, int id);

// Which of the frame's buttons are usable: "Back", "Next", "Finish",
// "Cancel", each when visible and enabled, in that order, blank-separated.
std::string UsableButtons(QWizard* sheet);

// The texts of the GUI in a language: "de", or "" for English.
void UseLanguage(const std::string& language);

// A request the sheet handed to the worker.
struct Request {
    UINT message;
    HWND page;
};

// A sheet over a Wizard.inf in a temporary directory. The sheet's requests
// go to the given function, or are recorded when there is none.
class SheetHarness {
  public:
    // wizardInf: the file's contents; the directory stands for the program
    // directory and is made current while the harness lives.
    explicit SheetHarness(const std::string& wizardInf);
    ~SheetHarness();

    void Open(bool oldLook, std::vector<std::string> ports = {},
              std::function<bool(UINT, HWND)> toWorker = nullptr);

    gui::WizardSheet& Sheet() { return *sheet_; }
    QWidget* Page(int dialogId) { return sheet_->page(dialogId); }
    HWND Handle(int dialogId);
    const std::vector<Request>& Requests() const { return requests_; }
    test_support::TempDir& Dir() { return dir_; }

    // Presses a button of the frame when it is usable; false otherwise.
    bool Press(QWizard::WizardButton button);

  private:
    test_support::TempDir dir_{"gui-test"};
    std::string previousDirectory_;
    std::vector<Request> requests_;
    std::unique_ptr<gui::WizardSheet> sheet_;
};

}  // namespace gui_test
