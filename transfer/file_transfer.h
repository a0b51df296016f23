// The transfer class: the object every user of XModem constructs, attaches
// to the port and calls XModemUpload / XModemDownload on, plus the
// file-store operations that run a transfer in a worker thread under a
// modal progress dialog.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/types.h"

class CSerial;
class CXModemTransfer;
class TransferViewFactory;

// Results of UploadModemFile / DownloadModemFile. FINISHED says that the
// worker ran to its end, not that the modem command or the XModem transfer
// succeeded (TransferJob::outcome tells that).
constexpr int TRANSFER_REFUSED = -1;  // a name does not fit its command; nothing was sent
constexpr int TRANSFER_NOT_FOUND = 0;
constexpr int TRANSFER_CANCELLED = 1;
constexpr int TRANSFER_FINISHED = 2;

// How far the worker of a job got.
enum class TransferOutcome {
    NotRun,           // no worker ran (no dialog, or refused)
    PortNotOpened,    // the port could not be opened
    LocalFileFailed,  // the local file could not be opened
    CommandRefused,   // AT$JUPL was not echoed (or was cancelled)
    TransferFailed,   // the XModem transfer ended without success
    Completed,        // the XModem transfer ended with the EOT acknowledged
};

// The record shared by the progress dialog and the worker of one operation.
struct TransferJob {
    bool upload = false;
    bool cancelled = false;       // set by the dialog's Cancel; the cancel byte of the worker
    bool finished = false;        // set by the worker as its last action
    std::int32_t totalBytes = 1;  // size of the file being moved; 1 until known
    std::int32_t doneBytes = 0;   // progress counter of the XModem method
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    CSerial* port = nullptr;
    CXModemTransfer* transfer = nullptr;
    std::string modemName;
    std::string localPath;
    std::string title;  // empty: keep the dialog's own title
    std::string text;   // empty: the upload / download text with the display name
    std::array<std::string, 3> uploadArgs;  // AT$JUPL parameters 2 to 4, verbatim
    std::string displayName;                // empty: modemName
    TransferOutcome outcome = TransferOutcome::NotRun;

    // The cancelled flag as the cancel byte of the serial and XModem calls.
    char* CancelByte() { return reinterpret_cast<char*>(&cancelled); }
};

class CFileTransfer {
  public:
    virtual bool DeleteModemFile(std::string name);
    virtual int UploadModemFile(std::string localPath, std::string modemName, std::string arg1,
                                std::string arg2, std::string arg3, std::string displayName,
                                bool deleteFirst) = 0;
    virtual int DownloadModemFile(std::string modemName, std::string localPath,
                                  std::string displayName) = 0;

    CSerial* port = nullptr;

  protected:
    CFileTransfer() = default;
    // Objects live on their creator's stack and are never deleted through
    // this base.
    ~CFileTransfer() = default;
    CFileTransfer(const CFileTransfer&) = default;
    CFileTransfer& operator=(const CFileTransfer&) = default;
};

class CXModemTransfer : public CFileTransfer {
  public:
    CXModemTransfer() = default;
    ~CXModemTransfer() = default;
    CXModemTransfer(const CXModemTransfer&) = delete;
    CXModemTransfer& operator=(const CXModemTransfer&) = delete;

    // Sets port, module instance and owner window; true when port is set.
    bool Attach(CSerial* serial, HINSTANCE instance, HWND owner);
    bool SetPort(CSerial* serial);
    // The front end that shows the progress dialog. Without one the dialog
    // cannot be created: Upload/DownloadModemFile then end as cancelled.
    void SetViewFactory(TransferViewFactory* views) { views_ = views; }

    int UploadModemFile(std::string localPath, std::string modemName, std::string arg1,
                        std::string arg2, std::string arg3, std::string displayName,
                        bool deleteFirst) override;
    int DownloadModemFile(std::string modemName, std::string localPath,
                          std::string displayName) override;

    void PrepareJob(bool upload, std::string localPath, std::string modemName, std::string arg1,
                    std::string arg2, std::string arg3, std::string displayName);
    const TransferJob& Job() const { return job_; }

    // Sends file (binary, at its start) to a receiver already waiting.
    // progress counts the file bytes sent; allow1K starts with 1024-byte
    // blocks. True only when the EOT was acknowledged.
    bool XModemUpload(std::FILE* file, int* progress, bool allow1K, const char* cancel);
    // Receives from a sender already told to send, into file. progress gets
    // the file length after each block, at most expectedSize. cancel is set
    // to 1 when the transfer is given up. True only after the sender's EOT.
    bool XModemDownload(std::FILE* file, int* progress, int expectedSize, char* cancel);

  private:
    int RunDialog();

    TransferJob job_;
    HINSTANCE instance_ = nullptr;
    HWND owner_ = nullptr;
    std::string defaultTitle_;
    std::string defaultText_;
    TransferViewFactory* views_ = nullptr;
};
