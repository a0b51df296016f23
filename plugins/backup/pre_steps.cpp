// PreSteps: the listing of the modem's file store and the backup of every
// listed file, before any firmware is touched.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/local_time.h"
#include "plugin_api/messages.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "plugins/backup/backup_files.h"
#include "plugins/backup/backup_state.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/backup/file_entry.h"
#include "plugins/backup/sarnet_plugin.h"
#include "plugins/backup/step_report.h"
#include "plugins/backup/store_listing.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"
#include "transfer/listing_field.h"

namespace {

constexpr DWORD kListTimeoutMs = 1000;
constexpr DWORD kCommandTimeoutMs = 1000;
constexpr DWORD kFinalOkTimeoutMs = 10000;

void Trace(const char* format, const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP, format, text);
}

// A backup that cannot be made stops the update before the firmware.
bool Fail(HWND page) {
    backup::PostFatal(page, backup::IDS_DOWNLOAD_ERROR);
    return false;
}

// The name of a listing entry as the user would see it.
std::string FileNameOf(const char* entry) {
    return PrintableName(std::string(SeparatedField(entry, ',', 0)));
}

// Lists the store into the module state and checks every entry. Reports
// its own failure.
bool ListFiles(HWND page, CSerial* port, _Status* status, char* cancel) {
    BackupState& state = TheBackupState();
    std::string listing, why;
    // A listing not closed by the modem's final OK would leave the files
    // behind the cut without a backup.
    if (!backup::ListStoredFiles(port, cancel, kListTimeoutMs, &listing, &why)) {
        Trace("PreSteps: %s\n", why.c_str());
        return Fail(page);
    }
    Trace("%s\n", listing.c_str());
    if (!state.StoreListing(listing)) {
        Trace("PreSteps: %s\n", "the listing does not fit its buffer or has an empty line");
        return Fail(page);
    }

    ClearStatus(status);
    std::int64_t total = 0;
    for (const char* entry = state.FirstEntry(); *entry != '\0'; entry = MultiStringNext(entry)) {
        FileEntry file;
        std::string why;
        if (!ReadEntry(entry, &file, &why)) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "PreSteps: refused entry <%s>: %s\n", entry,
                         why.c_str());
            backup::PostNotice(page, "The modem's file \"" + FileNameOf(entry) +
                                         "\" cannot be backed up: " + why + ".");
            state.Clear();
            return Fail(page);
        }
        ++state.fileCount;
        total += file.size;
    }
    if (total > INT32_MAX) {
        Trace("PreSteps: %s\n", "the listed sizes add up beyond 32 bits");
        state.Clear();
        return Fail(page);
    }
    status->total = static_cast<std::int32_t>(total);
    state.listTotal = status->total;

    if (state.fileCount > 0) {
        std::string why;
        state.runDirectory =
            backup::MakeRunDirectory(listing, status->model, platform::LocalTimeStamp(), &why);
        if (state.runDirectory.empty()) {
            Trace("PreSteps: %s\n", why.c_str());
            return Fail(page);
        }
        // The front end names the folder if the update fails; the text
        // lives in the module state until the next update.
        PostMessage(page, WM_WIZ_KEPTFILES, 0, TextParam(state.runDirectory.c_str()));
    }
    return true;
}

// Fetches one listed file into its copy. Reports its own failure; a copy
// that is not whole is removed again (the modem still holds the file).
bool BackUp(HWND page, CSerial* port, _Status* status, char* cancel, const char* entry, int index) {
    const BackupState& state = TheBackupState();
    Trace(" DNL Z:%s\n", entry);
    FileEntry file;
    std::string why, command;
    const std::string path = backup::BackupFilePath(state.runDirectory, index);
    if (!ReadEntry(entry, &file, &why) || !DownloadCommand(file, &command) || path.empty()) {
        return Fail(page);
    }
    status->done = 0;
    backup::SetFileProgressText(status, backup::IDS_BACKING_UP_FILE, index, state.fileCount);
    status->total = file.size;

    port->ClearInput(0);
    if (!port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, cancel, kCommandTimeoutMs, 0)) {
        return Fail(page);
    }
    std::FILE* copy = std::fopen(path.c_str(), "wb");
    if (copy == nullptr) {
        Trace("PreSteps: cannot create %s\n", path.c_str());
        return Fail(page);
    }
    CXModemTransfer transfer;
    transfer.Attach(port, nullptr, page);
    bool whole = transfer.XModemDownload(copy, &status->done, file.size, cancel);
    whole = std::fclose(copy) == 0 && whole;
    if (whole && file.sizeGiven && !backup::CutToListedSize(path, file.size, &why)) {
        Trace("PreSteps: %s\n", why.c_str());
        whole = false;
    }
    if (whole && !file.sizeGiven) {
        const std::string note = UncheckedLengthNote(file.name);
        Trace("PreSteps: %s\n", note.c_str());
        backup::PostNotice(page, note);
    }
    if (!whole) {
        std::remove(path.c_str());
        return Fail(page);
    }
    port->WaitFor("OK", nullptr, kFinalOkTimeoutMs);
    return true;
}

}  // namespace

int PreSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter) {
    char cancel = 0;
    TheBackupState().Clear();
    if (!IdentifyModem(port, &cancel, nullptr, nullptr, nullptr)) {
        return backup::PostFatal(page, backup::IDS_INITIALIZATION_ERROR);
    }
    if (!ListFiles(page, port, status, &cancel)) {
        return 0;
    }

    AdvanceStep(page, static_cast<UINT>(stepMessage), stepCounter);

    const BackupState& state = TheBackupState();
    int index = 1;
    for (const char* entry = state.FirstEntry(); *entry != '\0';
         entry = MultiStringNext(entry), ++index) {
        if (!BackUp(page, port, status, &cancel, entry, index)) {
            return 0;
        }
    }
    ClearStatus(status);
    Trace("%s", "Verlasse Presteps");
    return 1;
}
