#include "plugins/backup/store_back.h"

#include <cstdio>

#include "plugins/backup/file_entry.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"

namespace backup {
namespace {

constexpr DWORD kCommandTimeoutMs = 1000;
constexpr DWORD kFinalOkTimeoutMs = 10000;

}  // namespace

StoreBackResult StoreCopyBack(CSerial* port, const FileEntry& file, const std::string& path,
                              HWND owner, int* progress, const char* cancel) {
    std::string command;
    if (!StoreCommand(file, &command)) {
        return StoreBackResult::kCommandRefused;
    }
    port->ClearInput(0);
    if (!port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, cancel, kCommandTimeoutMs, 0)) {
        return StoreBackResult::kCommandRefused;
    }
    StoreBackResult result = StoreBackResult::kStored;
    if (!port->UploadCheckBaudrate()) {
        if (port->DeviceGone()) {
            return StoreBackResult::kDeviceGone;
        }
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "StoreCopyBack: no loader for %s\n", file.name.c_str());
        result = StoreBackResult::kNoReceiver;
    } else if (std::FILE* copy = path.empty() ? nullptr : std::fopen(path.c_str(), "rb")) {
        CXModemTransfer transfer;
        transfer.Attach(port, nullptr, owner);
        const bool uploaded = transfer.XModemUpload(copy, progress, true, cancel);
        std::fclose(copy);
        if (!uploaded) {
            return StoreBackResult::kUploadFailed;
        }
    } else {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "StoreCopyBack: cannot read %s\n", path.c_str());
        result = StoreBackResult::kCopyUnreadable;
    }
    // Not every modem answers here; an ERROR, though, says the file is not
    // stored.
    std::string answer;
    port->WaitFor("OK", &answer, kFinalOkTimeoutMs);
    if (result == StoreBackResult::kStored && answer.find("ERROR") != std::string::npos) {
        result = StoreBackResult::kModemRefused;
    }
    return result;
}

const char* Describe(StoreBackResult result) {
    switch (result) {
        case StoreBackResult::kStored:
            return "";
        case StoreBackResult::kCommandRefused:
            return "the modem did not take the store command";
        case StoreBackResult::kNoReceiver:
            return "the modem never asked for the file";
        case StoreBackResult::kCopyUnreadable:
            return "the copy cannot be read";
        case StoreBackResult::kUploadFailed:
            return "the transfer broke off";
        case StoreBackResult::kModemRefused:
            return "the modem answered ERROR after the transfer";
        case StoreBackResult::kDeviceGone:
            return "the modem's device went away";
    }
    return "";
}

}  // namespace backup
