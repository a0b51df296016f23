// The wizard's pages over the real worker against modemsim: the manual
// choice confirmed (or not) by the search, and a whole update with the
// steps of a plug-in.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>

#include "platform/paths.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/firmware_file.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/test_paths.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/engine/worker.h"
#include "wizard/gui/configuration_page.h"
#include "wizard/gui/selection_page.h"
#include "wizard/gui/update_page.h"

using gui_test::Control;
using gui_test::TextOf;
using gui_test::UsableButtons;

namespace {

constexpr const char* kModel = "ORVA 33K Basic";
constexpr int kSearchTimeoutMs = 30000;
constexpr int kUpdateTimeoutMs = 60000;
constexpr const char* kSearchFound =
    "A modem suitable for a firmware update could be found. Please click \"Next\" to continue.";

class AgainstModemsim : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.Start({"--model", kModel, "--reboot-delay", "500", "--received-dir", received.Path()});
        ASSERT_FALSE(sim.PortPath().empty());
    }
    // The wizard over a Wizard.inf with a section that the simulated modem
    // is not and the modem's own section (with the step plug-in).
    void Open() {
        const std::string inf = std::string("[Common]\n\n[Other Modem]\nUploadFile=fw.bin\n\n[") +
                                kModel +
                                "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                "DLLName=Step_Plugin_Steps.so\n";
        harness = std::make_unique<gui_test::SheetHarness>(inf);
        firmware = test_support::FirmwareFile("2.40", 3000);
        harness->Dir().Write("fw.bin", firmware);
        ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Step_Plugin_Steps.so"),
                                       harness->Dir().File("Step_Plugin_Steps.so")));
        worker = std::make_unique<Worker>(TheWizardState());
        worker->Start();
        harness->Open(false, {sim.PortPath(), "/dev/no-such-port-for-tests"},
                      [this](UINT message, HWND page) {
                          return worker->Post(message, 0, reinterpret_cast<LPARAM>(page));
                      });
    }
    // The worker ends first, after the request it may still be finishing
    // (closing the port after a success, say); as it ends it writes to the
    // page of its last request, which is still there.
    void TearDown() override {
        if (worker) {
            worker->Quit();
            worker->Join();
        }
        worker.reset();
        harness.reset();
    }
    gui::WizardSheet& Sheet() { return harness->Sheet(); }
    QWidget* Page(int id) { return harness->Page(id); }
    bool Next() { return harness->Press(QWizard::NextButton); }
    bool Back() { return harness->Press(QWizard::BackButton); }
    // From the configuration page: manual choice of port and model, then
    // Next to the search.
    void ChooseManually(const std::string& model) {
        Control<QCheckBox>(Page(flow::kConfigurationPage), gui::ConfigurationPage::kManualBoxId)
            ->setChecked(true);
        ASSERT_TRUE(Next());
        ASSERT_EQ(Sheet().currentId(), flow::kSelectionPage);
        auto* ports =
            Control<QComboBox>(Page(flow::kSelectionPage), gui::SelectionPage::kPortBoxId);
        auto* models =
            Control<QComboBox>(Page(flow::kSelectionPage), gui::SelectionPage::kModelBoxId);
        ports->setCurrentIndex(ports->findText(QString::fromStdString(sim.PortPath())));
        models->setCurrentIndex(models->findText(QString::fromStdString(model)));
        ASSERT_GE(ports->currentIndex(), 0);
        ASSERT_GE(models->currentIndex(), 0);
        ASSERT_TRUE(Next());
        ASSERT_EQ(Sheet().currentId(), flow::kSearchPage);
    }
    bool SearchEnded() {
        return gui_test::WaitUntil(
            [this] { return TextOf(Page(flow::kSearchPage), IDC_SEARCH_RESULT) != ""; },
            kSearchTimeoutMs);
    }

    test_support::TempDir received{"gui-received"};
    test_support::ModemSim sim;
    std::unique_ptr<gui_test::SheetHarness> harness;
    std::unique_ptr<Worker> worker;
    std::string firmware;
};

TEST_F(AgainstModemsim, APairTheModemDoesNotConfirmIsNotFoundAndBackBackNextSearchesAgain) {
    Open();
    ASSERT_TRUE(Next());
    ChooseManually("Other Modem");
    ASSERT_TRUE(SearchEnded());
    QWidget* search = Page(flow::kSearchPage);
    EXPECT_EQ(TextOf(search, IDC_SEARCH_STATUS_LINE), "No compatible modem found!");
    EXPECT_EQ(TextOf(search, IDC_SEARCH_RESULT),
              "A modem suitable for a firmware update could not be found. Please try again after "
              "ensuring that your modem is switched on and correctly connected to your computer.");
    EXPECT_EQ(TextOf(search, IDC_SEARCH_PORT_LINE), "Checking " + sim.PortPath());
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Cancel");
    EXPECT_EQ(sim.CountLog("at AT+GMM"), 1);

    ASSERT_TRUE(Back());
    EXPECT_EQ(Sheet().currentId(), flow::kSelectionPage);
    ASSERT_TRUE(Back());
    EXPECT_EQ(Sheet().currentId(), flow::kConfigurationPage);
    ASSERT_TRUE(Next());
    EXPECT_EQ(Sheet().currentId(), flow::kSelectionPage);
    auto* models = Control<QComboBox>(Page(flow::kSelectionPage), gui::SelectionPage::kModelBoxId);
    models->setCurrentIndex(models->findText(kModel));
    ASSERT_TRUE(Next());
    ASSERT_TRUE(SearchEnded());
    EXPECT_EQ(TextOf(search, IDC_SEARCH_RESULT), kSearchFound);
    EXPECT_EQ(UsableButtons(&Sheet()), "Back Next Cancel");
    EXPECT_EQ(sim.CountLog("at AT+GMM"), 2) << "the modem was asked again";
    EXPECT_EQ(TheWizardState().portList.Entries(), std::vector<std::string>{sim.PortPath()});
    EXPECT_EQ(TheWizardState().modelList.Entries(), std::vector<std::string>{kModel});
    Sheet().reject();
}

TEST_F(AgainstModemsim, TheChosenPairIsConfirmedAndUpdatedStepByStep) {
    Open();
    ASSERT_TRUE(Next());
    ChooseManually(kModel);
    ASSERT_TRUE(SearchEnded());
    ASSERT_EQ(TextOf(Page(flow::kSearchPage), IDC_SEARCH_RESULT), kSearchFound);
    ASSERT_TRUE(Next());
    ASSERT_EQ(Sheet().currentId(), flow::kUpdatePage);

    // Each mark with the state of the line at that moment.
    struct Mark {
        int index;
        bool on;
        bool bold;
        bool bullet;
        bool operator==(const Mark& o) const {
            return index == o.index && on == o.on && bold == o.bold && bullet == o.bullet;
        }
    };
    std::vector<Mark> marks;
    QWidget* update = Page(flow::kUpdatePage);
    QObject::connect(
        qobject_cast<gui::UpdatePage*>(update), &gui::UpdatePage::StepMarked,
        [&marks, update](int index, bool on) {
            marks.push_back({index, on,
                             Control<QLabel>(update, IDC_STEP_LINE_FIRST + index)->font().bold(),
                             Control(update, IDC_STEP_BULLET_FIRST + index)->isVisibleTo(update)});
        });
    ASSERT_TRUE(Next());
    ASSERT_TRUE(gui_test::WaitUntil([this] { return UsableButtons(&Sheet()) == "Finish Cancel"; },
                                    kUpdateTimeoutMs))
        << TextOf(update, IDC_PROGRESS_TEXT);
    EXPECT_EQ(TextOf(update, IDC_PROGRESS_TEXT), "The operation was concluded successfully!");
    const char* captions[] = {"Initializing transfer ...", "Saving one", "Saving two",
                              "The firmware is being updated...", "Restoring"};
    std::vector<Mark> expected;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(TextOf(update, IDC_STEP_LINE_FIRST + i), captions[i]);
        expected.push_back({i, true, true, true});
        expected.push_back({i, false, false, false});
    }
    EXPECT_EQ(marks, expected) << "each step highlighted in bold behind its bullet, in order";
    EXPECT_FALSE(Control(update, IDC_STEP_LINE_FIRST + 5)->isVisibleTo(update));
    EXPECT_TRUE(test_support::SameButPadding(firmware, received.Read("firmware.bin")));

    ASSERT_TRUE(harness->Press(QWizard::FinishButton));
    EXPECT_EQ(Sheet().result(), QDialog::Accepted);
}

}  // namespace
