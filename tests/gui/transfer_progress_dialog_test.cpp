// The Qt progress dialog of the file-store transfers: its text, bar and
// Cancel, and the transfers of CXModemTransfer that run under it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "serial/serial.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "wizard/gui/page_target.h"
#include "wizard/gui/transfer_progress_dialog.h"

using gui::TransferProgressDialog;
using gui_test::Control;
using gui_test::TextOf;

namespace {

// A worker that has got a quarter of the file through and waits for Cancel.
void QuarterThenWaitForCancel(TransferJob* job) {
    StoreShared(&job->totalBytes, 2000);
    StoreShared(&job->doneBytes, 500);
    while (!LoadShared(&job->cancelled)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    StoreShared(&job->finished, true);
}

// What the transfer dialog showed while it was open.
struct Seen {
    std::string text;
    std::string title;
    int percent = -1;
    bool modal = false;
    std::string cancelText;
};

// Looks at the open transfer dialog every few milliseconds, on the GUI thread.
class DialogWatcher {
  public:
    DialogWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<TransferProgressDialog*>(widget);
                if (dialog == nullptr || !dialog->isVisible()) {
                    continue;
                }
                seen.text = TextOf(dialog, IDC_TRANSFER_TEXT);
                seen.title = dialog->windowTitle().toStdString();
                seen.percent = Control<QProgressBar>(dialog, IDC_TRANSFER_PROGRESS)->value();
                seen.modal = dialog->isModal();
                seen.cancelText = TextOf(dialog, TransferProgressDialog::kCancelId);
                if (pressCancelAt >= 0 && seen.percent >= pressCancelAt) {
                    Control<QPushButton>(dialog, TransferProgressDialog::kCancelId)->click();
                }
            }
        });
        timer_.start(5);
    }
    Seen seen;
    int pressCancelAt = -1;

  private:
    QTimer timer_;
};

TEST(TransferProgressDialogTest, ShowsTheFileAndTheBarAndCancelEndsWithMinusOne) {
    gui_test::EnsureApplication();
    TransferJob job;
    job.upload = true;
    job.modemName = "backup.cfg";
    DialogWatcher watcher;
    watcher.pressCancelAt = 25;
    TransferProgressDialog dialog(nullptr);
    EXPECT_EQ(RunTransferDialog(job, &dialog, &QuarterThenWaitForCancel), -1);
    EXPECT_TRUE(job.cancelled);
    EXPECT_TRUE(job.finished) << "the dialog waited for the worker";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(watcher.seen.text, "Storing backup.cfg in the modem ...");
    EXPECT_EQ(watcher.seen.percent, 25);
    EXPECT_TRUE(watcher.seen.modal);
    EXPECT_EQ(watcher.seen.cancelText, "Cancel");
    EXPECT_EQ(watcher.seen.title, "ORVA Varrona Firmware Wizard");
}

TEST(TransferProgressDialogTest, TheCloseBoxCountsAsCancelAndTheDialogWaitsForTheWorker) {
    gui_test::EnsureApplication();
    TransferJob job;
    job.modemName = "log.txt";
    job.title = "Backup";
    TransferProgressDialog dialog(nullptr);
    QTimer::singleShot(100, &dialog, [&dialog] {
        dialog.reject();  // the close box or Escape
        EXPECT_TRUE(dialog.isVisible()) << "it stays until the worker has stopped";
    });
    EXPECT_EQ(RunTransferDialog(job, &dialog, &QuarterThenWaitForCancel), -1);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Backup");
    EXPECT_EQ(TextOf(&dialog, IDC_TRANSFER_TEXT), "Fetching log.txt from the modem ...");
}

TEST(TransferProgressDialogTest, DialogsBelongToThePageWindowAndOnlyToTheGuiThread) {
    gui_test::EnsureApplication();
    QWidget window;
    QWidget* page = new QWidget(&window);
    struct : gui::MessageReceiver {
        void OnMessage(UINT, WPARAM, LPARAM, const std::string&) override {}
        int OnMessageBox(const std::string&, UINT) override { return IDOK; }
    } receiver;
    gui::PageTarget target(page, &receiver);
    QWidget fallback;
    gui::TransferProgressDialogs dialogs(&fallback);

    std::unique_ptr<TransferProgressView> view =
        dialogs.CreateTransferView(nullptr, target.Handle());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dynamic_cast<QWidget*>(view.get())->parentWidget(), &window);
    view = dialogs.CreateTransferView(nullptr, nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dynamic_cast<QWidget*>(view.get())->parentWidget(), &fallback);
    view.reset();

    bool madeElsewhere = true;
    std::thread other(
        [&] { madeElsewhere = dialogs.CreateTransferView(nullptr, nullptr) != nullptr; });
    other.join();
    EXPECT_FALSE(madeElsewhere);
}

TEST(TransferProgressDialogTest, FilesTravelToAndFromTheModemsStoreUnderTheDialog) {
    gui_test::EnsureApplication();
    test_support::TempDir store{"gui-store"};
    test_support::TempDir local{"gui-local"};
    test_support::ModemSim sim({"--store", store.Path()});
    ASSERT_FALSE(sim.PortPath().empty());
    const std::string data = test_support::RandomBytes(5000, 7);
    const std::string source = local.Write("settings.bin", data);

    CSerial serial;
    serial.SetPortName(sim.PortPath());
    CXModemTransfer transfer;
    ASSERT_TRUE(transfer.Attach(&serial, nullptr, nullptr));
    gui::TransferProgressDialogs dialogs;
    transfer.SetViewFactory(&dialogs);

    DialogWatcher watcher;
    EXPECT_EQ(transfer.UploadModemFile(source, "settings.bin", "1", "", "", "Settings", false),
              TRANSFER_FINISHED);
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::Completed);
    EXPECT_EQ(watcher.seen.text, "Storing Settings in the modem ...");
    EXPECT_EQ(store.Read("settings.bin").substr(0, data.size()), data);
    EXPECT_EQ(sim.CountLog("store-put settings.bin"), 1);

    watcher.seen = Seen{};
    EXPECT_EQ(transfer.DownloadModemFile("settings.bin", local.File("back.bin"), ""),
              TRANSFER_FINISHED);
    EXPECT_EQ(watcher.seen.text, "Fetching settings.bin from the modem ...");
    EXPECT_EQ(local.Read("back.bin").substr(0, data.size()), data);
}

}  // namespace
