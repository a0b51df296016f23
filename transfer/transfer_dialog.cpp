#include "transfer/transfer_dialog.h"

#include <algorithm>

#include "platform/clock.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "transfer/transfer_threads.h"

void TransferProgressView::Wait(DWORD ms) {
    platform::Sleep(ms);
}

TransferDialog::TransferDialog(TransferJob& job, TransferProgressView& view, Worker worker)
    : job_(job), view_(view), worker_(std::move(worker)) {
    if (!worker_) {
        worker_ = job.upload ? &UploadThread : &DownloadThread;
    }
}

TransferDialog::~TransferDialog() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TransferDialog::Begin() {
    if (!job_.text.empty()) {
        view_.SetText(job_.text);
    } else {
        const std::string& name = job_.displayName.empty() ? job_.modemName : job_.displayName;
        view_.SetText(FormatWithName(
            view_.LoadText(job_.upload ? IDS_TRANSFER_UPLOAD : IDS_TRANSFER_DOWNLOAD), name));
    }
    if (!job_.title.empty()) {
        view_.SetTitle(job_.title);
    }
    int ignored = 0;
    Tick(&ignored);
    thread_ = std::thread(worker_, &job_);
}

bool TransferDialog::Tick(int* result) {
    if (LoadShared(&job_.finished)) {
        if (thread_.joinable()) {
            thread_.join();
        }
        view_.SetPercentage(0);
        *result = LoadShared(&job_.cancelled) ? -1 : 1;
        return true;
    }
    const std::int64_t total = LoadShared(&job_.totalBytes);
    const std::int64_t done = LoadShared(&job_.doneBytes);
    view_.SetBytes(done, total);
    int percent = 0;
    if (total != 0) {
        // 64-bit: done * 100 overflows 32 bits from about 21 MB on.
        percent = static_cast<int>(std::clamp<std::int64_t>(done * 100 / total, 0, 100));
    }
    view_.SetPercentage(percent);
    return false;
}

void TransferDialog::Cancel() {
    StoreShared(&job_.cancelled, true);
}

std::string FormatWithName(const std::string& format, const std::string& name) {
    std::string text = format;
    std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text;
}

int RunTransferDialog(TransferJob& job, TransferProgressView* view, TransferDialog::Worker worker) {
    if (view == nullptr) {
        return -1;
    }
    TransferDialog dialog(job, *view, std::move(worker));
    dialog.Begin();
    int result = 0;
    for (;;) {
        view->Wait(kTransferTickMs);
        if (view->CancelPressed()) {
            dialog.Cancel();
        }
        if (dialog.Tick(&result)) {
            break;
        }
    }
    view->Close(result);
    return result;
}
