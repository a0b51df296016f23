// The rules of the progress dialog, with workers that the test controls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/transfer/recording_view.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "transfer/transfer_dialog.h"

namespace {

std::atomic<bool> g_release{false};
std::atomic<int> g_runs{0};

// Finishes once the test releases it or the job is cancelled.
void HeldWorker(TransferJob* job) {
    ++g_runs;
    while (!g_release.load() && !LoadShared(&job->cancelled)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    StoreShared(&job->finished, true);
}

class Dialog : public ::testing::Test {
  protected:
    void SetUp() override {
        g_release = false;
        g_runs = 0;
        job.modemName = "fw.bin";
        job.upload = true;
    }
    // Ticks until the worker has finished.
    int TickToEnd(TransferDialog& dialog) {
        int result = 0;
        while (!dialog.Tick(&result)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return result;
    }
    TransferJob job;
    test_support::RecordingView view;
};

TEST_F(Dialog, TheBarFollowsTheCountersAndAZeroTotalNeverDivides) {
    TransferDialog dialog(job, view, &HeldWorker);
    dialog.Begin();
    EXPECT_EQ(view.percentages, std::vector<int>{0}) << "one tick at once, total 1, done 0";

    int result = 0;
    job.totalBytes = 40'000'000;  // done * 100 does not fit 32 bits here
    StoreShared(&job.doneBytes, 30'000'000);
    EXPECT_FALSE(dialog.Tick(&result));
    EXPECT_EQ(view.percentages.back(), 75);

    job.totalBytes = 0;
    EXPECT_FALSE(dialog.Tick(&result));
    EXPECT_EQ(view.percentages.back(), 0);

    g_release = true;
    EXPECT_EQ(TickToEnd(dialog), 1);
    EXPECT_EQ(view.percentages.back(), 0) << "the finishing tick resets the bar";
    EXPECT_EQ(g_runs.load(), 1);
}

TEST_F(Dialog, CancelWaitsForTheWorkerAndEndsWithMinusOne) {
    TransferDialog dialog(job, view, &HeldWorker);
    dialog.Begin();
    dialog.Cancel();
    EXPECT_TRUE(job.cancelled);
    EXPECT_EQ(TickToEnd(dialog), -1);
    EXPECT_TRUE(job.finished) << "the dialog ends only after the worker";
}

TEST_F(Dialog, TextComesFromTheJobOrTheStringWithTheDisplayName) {
    {
        TransferDialog dialog(job, view, &HeldWorker);
        dialog.Begin();
        g_release = true;
        TickToEnd(dialog);
    }
    EXPECT_EQ(view.text, "Uploading fw.bin to the modem ...");
    EXPECT_EQ(view.title, "") << "no title: the dialog keeps its own";

    job = TransferJob{};
    job.modemName = "fw.bin";
    job.displayName = "Firmware 2.1";
    test_support::RecordingView second;
    {
        TransferDialog dialog(job, second, &HeldWorker);
        dialog.Begin();
        TickToEnd(dialog);
    }
    EXPECT_EQ(second.text, "Downloading Firmware 2.1 from the modem ...");

    job = TransferJob{};
    job.text = "Backing up %s";
    job.title = "Backup";
    test_support::RecordingView third;
    {
        TransferDialog dialog(job, third, &HeldWorker);
        dialog.Begin();
        TickToEnd(dialog);
    }
    EXPECT_EQ(third.text, "Backing up %s") << "the job's own text is shown as it is";
    EXPECT_EQ(third.title, "Backup");
}

TEST_F(Dialog, TheModalLoopClosesTheViewWithItsResult) {
    view.pressCancel = true;
    EXPECT_EQ(RunTransferDialog(job, &view, &HeldWorker), -1);
    EXPECT_EQ(view.closedWith, -1);

    job = TransferJob{};
    g_release = true;
    test_support::RecordingView calm;
    EXPECT_EQ(RunTransferDialog(job, &calm, &HeldWorker), 1);
    EXPECT_EQ(calm.closedWith, 1);
}

TEST_F(Dialog, WithoutAViewNoWorkerStarts) {
    EXPECT_EQ(RunTransferDialog(job, nullptr, &HeldWorker), -1);
    EXPECT_EQ(g_runs.load(), 0);
    EXPECT_FALSE(job.finished);
}

}  // namespace
