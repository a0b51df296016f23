// Wizard.exe's transfer progress dialog as Windows draws it: dialog 2000 of
// the program's resources, its text naming the file, the bar following the
// worker, and Cancel, which holds the dialog open until the worker stops.
// Runs under wine on an X server (windows_wizard_tests starts it).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "transfer/transfer_dialog.h"
#include "wizard/win32/transfer_views.h"

namespace {

// What the worker saw of the dialog while it ran.
struct Seen {
    std::string text;
    int position = -1;
    bool openAfterPress = false;
    bool cancelEnabledAfterPress = true;
    bool dialogFound = false;
};

HWND FindTransferDialog(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            if (GetDlgItem(window, IDC_TRANSFER_PROGRESS) != nullptr) {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TextOf(HWND dialog, int id) {
    wchar_t wide[512] = {};
    GetDlgItemTextW(dialog, id, wide, 512);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

class NativeTransferDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        InitCommonControls();
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        job.upload = true;
        job.modemName = "backup.cfg";
    }
    void TearDown() override { DestroyWindow(owner); }

    // A worker that reports a quarter of the file, looks at the dialog after
    // a few ticks, and presses Cancel when asked to.
    TransferDialog::Worker QuarterThen(bool pressCancel) {
        return [this, pressCancel](TransferJob* running) {
            StoreShared(&running->totalBytes, 2000);
            StoreShared(&running->doneBytes, 500);
            std::this_thread::sleep_for(std::chrono::milliseconds(3 * kTransferTickMs));
            HWND dialog = FindTransferDialog(uiThread);
            seen.dialogFound = dialog != nullptr;
            if (dialog != nullptr) {
                seen.text = TextOf(dialog, IDC_TRANSFER_TEXT);
                seen.position = static_cast<int>(
                    SendDlgItemMessageW(dialog, IDC_TRANSFER_PROGRESS, PBM_GETPOS, 0, 0));
                if (pressCancel) {
                    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                    for (int i = 0; i < 200 && !LoadShared(&running->cancelled); ++i) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    }
                    // The worker is still going: the dialog must still be there.
                    seen.openAfterPress = IsWindow(dialog) && IsWindowVisible(dialog);
                    seen.cancelEnabledAfterPress = IsWindowEnabled(GetDlgItem(dialog, IDCANCEL));
                }
            }
            StoreShared(&running->finished, true);
        };
    }

    HWND owner = nullptr;
    DWORD uiThread = GetCurrentThreadId();
    TransferJob job;
    Seen seen;
};

TEST_F(NativeTransferDialog, ShowsTheFileAndTheWorkersProgressAndEndsWhenItIsDone) {
    auto view = win32::CreateNativeTransferView(owner);
    ASSERT_NE(view, nullptr) << "dialog 2000 is in the program's resources";
    const std::string format = view->LoadText(IDS_TRANSFER_UPLOAD);
    ASSERT_NE(format.find("%s"), std::string::npos) << format;

    EXPECT_EQ(RunTransferDialog(job, view.get(), QuarterThen(false)), 1);
    ASSERT_TRUE(seen.dialogFound);
    EXPECT_EQ(seen.text, FormatWithName(format, "backup.cfg"));
    EXPECT_NE(seen.text.find("backup.cfg"), std::string::npos) << seen.text;
    EXPECT_EQ(seen.position, 25);
    EXPECT_EQ(FindTransferDialog(uiThread), nullptr) << "the dialog is gone once it ended";
}

TEST_F(NativeTransferDialog, CancelIsTakenOnceAndTheDialogWaitsForTheWorker) {
    job.upload = false;
    job.displayName = "Backup of the address book";
    auto view = win32::CreateNativeTransferView(owner);
    ASSERT_NE(view, nullptr);
    const std::string format = view->LoadText(IDS_TRANSFER_DOWNLOAD);

    EXPECT_EQ(RunTransferDialog(job, view.get(), QuarterThen(true)), -1);
    ASSERT_TRUE(seen.dialogFound);
    EXPECT_EQ(seen.text, FormatWithName(format, "Backup of the address book"));
    EXPECT_TRUE(job.cancelled);
    EXPECT_TRUE(seen.openAfterPress) << "the dialog waits for the worker";
    EXPECT_FALSE(seen.cancelEnabledAfterPress) << "Cancel stays greyed while the worker stops";
}

TEST_F(NativeTransferDialog, OffTheOwnersThreadThereIsNoDialog) {
    std::unique_ptr<TransferProgressView> view;
    std::thread([&] { view = win32::CreateNativeTransferView(owner); }).join();
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(RunTransferDialog(job, view.get()), -1) << "no view: the transfer ends cancelled";
}

}  // namespace
