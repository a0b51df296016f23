#include "plugins/flash/image_sender.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "plugin_api/status.h"
#include "plugins/flash/acknowledgement.h"
#include "plugins/flash/flash_texts.h"
#include "plugins/flash/flash_trace.h"
#include "plugins/flash/hex_records.h"
#include "serial/serial.h"

namespace flinta {
namespace {

constexpr const char* kCommandPrefix = "at&&f";
constexpr int kResendTries = 10;
constexpr DWORD kResendPauseMs = 500;
constexpr DWORD kEraseTimeoutMs = 180000;
// The loader texts switch to "Please wait ..." beyond this share of the file.
constexpr double kLoaderNearlyDone = 0.95;
// In the firmware the first records show "Please wait ..." while the
// loader gets going; the percentage comes back with this record.
constexpr int kFirmwareTextBackAt = 5;
// The line buffer of the sender: the prefix and the longest record.
constexpr std::size_t kLineBufferSize = 256;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    long size = std::ftell(file);
    std::rewind(file);
    return size;
}

void SetText(_Status* status, const std::string& text) {
    std::snprintf(status->text, sizeof status->text, "%s", text.c_str());
}

int Resend(CSerial* port, const std::string& line, std::string* answer) {
    for (int attempt = 1; attempt <= kResendTries; ++attempt) {
        if (port->DeviceGone()) {
            Trace("Resend impossible, the modem is gone!\n");
            return 0;
        }
        Trace("Resend %d. try!\n", attempt);
        port->ClearInput(kResendPauseMs);
        port->Write(line, 0);
        if (WaitForAcknowledgement(port, answer, kRecordTimeoutMs) == Acknowledgement::kOk) {
            Trace("Resend successfull!\n");
            return 1;
        }
    }
    Trace("Resend failed!\n");
    return 0;
}

int Erase(CSerial* port, std::string* answer) {
    if (port->DeviceGone()) {
        Trace("Erase impossible, the modem is gone!\n");
        return 0;
    }
    Trace("Erase flash!\n");
    port->Write("Z", 1);
    return port->WaitFor("Ver:", answer, kEraseTimeoutMs) ? 1 : 0;
}

}  // namespace

int RecoverLine(CSerial* port, int code, const std::string& line, std::string* answer) {
    Trace("FLASH: Got a NOK\n");
    switch (code) {
        case 0:
        case 2:
        case 6:
            Trace("FLASH: Failure to program a byte\n");
            return Resend(port, line, answer);
        case 3:
            Trace("FLASH: Failure to Erase\n");
            return Erase(port, answer);
        case 4:
            Trace("FLASH: Failure to find COLON\n");
            return Resend(port, line, answer);
        case 5:
            Trace("FLASH: Checksum Failure\n");
            return Resend(port, line, answer);
        default:
            Trace("FLASH: Failure %d\n", code);
            return Resend(port, line, answer);
    }
}

int SendImage(const std::string& path, std::string* answer, int mode, std::string& line,
              CSerial* port, _Status* status) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    const long size = file ? FileSize(file.get()) : -1;
    if (size < 0 || size > INT32_MAX) {
        Trace("File %s could not be opened --\n", path.c_str());
        return 0;
    }
    status->total = static_cast<std::int32_t>(size);
    Trace("Firmware or Flash Loader - Loading...\n");

    HexRecordReader reader(file.get());
    std::string record;
    std::string keptText;
    int i = 0;
    bool ok = false;
    for (;;) {
        HexRecordReader::Result result = reader.Next(&record);
        if (result != HexRecordReader::kRecord) {
            ok = result == HexRecordReader::kEnd;
            if (!ok) {
                Trace("Error reading %s\n", path.c_str());
            }
            break;
        }
        line = mode == SEND_AS_COMMANDS ? kCommandPrefix + record : record;
        if (line.size() >= kLineBufferSize) {
            Trace("Record %d does not fit the line buffer\n", i + 1);
            break;
        }
        // A record rescued after a failed write has been acknowledged
        // already: it is neither waited for nor sent once more.
        bool acknowledged = false;
        if (port->Write(line, 0) == 0) {
            Trace("NOK after serial write\n");
            if (!RecoverLine(port, 0, line, answer)) {
                Trace("Error recovery failed!\n");
                break;
            }
            acknowledged = true;
        }
        if (line.find(':') == std::string::npos) {
            continue;  // trailing characters, no record: nothing to wait for
        }
        if (mode == SEND_RAW && i == 0) {
            keptText.assign(status->text, strnlen(status->text, sizeof status->text));
            SetText(status, LoadText(IDS_PLEASE_WAIT));
            Trace("Delete text! %s\n", status->text);
        } else if (mode == SEND_RAW && i == kFirmwareTextBackAt) {
            SetText(status, keptText);
            Trace("Udpate text! %s\n", status->text);
        }
        if (!acknowledged &&
            WaitForAcknowledgement(port, answer, kRecordTimeoutMs) != Acknowledgement::kOk) {
            Trace("NOK after serial wait for\n");
            if (!RecoverLine(port, 0, line, answer)) {
                Trace("Error recovery failed!\n");
                break;
            }
        }
        if (mode == SEND_AS_COMMANDS && status->total > 0 &&
            static_cast<double>(status->done) / status->total > kLoaderNearlyDone) {
            SetText(status, LoadText(IDS_PLEASE_WAIT));
            Trace("Delete text! %s\n", status->text);
            status->done = status->total;
        }
        status->done = std::min<std::int32_t>(
            status->total, status->done + static_cast<std::int32_t>(record.size()));
        ++i;
    }
    if (ok) {
        status->done = status->total;
        Trace("FLASH: %s download success\n", path.c_str());
    } else {
        Trace("FLASH: %s download failed\n", path.c_str());
    }
    return ok ? 1 : 0;
}

}  // namespace flinta
