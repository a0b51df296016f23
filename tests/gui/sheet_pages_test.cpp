// The five pages over a worker that only records the requests: looks,
// texts, buttons, page flow, and how the pages react to the worker's
// messages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/firmware_file.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/flow/command_line.h"
#include "wizard/gui/configuration_page.h"
#include "wizard/gui/page_header.h"
#include "wizard/gui/search_page.h"
#include "wizard/gui/selection_page.h"
#include "wizard/gui/update_page.h"
#include "wizard/gui/welcome_page.h"
#include "wizard/gui/wizard_program.h"

using gui_test::Control;
using gui_test::SheetHarness;
using gui_test::TextOf;
using gui_test::UsableButtons;

namespace {

constexpr const char* kTwoModels =
    "[Common]\nVersionInfo=firmware.bin\n\n"
    "[Zeta Modem]\nUploadFile=firmware.bin\n\n"
    "[Alpha Modem]\nUploadFile=firmware.bin\n";

class Pages : public ::testing::Test {
  protected:
    void Open(const std::string& wizardInf, bool oldLook = false,
              std::vector<std::string> ports = {"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0"}) {
        harness.reset();  // the old harness gives the current directory back first
        harness = std::make_unique<SheetHarness>(wizardInf);
        harness->Dir().Write("firmware.bin", test_support::FirmwareFile("3.07", 1000));
        harness->Open(oldLook, std::move(ports));
    }
    void TearDown() override { gui_test::UseLanguage(""); }
    gui::WizardSheet& Sheet() { return harness->Sheet(); }
    QWidget* Page(int id) { return harness->Page(id); }
    bool Next() { return harness->Press(QWizard::NextButton); }
    bool Back() { return harness->Press(QWizard::BackButton); }
    // Walks from the welcome page to the search page, with automatic selection.
    void ToSearchPage() {
        ASSERT_TRUE(Next());
        ASSERT_TRUE(Next());
        ASSERT_EQ(Sheet().currentId(), flow::kSearchPage);
    }
    void Post(int page, UINT message, WPARAM wParam = 0, const char* text = nullptr) {
        PostMessage(harness->Handle(page), message, wParam, TextParam(text));
    }
    bool Bold(int lineId) {
        return Control<QLabel>(Page(flow::kUpdatePage), lineId)->font().bold();
    }
    bool Shown(int page, int id) { return Control(Page(page), id)->isVisibleTo(Page(page)); }

    std::unique_ptr<SheetHarness> harness;
};

TEST_F(Pages, LaterLookTokensWinAndEachLookDrawsItsOwnHeader) {
    flow::WizardOptions options;
    std::string error;
    ASSERT_TRUE(
        flow::ParseCommandLine({"/OLDWIZ", "/newwiz"}, gui::kNewLookIsDefault, &options, &error));
    Open(kTwoModels, options.oldLook);
    EXPECT_EQ(Sheet().wizardStyle(), QWizard::ModernStyle);
    QWizardPage* configuration = Sheet().page(flow::kConfigurationPage);
    EXPECT_EQ(configuration->title().toStdString(), "Modem configuration");
    EXPECT_EQ(Control(configuration, gui::PageHeader::kTitleId), nullptr)
        << "the frame draws the header";
    EXPECT_FALSE(Sheet().page(flow::kWelcomePage)->pixmap(QWizard::WatermarkPixmap).isNull());
    EXPECT_TRUE(configuration->pixmap(QWizard::WatermarkPixmap).isNull())
        << "the watermark belongs to the outer page only";
    EXPECT_FALSE(Sheet().pixmap(QWizard::LogoPixmap).isNull());

    ASSERT_TRUE(
        flow::ParseCommandLine({"/newwiz", "/OLDWIZ"}, gui::kNewLookIsDefault, &options, &error));
    Open(kTwoModels, options.oldLook);
    EXPECT_EQ(Sheet().wizardStyle(), QWizard::ClassicStyle);
    configuration = Sheet().page(flow::kConfigurationPage);
    EXPECT_TRUE(configuration->title().isEmpty());
    auto* title = Control<QLabel>(configuration, gui::PageHeader::kTitleId);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text().toStdString(), "Modem configuration");
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(TextOf(configuration, gui::PageHeader::kSubtitleId),
              "Use this dialog to determine whether your modem should be recognized "
              "automatically \nor manually.");
    EXPECT_NE(Control(Page(flow::kUpdatePage), gui::PageHeader::kLineId), nullptr);
    EXPECT_EQ(Control(Page(flow::kWelcomePage), gui::PageHeader::kTitleId), nullptr)
        << "the welcome page has no header";
    auto* picture = Control<QLabel>(Page(flow::kWelcomePage), gui::WelcomePage::kBitmapId);
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
}

TEST_F(Pages, TheWelcomePageAnnouncesTheFirmwareVersion) {
    Open(kTwoModels);
    QWidget* welcome = Page(flow::kWelcomePage);
    EXPECT_EQ(TextOf(welcome, gui::WelcomePage::kGreetingId), "Welcome to the");
    EXPECT_EQ(TextOf(welcome, gui::WelcomePage::kTitleId), "ORVA Varrona Firmware Wizard");
    EXPECT_TRUE(Control<QLabel>(welcome, gui::WelcomePage::kGreetingId)->font().bold());
    QFont title = Control<QLabel>(welcome, gui::WelcomePage::kTitleId)->font();
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(title.pointSize(), 14);
    const std::string body = TextOf(welcome, gui::WelcomePage::kBodyId);
    EXPECT_EQ(body.rfind("Our products are continuously being improved", 0), 0u) << body;
    EXPECT_NE(body.find("of your device.\n\nThe Firmware Wizard is now updating your firmware to "
                        "version 3.07."),
              std::string::npos)
        << body;
    EXPECT_EQ(UsableButtons(&Sheet()), "Next Cancel");
    EXPECT_EQ(Sheet().windowTitle().toStdString(), "ORVA Varrona Firmware Wizard");

    Open("[Common]\n\n[Zeta Modem]\nUploadFile=firmware.bin\n");
    EXPECT_EQ(TextOf(Page(flow::kWelcomePage), gui::WelcomePage::kBodyId).find("version"),
              std::string::npos)
        << "no VersionInfo, no version";
}

TEST_F(Pages, TheSearchPageShowsWhatTheWorkerReports) {
    Open(kTwoModels);
    ToSearchPage();
    ASSERT_EQ(harness->Requests().size(), 1u);
    EXPECT_EQ(harness->Requests()[0].message, WM_WIZ_SEARCH);
    EXPECT_EQ(harness->Requests()[0].page, harness->Handle(flow::kSearchPage));
    EXPECT_EQ(UsableButtons(&Sheet()), "Cancel") << "no way on while the search runs";
    QWidget* search = Page(flow::kSearchPage);
    EXPECT_EQ(TextOf(search, IDC_SEARCH_PORT_LINE), "COM1");
    EXPECT_EQ(TextOf(search, IDC_SEARCH_STATUS_LINE), "Suche Modem ...");

    Post(flow::kSearchPage, WM_WIZ_SEARCHPORT, 0, "Checking /dev/ttyS0");
    Post(flow::kSearchPage, WM_WIZ_SEARCHSTATUS, 0, "No compatible modem found!");
    Post(flow::kSearchPage, WM_WIZ_INLOADER, 0, "/dev/ttyS0");
    testing::internal::CaptureStderr();
    Post(flow::kSearchPage, WM_WIZ_NOTFOUND);
    const bool shown = gui_test::WaitUntil([&] { return TextOf(search, IDC_SEARCH_RESULT) != ""; });
    const std::string boxes = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(shown);
    // The modem waiting in its boot loader is named with the command that
    // loads its firmware, for the Wizard.inf this wizard reads.
    EXPECT_NE(boxes.find("Message box: A modem is waiting in its boot loader on /dev/ttyS0. To "
                         "load its firmware, run this command:"),
              std::string::npos)
        << boxes;
    EXPECT_NE(boxes.find(" recover --config " + TheWizardState().config.iniPath +
                         " --port /dev/ttyS0 --model NAME"),
              std::string::npos)
        << boxes;
    EXPECT_EQ(TextOf(search, IDC_SEARCH_PORT_LINE), "Checking /dev/ttyS0");
    EXPECT_EQ(TextOf(search, IDC_SEARCH_STATUS_LINE), "No compatible modem found!");
    EXPECT_EQ(TextOf(search, IDC_SEARCH_RESULT)
                  .rfind("A modem suitable for a firmware update "
                         "could not be found.",
                         0),
              0u);
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Cancel");

    // Back to the configuration page and forward again: a new search.
    ASSERT_TRUE(Back());
    EXPECT_EQ(Sheet().currentId(), flow::kConfigurationPage);
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Next Cancel");
    // A late word of the search just left changes nothing on this page.
    Post(flow::kSearchPage, WM_WIZ_NOTFOUND);
    gui_test::RunFor(50);
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Next Cancel");
    ASSERT_TRUE(Next());
    EXPECT_EQ(harness->Requests().size(), 2u);
    EXPECT_EQ(TextOf(search, IDC_SEARCH_RESULT), "") << "the old result is gone";
    // The new search forgets the old one's boot loader.
    testing::internal::CaptureStderr();
    Post(flow::kSearchPage, WM_WIZ_NOTFOUND);
    ASSERT_TRUE(gui_test::WaitUntil([&] { return TextOf(search, IDC_SEARCH_RESULT) != ""; }));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    Post(flow::kSearchPage, WM_WIZ_FOUND);
    const std::string found =
        "A modem suitable for a firmware update could be found. Please click \"Next\" to "
        "continue.";
    EXPECT_TRUE(gui_test::WaitUntil([&] { return TextOf(search, IDC_SEARCH_RESULT) == found; }))
        << TextOf(search, IDC_SEARCH_RESULT);
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Next Cancel");
    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().currentId(), flow::kUpdatePage);
}

TEST_F(Pages, WithoutAtInterpreterTheChoiceIsManualAndTheSearchIsSkipped) {
    Open(
        "[Common]\nNoATInterpreter=1\n\n[Zeta Modem]\nUploadFile=firmware.bin\n\n"
        "[Alpha Modem]\nUploadFile=firmware.bin\n");
    ASSERT_TRUE(Next());
    auto* box =
        Control<QCheckBox>(Page(flow::kConfigurationPage), gui::ConfigurationPage::kManualBoxId);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(box->isHidden());
    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().currentId(), flow::kSelectionPage);
    auto* ports = Control<QComboBox>(Page(flow::kSelectionPage), gui::SelectionPage::kPortBoxId);
    auto* models = Control<QComboBox>(Page(flow::kSelectionPage), gui::SelectionPage::kModelBoxId);
    ASSERT_EQ(ports->count(), 3);
    EXPECT_EQ(ports->itemText(0).toStdString(), "/dev/ttyACM0") << "sorted";
    EXPECT_EQ(ports->itemText(1).toStdString(), "/dev/ttyS0");
    EXPECT_EQ(ports->itemText(2).toStdString(), "/dev/ttyUSB1");
    ASSERT_EQ(models->count(), 2);
    EXPECT_EQ(models->itemText(0).toStdString(), "Zeta Modem") << "file order";
    EXPECT_EQ(models->itemText(1).toStdString(), "Alpha Modem");
    EXPECT_EQ(ports->currentIndex(), 0);
    EXPECT_EQ(models->currentIndex(), 0);

    ports->setCurrentIndex(1);
    models->setCurrentIndex(1);
    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().currentId(), flow::kUpdatePage) << "no search without AT interpreter";
    EXPECT_TRUE(harness->Requests().empty());
    EXPECT_EQ(TheWizardState().portList.Entries(), std::vector<std::string>{"/dev/ttyS0"});
    EXPECT_EQ(TheWizardState().modelList.Entries(), std::vector<std::string>{"Alpha Modem"});

    // Back, Back, Next: the models are read again; the port list keeps the choice.
    ASSERT_TRUE(Back());
    EXPECT_EQ(Sheet().currentId(), flow::kSelectionPage);
    ASSERT_TRUE(Back());
    ASSERT_TRUE(Next());
    EXPECT_EQ(models->count(), 2);
    ASSERT_EQ(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0).toStdString(), "/dev/ttyS0");
}

TEST_F(Pages, TheUpdatePageShowsStepsProgressAndSuccess) {
    Open(kTwoModels);
    ToSearchPage();
    Post(flow::kSearchPage, WM_WIZ_FOUND);
    ASSERT_TRUE(gui_test::WaitUntil([&] { return UsableButtons(&Sheet()) == "Back Next Cancel"; }));
    ASSERT_TRUE(Next());
    QWidget* update = Page(flow::kUpdatePage);
    EXPECT_EQ(TextOf(update, IDC_UPDATE_INTRO).rfind("The Firmware Wizard can now start", 0), 0u);
    EXPECT_FALSE(Shown(flow::kUpdatePage, IDC_PROGRESS_BAR));
    EXPECT_FALSE(Shown(flow::kUpdatePage, IDC_STEP_LINE_FIRST));

    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().currentId(), flow::kUpdatePage);
    ASSERT_EQ(harness->Requests().size(), 2u);
    EXPECT_EQ(harness->Requests()[1].message, WM_WIZ_UPDATE);
    EXPECT_EQ(harness->Requests()[1].page, harness->Handle(flow::kUpdatePage));
    EXPECT_EQ(Sheet().button(QWizard::CancelButton)->text().toStdString(), "Close");
    EXPECT_EQ(UsableButtons(&Sheet()), "") << "nothing while the firmware is written";
    Sheet().reject();
    EXPECT_TRUE(Sheet().isVisible()) << "closing is refused during the update";

    // What the worker does: nine steps, of which the page shows eight.
    HWND page = harness->Handle(flow::kUpdatePage);
    ShowDlgItem(page, IDC_UPDATE_INTRO, false);
    for (int i = 0; i < kMaxStepLines; ++i) {
        SetDlgItemText(page, IDC_STEP_LINE_FIRST + i, ("Step " + std::to_string(i)).c_str());
        ShowDlgItem(page, IDC_STEP_LINE_FIRST + i, true);
    }
    ShowDlgItem(page, IDC_PROGRESS_TEXT, true);
    ShowDlgItem(page, IDC_PROGRESS_BAR, true);
    std::vector<std::pair<int, bool>> marked;
    QObject::connect(qobject_cast<gui::UpdatePage*>(update), &gui::UpdatePage::StepMarked,
                     [&marked](int index, bool on) { marked.emplace_back(index, on); });
    PostMessage(page, WM_WIZ_STEP, 0, 1);
    ASSERT_TRUE(gui_test::WaitUntil([&] { return marked.size() == 1; }));
    EXPECT_TRUE(Bold(IDC_STEP_LINE_FIRST));
    EXPECT_TRUE(Shown(flow::kUpdatePage, IDC_STEP_BULLET_FIRST));
    EXPECT_FALSE(Bold(IDC_STEP_LINE_FIRST + 1));
    PostMessage(page, WM_WIZ_STEP, 0, 0);
    PostMessage(page, WM_WIZ_STEP, 8, 1);  // no ninth line
    PostMessage(page, WM_WIZ_STEP, 7, 1);
    ASSERT_TRUE(gui_test::WaitUntil([&] { return marked.size() == 3; }));
    EXPECT_EQ(marked, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {7, true}}));
    EXPECT_FALSE(Bold(IDC_STEP_LINE_FIRST));
    EXPECT_FALSE(Shown(flow::kUpdatePage, IDC_STEP_BULLET_FIRST));
    EXPECT_TRUE(Bold(IDC_STEP_LINE_FIRST + 7));
    EXPECT_EQ(TextOf(update, IDC_STEP_LINE_FIRST + 7), "Step 7");
    EXPECT_FALSE(Shown(flow::kUpdatePage, IDC_UPDATE_INTRO));
    EXPECT_TRUE(Shown(flow::kUpdatePage, IDC_PROGRESS_BAR));

    auto* bar = Control<QProgressBar>(update, IDC_PROGRESS_BAR);
    _Status& status = TheWizardState().status;
    CopyTextCut(status.text, sizeof status.text, "Loading firmware to modem (%d %% complete)");
    status.total = 200;
    status.done = 50;
    ASSERT_TRUE(gui_test::WaitUntil([&] { return bar->value() == 25; }));
    EXPECT_EQ(TextOf(update, IDC_PROGRESS_TEXT), "Loading firmware to modem (25 % complete)");
    CopyTextCut(status.text, sizeof status.text, "Reinitializing modem, please wait ...");
    status.total = -1;
    ASSERT_TRUE(gui_test::WaitUntil([&] { return bar->value() == 0; }));
    EXPECT_EQ(TextOf(update, IDC_PROGRESS_TEXT), "Reinitializing modem, please wait ...");
    PostMessage(page, WM_WIZ_SETPROGRESS, 60, 0);
    ASSERT_TRUE(gui_test::WaitUntil([&] { return bar->value() == 60; }));
    EXPECT_EQ(UsableButtons(&Sheet()), "");

    status.state = 2;
    ASSERT_TRUE(gui_test::WaitUntil([&] { return UsableButtons(&Sheet()) == "Finish Cancel"; }));
    EXPECT_EQ(TextOf(update, IDC_PROGRESS_TEXT), "The operation was concluded successfully!");
    EXPECT_EQ(bar->value(), 100);
    ASSERT_TRUE(harness->Press(QWizard::FinishButton));
    EXPECT_FALSE(Sheet().isVisible());
    EXPECT_EQ(Sheet().result(), QDialog::Accepted);
    EXPECT_TRUE(Sheet().Flags().updateStarted);
}

TEST_F(Pages, AWorkerThatGivesUpLetsTheUserCloseTheWizard) {
    Open("[Common]\nNoATInterpreter=1\n\n[Zeta Modem]\nUploadFile=firmware.bin\n");
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());  // starts the update
    EXPECT_FALSE(Sheet().button(QWizard::CancelButton)->isEnabled());
    PostMessage(harness->Handle(flow::kUpdatePage), WM_WIZ_WORKER, 0, 0);
    ASSERT_TRUE(
        gui_test::WaitUntil([&] { return Sheet().button(QWizard::CancelButton)->isEnabled(); }));
    Sheet().button(QWizard::CancelButton)->click();
    EXPECT_FALSE(Sheet().isVisible());
    EXPECT_EQ(Sheet().result(), QDialog::Rejected);
}

TEST_F(Pages, AGermanUserReadsGermanOnEveryPage) {
    gui_test::UseLanguage("de");
    Open(kTwoModels);
    auto button = [this](QWizard::WizardButton which) {
        return Sheet().button(which)->text().toStdString();
    };
    EXPECT_EQ(TextOf(Page(flow::kWelcomePage), gui::WelcomePage::kGreetingId), "Willkommen beim");
    EXPECT_NE(TextOf(Page(flow::kWelcomePage), gui::WelcomePage::kBodyId).find("Version 3.07"),
              std::string::npos);
    EXPECT_EQ(button(QWizard::NextButton), "&Weiter >");
    EXPECT_EQ(button(QWizard::BackButton), "< &Zurück");
    EXPECT_EQ(button(QWizard::CancelButton), "Abbrechen");
    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().page(flow::kConfigurationPage)->title().toStdString(), "Modemkonfiguration");
    EXPECT_EQ(TextOf(Page(flow::kConfigurationPage), gui::ConfigurationPage::kManualBoxId),
              "Keine automatische Erkennung durchführen");
    EXPECT_EQ(TextOf(Page(flow::kSelectionPage), gui::SelectionPage::kSelectTextId),
              "Bitte wählen Sie den Anschluss und das Modem aus:");
    EXPECT_EQ(TextOf(Page(flow::kSearchPage), gui::SearchPage::kLookingId),
              "Der Firmware-Assistent sucht jetzt Ihr Modem.");
    EXPECT_EQ(Sheet().page(flow::kUpdatePage)->title().toStdString(), "Firmware-Aktualisierung");
    ASSERT_TRUE(Next());
    Post(flow::kSearchPage, WM_WIZ_NOTFOUND);
    ASSERT_TRUE(gui_test::WaitUntil(
        [&] { return TextOf(Page(flow::kSearchPage), IDC_SEARCH_RESULT) != ""; }));
    EXPECT_EQ(
        TextOf(Page(flow::kSearchPage), IDC_SEARCH_RESULT)
            .rfind("Es wurde kein Modem gefunden, dessen Firmware aktualisiert werden kann.", 0),
        0u);
}

}  // namespace
