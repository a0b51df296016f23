#include "transfer/transfer_threads.h"

#include <cstdio>

#include "serial/serial.h"
#include "transfer/file_transfer.h"
#include "transfer/local_file.h"
#include "transfer/modem_commands.h"
#include "transfer/shared_access.h"

namespace {

constexpr DWORD kCommandTimeoutMs = 2000;

void ResetModem(CSerial* port) {
    std::string answer;
    port->ClearInput(0);
    port->Request("AT&F", &answer, REQUEST_IGNORE_ECHO, nullptr, kCommandTimeoutMs, 0);
}

void Finish(TransferJob* job, TransferOutcome outcome) {
    job->outcome = outcome;
    StoreShared(&job->finished, true);
}

}  // namespace

void UploadThread(TransferJob* job) {
    std::string command;
    if (!FormatUploadCommand(job->modemName, job->uploadArgs, &command)) {
        Finish(job, TransferOutcome::NotRun);
        return;
    }
    CSerial* port = job->port;
    if (!port->Open()) {
        Finish(job, TransferOutcome::PortNotOpened);
        return;
    }
    ResetModem(port);
    TransferOutcome outcome = TransferOutcome::LocalFileFailed;
    if (std::FILE* file = std::fopen(job->localPath.c_str(), "rb")) {
        StoreShared(&job->totalBytes, static_cast<std::int32_t>(GetLocalFileSize(job->localPath)));
        port->ClearInput(0);
        outcome = TransferOutcome::CommandRefused;
        if (port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, job->CancelByte(),
                          kCommandTimeoutMs, 0)) {
            outcome = job->transfer->XModemUpload(file, &job->doneBytes, true, job->CancelByte())
                          ? TransferOutcome::Completed
                          : TransferOutcome::TransferFailed;
        }
        std::fclose(file);
    }
    port->Close();
    Finish(job, outcome);
}

void DownloadThread(TransferJob* job) {
    std::string command;
    if (!FormatDownloadCommand(job->modemName, &command)) {
        Finish(job, TransferOutcome::NotRun);
        return;
    }
    CSerial* port = job->port;
    if (!port->Open()) {
        Finish(job, TransferOutcome::PortNotOpened);
        return;
    }
    ResetModem(port);
    TransferOutcome outcome = TransferOutcome::LocalFileFailed;
    if (std::FILE* file = std::fopen(job->localPath.c_str(), "wb")) {
        port->ClearInput(0);
        // A refused download ends through the receiver's error limit.
        port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, job->CancelByte(), kCommandTimeoutMs,
                      0);
        outcome =
            job->transfer->XModemDownload(file, &job->doneBytes, job->totalBytes, job->CancelByte())
                ? TransferOutcome::Completed
                : TransferOutcome::TransferFailed;
        // Data that never reaches the disk is a failed download.
        if (std::fclose(file) != 0 && outcome == TransferOutcome::Completed) {
            outcome = TransferOutcome::TransferFailed;
        }
    }
    port->Close();
    Finish(job, outcome);
}
