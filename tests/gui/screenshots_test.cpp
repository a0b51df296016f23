// The screenshots of the README: every page in both looks, in English and
// German, rendered on the offscreen platform into <build>/screenshots.
// `make screenshots` copies them to docs/screenshots.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <set>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/firmware_file.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/gui/configuration_page.h"
#include "wizard/resources/strings.h"

using gui_test::SheetHarness;

namespace {

constexpr const char* kWizardInf =
    "[Common]\nVersionInfo=firmware.bin\n\n"
    "[ORVA 56K Serial]\nUploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\n\n"
    "[ORVA 33K Basic]\nUploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\n";

// Saves what the sheet shows; the picture must hold more than a blank page.
void Shoot(gui::WizardSheet& sheet, const std::string& name) {
    const QString dir = QStringLiteral(WIZARD_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    gui_test::RunFor(50);
    const QImage image = sheet.grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 8u) << name << " looks blank";
    EXPECT_TRUE(image.save(dir + "/" + QString::fromStdString(name) + ".png")) << name;
}

// What the worker does on the update page, as far as a picture shows it.
void ShowRunningUpdate(SheetHarness& harness) {
    HWND page = harness.Handle(flow::kUpdatePage);
    ShowDlgItem(page, IDC_UPDATE_INTRO, false);
    const int steps[] = {wizard::IDS_STEP_INITIALIZING, wizard::IDS_STEP_FIRMWARE};
    for (int i = 0; i < 2; ++i) {
        SetDlgItemText(page, IDC_STEP_LINE_FIRST + i, wizard::LoadText(steps[i]).c_str());
        ShowDlgItem(page, IDC_STEP_LINE_FIRST + i, true);
    }
    ShowDlgItem(page, IDC_PROGRESS_TEXT, true);
    ShowDlgItem(page, IDC_PROGRESS_BAR, true);
    PostMessage(page, WM_WIZ_STEP, 0, 1);
    PostMessage(page, WM_WIZ_STEP, 0, 0);
    PostMessage(page, WM_WIZ_STEP, 1, 1);
    _Status& status = TheWizardState().status;
    CopyTextCut(status.text, sizeof status.text, wizard::LoadText(wizard::IDS_LOADING_FIRMWARE));
    status.total = 1000;
    status.done = 420;
    gui_test::RunFor(400);  // a tick of the page's timer
}

TEST(Screenshots, EveryPageInBothLooksInEnglishAndGerman) {
    for (const std::string language : {"en", "de"}) {
        for (const bool oldLook : {false, true}) {
            gui_test::UseLanguage(language == "en" ? "" : language);
            SheetHarness harness(kWizardInf);
            harness.Dir().Write("firmware.bin", test_support::FirmwareFile("2.31", 2000));
            harness.Open(oldLook, {"/dev/ttyUSB0", "/dev/ttyS0"});
            gui::WizardSheet& sheet = harness.Sheet();
            const std::string prefix = language + (oldLook ? "-old-" : "-new-");

            Shoot(sheet, prefix + "1-welcome");
            ASSERT_TRUE(harness.Press(QWizard::NextButton));
            Shoot(sheet, prefix + "2-configuration");
            gui_test::Control<QAbstractButton>(harness.Page(flow::kConfigurationPage),
                                               gui::ConfigurationPage::kManualBoxId)
                ->setChecked(true);
            ASSERT_TRUE(harness.Press(QWizard::NextButton));
            Shoot(sheet, prefix + "3-selection");
            ASSERT_TRUE(harness.Press(QWizard::NextButton));
            HWND search = harness.Handle(flow::kSearchPage);
            const std::string checking = wizard::LoadText(wizard::IDS_CHECKING) + "/dev/ttyUSB0";
            const std::string found =
                FormatText(wizard::LoadText(wizard::IDS_MODEM_FOUND), "ORVA 56K Serial", 256);
            PostMessage(search, WM_WIZ_SEARCHPORT, 0, TextParam(checking.c_str()));
            PostMessage(search, WM_WIZ_SEARCHSTATUS, 0, TextParam(found.c_str()));
            PostMessage(search, WM_WIZ_FOUND, 0, 0);
            Shoot(sheet, prefix + "4-search");
            ASSERT_TRUE(harness.Press(QWizard::NextButton));
            Shoot(sheet, prefix + "5-update");
            ASSERT_TRUE(harness.Press(QWizard::NextButton));
            ShowRunningUpdate(harness);
            Shoot(sheet, prefix + "6-update-running");
        }
    }
    gui_test::UseLanguage("");
}

}  // namespace
