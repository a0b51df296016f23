// PostSteps: the reorganisation of the modem's memory after the firmware,
// then every saved file stored back. The copies go only when every file is
// back in the modem.
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "plugins/backup/backup_files.h"
#include "plugins/backup/backup_state.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/backup/file_entry.h"
#include "plugins/backup/sarnet_plugin.h"
#include "plugins/backup/step_report.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"

namespace {

constexpr const char* kReorganizeCommand = "at$jfclr=all";
constexpr int kReorganizeAttempts = 10;
constexpr DWORD kReorganizeTimeoutMs = 120000;
constexpr DWORD kAttentionTimeoutMs = 30000;
constexpr DWORD kRestartWaitMs = 5000;
constexpr DWORD kFullBarWaitMs = 500;
constexpr DWORD kCommandTimeoutMs = 1000;
constexpr DWORD kFinalOkTimeoutMs = 10000;

// The modem clears and reorganises its file store. False after the error
// text was posted (the waits are done all the same).
bool Reorganize(HWND page, CSerial* port, _Status* status, char* cancel) {
    CopyText(status->text, backup::LoadText(backup::IDS_PLEASE_WAIT, sizeof status->text).c_str());
    status->total = -1;
    bool ok = port->ClearInput(0);
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Serial Buffer geleert... %d", ok ? 1 : 0);
    bool reorganized = false;
    for (int attempt = 0; attempt < kReorganizeAttempts && !reorganized; ++attempt) {
        std::string answer;
        reorganized =
            port->Request(kReorganizeCommand, &answer, 0, cancel, kReorganizeTimeoutMs, 0);
    }
    ok = ok && reorganized;
    if (!ok) {
        backup::PostFatal(page, backup::IDS_REORGANIZE_ERROR);
    }
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Reok. abgeschlossen... %d", ok ? 1 : 0);
    if (!ok && port->DeviceGone()) {
        return false;  // no modem to wait for
    }
    std::string answer;
    port->Request("AT", &answer, 0, cancel, kAttentionTimeoutMs, 0);
    platform::Sleep(kRestartWaitMs);
    status->total = 1;
    platform::Sleep(kFullBarWaitMs);
    return ok;
}

// Stores one saved file back. Returns false when the update must stop at
// once (the error text was sent); *restored tells whether the file is
// back in the modem.
bool StoreBack(HWND page, CSerial* port, _Status* status, char* cancel, const char* entry,
               int index, bool* restored) {
    const BackupState& state = TheBackupState();
    *restored = false;
    xdebug_Trace(-1, TRACE_LEVEL_STEP, " UPL Z:%s\n", entry);
    FileEntry file;
    std::string why, command;
    const std::string path = backup::BackupFilePath(state.runDirectory, index);
    if (!ReadEntry(entry, &file, &why) || !StoreCommand(file, &command)) {
        backup::SendFatal(page, backup::IDS_UPLOAD_ERROR);
        return false;
    }
    status->done = 0;
    backup::SetFileProgressText(status, backup::IDS_RESTORING_FILE, index, state.fileCount);
    status->total = file.size;

    port->ClearInput(0);
    if (!port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, cancel, kCommandTimeoutMs, 0)) {
        backup::SendFatal(page, backup::IDS_UPLOAD_ERROR);
        return false;
    }
    bool sent = false;
    if (port->UploadCheckBaudrate()) {
        std::FILE* copy = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
        if (copy != nullptr) {
            CXModemTransfer transfer;
            transfer.Attach(port, nullptr, page);
            const bool uploaded = transfer.XModemUpload(copy, &status->done, true, cancel);
            std::fclose(copy);
            if (!uploaded) {
                backup::SendFatal(page, backup::IDS_UPLOAD_ERROR);
                return false;
            }
            sent = true;
        } else {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "PostSteps: cannot read %s\n", path.c_str());
        }
    } else if (port->DeviceGone()) {
        backup::SendFatal(page, backup::IDS_UPLOAD_ERROR);
        return false;
    } else {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "PostSteps: no loader for %s\n", file.name.c_str());
    }
    // Not every modem answers here; an ERROR, though, says the file is not
    // stored.
    std::string answer;
    port->WaitFor("OK", &answer, kFinalOkTimeoutMs);
    *restored = sent && answer.find("ERROR") == std::string::npos;
    return true;
}

// Stores every saved file back. A file that cannot be stored is passed
// over so the others still get back; the update then ends as failed.
int Restore(HWND page, CSerial* port, _Status* status, char* cancel) {
    const BackupState& state = TheBackupState();
    status->total = state.listTotal;
    if (!IdentifyModem(port, cancel, nullptr, nullptr, nullptr)) {
        return backup::PostFatal(page, backup::IDS_INITIALIZATION_ERROR);
    }
    bool allRestored = true;
    int index = 1;
    for (const char* entry = state.FirstEntry(); *entry != '\0';
         entry = MultiStringNext(entry), ++index) {
        bool restored = false;
        if (!StoreBack(page, port, status, cancel, entry, index, &restored)) {
            return 0;
        }
        allRestored = allRestored && restored;
    }
    if (!allRestored) {
        return backup::SendFatal(page, backup::IDS_UPLOAD_ERROR);
    }
    return 1;
}

}  // namespace

int PostSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter) {
    char cancel = 0;
    ClearStatus(status);
    AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);
    if (!Reorganize(page, port, status, &cancel)) {
        return 0;
    }
    ClearStatus(status);
    AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);
    const int result = Restore(page, port, status, &cancel);
    if (result == 1) {
        const BackupState& state = TheBackupState();
        backup::DeleteRun(state.runDirectory, state.fileCount);
    }
    return result;
}
