// CFileTransfer / CXModemTransfer: attaching, the job, and the file-store
// operations run under the progress dialog.
#include "transfer/file_transfer.h"

#include <cctype>
#include <list>

#include "serial/answer_text.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/modem_commands.h"
#include "transfer/modem_delete.h"
#include "transfer/modem_dir.h"
#include "transfer/transfer_dialog.h"

namespace {

void TraceRefused(const char* operation, const std::string& name) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP,
                 "%s: Name does not fit the modem command, nothing sent: <%s>\n", operation,
                 name.c_str());
}

// Leading decimal digits; 0 when there are none.
std::int32_t LeadingNumber(const std::string& text) {
    std::int64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) {
            return INT32_MAX;
        }
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

// The callers do not look at the modem's answer: true unless refused.
bool CFileTransfer::DeleteModemFile(std::string name) {
    return RequestModemFileDelete(port, name) != DeleteResult::Refused;
}

bool CXModemTransfer::SetPort(CSerial* serial) {
    port = serial;
    return serial != nullptr;
}

bool CXModemTransfer::Attach(CSerial* serial, HINSTANCE instance, HWND owner) {
    instance_ = instance;
    owner_ = owner;
    return SetPort(serial);
}

void CXModemTransfer::PrepareJob(bool upload, std::string localPath, std::string modemName,
                                 std::string arg1, std::string arg2, std::string arg3,
                                 std::string displayName) {
    job_.upload = upload;
    job_.cancelled = false;
    job_.finished = false;
    job_.instance = instance_;
    job_.owner = owner_;
    job_.port = port;
    job_.localPath = std::move(localPath);
    job_.modemName = std::move(modemName);
    job_.uploadArgs = {std::move(arg1), std::move(arg2), std::move(arg3)};
    job_.displayName = std::move(displayName);
    job_.title = defaultTitle_;
    job_.text = defaultText_;
    job_.doneBytes = 0;
    job_.transfer = this;
    job_.totalBytes = 1;
    job_.outcome = TransferOutcome::NotRun;
}

int CXModemTransfer::RunDialog() {
    std::unique_ptr<TransferProgressView> view;
    if (views_ != nullptr) {
        view = views_->CreateTransferView(instance_, owner_);
    }
    return RunTransferDialog(job_, view.get());
}

int CXModemTransfer::UploadModemFile(std::string localPath, std::string modemName, std::string arg1,
                                     std::string arg2, std::string arg3, std::string displayName,
                                     bool deleteFirst) {
    std::string command;
    if (!FormatUploadCommand(modemName, {arg1, arg2, arg3}, &command)) {
        TraceRefused("UploadModemFile", modemName);
        return TRANSFER_REFUSED;
    }
    PrepareJob(true, std::move(localPath), modemName, std::move(arg1), std::move(arg2),
               std::move(arg3), std::move(displayName));
    if (deleteFirst) {
        DeleteModemFile(modemName);
    }
    const int result = RunDialog();
    if (job_.cancelled) {
        // No partial file may stay in the store.
        DeleteModemFile(modemName);
    }
    return result == -1 ? TRANSFER_CANCELLED : TRANSFER_FINISHED;
}

int CXModemTransfer::DownloadModemFile(std::string modemName, std::string localPath,
                                       std::string displayName) {
    std::string command;
    if (!FormatDownloadCommand(modemName, &command)) {
        TraceRefused("DownloadModemFile", modemName);
        return TRANSFER_REFUSED;
    }
    PrepareJob(false, std::move(localPath), modemName, "", "", "", std::move(displayName));
    std::list<std::string> listing;
    if (GetModemDir(port, &listing) <= 0) {
        return TRANSFER_NOT_FOUND;
    }
    std::string size;
    bool found = false;
    while (!listing.empty() && !found) {
        std::string name;
        GetListField(listing.front(), 0, &name);
        if (name == modemName) {
            GetListField(listing.front(), 5, &size);
            found = true;
        }
        listing.pop_front();
    }
    if (!found || size.empty()) {
        return TRANSFER_NOT_FOUND;
    }
    job_.totalBytes = LeadingNumber(size);
    return RunDialog() == -1 ? TRANSFER_CANCELLED : TRANSFER_FINISHED;
}
