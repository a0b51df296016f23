// The modal progress dialog of the file-store transfers, without a window
// system: a front end provides the view (a Qt dialog, a console bar, a test
// double); the driver here keeps the dialog's rules.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/types.h"

struct TransferJob;

// Resources of the dialog, found in the module of the front end that shows
// it: the template with its bar and text line, and the two texts (each a
// format with one %s for the file name).
constexpr int IDD_TRANSFER = 2000;
constexpr int IDC_TRANSFER_PROGRESS = 2001;
constexpr int IDC_TRANSFER_TEXT = 2002;
constexpr int IDS_TRANSFER_UPLOAD = 2003;
constexpr int IDS_TRANSFER_DOWNLOAD = 2004;

// What the dialog shows and how the user reaches it.
class TransferProgressView {
  public:
    virtual ~TransferProgressView() = default;

    // The text of a string resource of the module that shows the dialog,
    // in the user's language.
    virtual std::string LoadText(int id) = 0;
    // Only called when the job names a title.
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetText(const std::string& text) = 0;
    // Bar position, 0 to 100.
    virtual void SetPercentage(int percent) = 0;
    // The counters behind the bar, for views that show them.
    virtual void SetBytes(std::int64_t done, std::int64_t total) {
        (void)done;
        (void)total;
    }
    // Keeps the view alive for ms milliseconds (the time between two ticks).
    virtual void Wait(DWORD ms);
    // True once the user has asked to cancel.
    virtual bool CancelPressed() = 0;
    // The dialog ends with this result (1 done, -1 cancelled).
    virtual void Close(int result) = 0;
};

// Creates the dialog of one operation; null when it cannot be created.
class TransferViewFactory {
  public:
    virtual ~TransferViewFactory() = default;
    virtual std::unique_ptr<TransferProgressView> CreateTransferView(HINSTANCE instance,
                                                                     HWND owner) = 0;
};

// The dialog's behaviour over one job. Begin starts the worker; the front
// end then calls Tick every kTransferTickMs (and Cancel when asked) until
// Tick reports the end.
class TransferDialog {
  public:
    using Worker = std::function<void(TransferJob* job)>;

    // No worker: UploadThread or DownloadThread by job.upload. A worker
    // must set job.finished as its last action.
    TransferDialog(TransferJob& job, TransferProgressView& view, Worker worker = {});
    // Waits for a worker that is still running.
    ~TransferDialog();
    TransferDialog(const TransferDialog&) = delete;
    TransferDialog& operator=(const TransferDialog&) = delete;

    void Begin();
    // One timer tick: updates the bar; true when the dialog ends, with the
    // result (1, or -1 when cancelled) in *result.
    bool Tick(int* result);
    // The Cancel button: the dialog stays until the worker has stopped.
    void Cancel();

  private:
    TransferJob& job_;
    TransferProgressView& view_;
    Worker worker_;
    std::thread thread_;
};

constexpr DWORD kTransferTickMs = 200;

// format with its first "%s" replaced by name. The format is a translated
// text: nothing else in it is interpreted.
std::string FormatWithName(const std::string& format, const std::string& name);

// Runs the dialog modally: Begin, then a tick every 200 ms until the worker
// has finished. Returns 1 when the worker finished, -1 when the user
// cancelled or there is no view (no worker is started then).
int RunTransferDialog(TransferJob& job, TransferProgressView* view,
                      TransferDialog::Worker worker = {});
