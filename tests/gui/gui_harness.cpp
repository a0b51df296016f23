#include "tests/gui/gui_harness.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>

#include "platform/paths.h"
#include "platform/translation.h"
#include "tests/support/test_paths.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/update_run.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/sheet_page.h"
#include "wizard/resources/strings.h"

namespace gui_test {

void EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv(gui::kAnswerBoxesVariable, "1", 1);
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void RunFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

std::string TextOf(QWidget* root, int id) {
    if (auto* label = Control<QLabel>(root, id)) {
        return label->text().toStdString();
    }
    if (auto* button = Control<QAbstractButton>(root, id)) {
        return button->text().toStdString();
    }
    return "<none>";
}

std::string UsableButtons(QWizard* sheet) {
    std::string usable;
    const std::pair<QWizard::WizardButton, const char*> buttons[] = {
        {QWizard::BackButton, "Back"},
        {QWizard::NextButton, "Next"},
        {QWizard::FinishButton, "Finish"},
        {QWizard::CancelButton, "Cancel"}};
    for (const auto& [which, name] : buttons) {
        QAbstractButton* button = sheet->button(which);
        if (button->isVisible() && button->isEnabled()) {
            usable += (usable.empty() ? "" : " ") + std::string(name);
        }
    }
    return usable;
}

void UseLanguage(const std::string& language) {
    std::vector<std::string> languages;
    if (!language.empty()) {
        languages.push_back(language);
    }
    wizard::Texts().UseLanguages(languages, test_support::BinDir() + "/locale");
}

SheetHarness::SheetHarness(const std::string& wizardInf) {
    EnsureApplication();
    dir_.Write("Wizard.inf", wizardInf);
    previousDirectory_ = std::filesystem::current_path().string();
    platform::SetCurrentDirectory(dir_.Path());
    WizardState& state = TheWizardState();
    state = WizardState{};
    std::string why;
    EXPECT_TRUE(LocateConfigFile(dir_.File("Wizard.inf"), &state.config, &why)) << why;
    StepCounter() = 0;
}

SheetHarness::~SheetHarness() {
    sheet_.reset();
    platform::SetCurrentDirectory(previousDirectory_);
}

void SheetHarness::Open(bool oldLook, std::vector<std::string> ports,
                        std::function<bool(UINT, HWND)> toWorker) {
    gui::SheetSetup setup;
    setup.oldLook = oldLook;
    setup.ports = std::move(ports);
    if (toWorker) {
        setup.toWorker = std::move(toWorker);
    } else {
        setup.toWorker = [this](UINT message, HWND page) {
            requests_.push_back(Request{message, page});
            return true;
        };
    }
    sheet_ = std::make_unique<gui::WizardSheet>(TheWizardState(), setup);
    sheet_->show();
    WaitUntil([this] { return sheet_->currentId() == flow::kWelcomePage; }, 5000);
}

HWND SheetHarness::Handle(int dialogId) {
    gui::SheetPage* page = sheet_->Page(dialogId);
    return page != nullptr ? page->Handle() : nullptr;
}

bool SheetHarness::Press(QWizard::WizardButton which) {
    QAbstractButton* button = sheet_->button(which);
    if (!button->isVisible() || !button->isEnabled()) {
        return false;
    }
    button->click();
    QApplication::processEvents();
    return true;
}

}  // namespace gui_test

// The system's font library keeps its cache for the life of the process; the
// leak checker of sanitizer builds is told so. (An ordinary build never
// calls this.)
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
