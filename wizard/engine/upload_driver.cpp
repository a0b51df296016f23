#include "wizard/engine/upload_driver.h"

#include <algorithm>
#include <memory>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/temp_file.h"
#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "serial/port_reopen.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/upload_settings_builder.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/resources/strings.h"

namespace {

constexpr DWORD kUploadCommandTimeoutMs = 10000;
constexpr DWORD kPowerCycleWaitMs = 60000;
// Between two carriage returns that nudge a loader after a power cycle:
// long enough to leave the CPU idle, short enough to catch the loader.
constexpr DWORD kNudgeIntervalMs = 50;
constexpr DWORD kFirstProbeDelayMs = 5000;
constexpr DWORD kProbeTimeoutMs = 5000;
constexpr DWORD kProbePauseMs = 100;
constexpr DWORD kDefaultUploadBaud = 115200;

void SetStatusText(_Status& status, int textId) {
    CopyTextCut(status.text, sizeof status.text, wizard::LoadText(textId));
}

void Trace(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", text);
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint64_t FileSize(std::FILE* file) {
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

// Waits for a loader after the user has been asked to switch the modem
// off and on: nudges it with carriage returns until its NAK comes.
void WaitForLoaderAfterPowerCycle(CSerial* port, _Status& status) {
    SetStatusText(status, wizard::IDS_SWITCH_OFF_AND_ON);
    const DWORD start = platform::GetTickCount();
    while (platform::GetTickCount() - start < kPowerCycleWaitMs && !port->DeviceGone()) {
        if (port->WriteTimeout("\r", 1, 100) == 0) {
            // A write that fails at once says nothing about the line's
            // input: a wait for input might return at once too.
            platform::Sleep(kNudgeIntervalMs);
            continue;
        }
        if (port->QueryInbuff() && port->UploadCheckBaudrate()) {
            return;
        }
        platform::WaitCommInput(port->Handle(), kNudgeIntervalMs);
    }
}

// The line speed of the upload. False, with a trace naming the speed, when
// the driver does not take it: the upload command must not go out at
// another speed than the loader expects.
bool SetUploadSpeed(CSerial* port, DWORD baud) {
    DCB dcb{};
    if (!platform::GetCommState(port->Handle(), &dcb)) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "UPLOAD: cannot read the line settings: %s\n",
                     platform::ErrorText(platform::GetLastError()).c_str());
        return false;
    }
    dcb.BaudRate = baud;
    if (!platform::SetCommState(port->Handle(), &dcb)) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "UPLOAD: the port refuses the speed of %lu bit/s: %s\n",
                     static_cast<unsigned long>(baud),
                     platform::ErrorText(platform::GetLastError()).c_str());
        return false;
    }
    return true;
}

// Sends the firmware file, with the flash loader from its end first when
// the model is flagged UPLOAD_MODEM.
bool Transfer(WizardState& state, UploadSettingsBuffer& settings, HWND page, std::FILE* firmware,
              CSerial* port, bool inLoader) {
    _Status& status = state.status;
    const UploadParameters& params = settings.parameters;
    if (settings.settings.standardInterface == 0) {
        return false;
    }
    Trace("Baudratenanpassung!\n");
    if (!SetUploadSpeed(port,
                        params.baud == 0 ? kDefaultUploadBaud : static_cast<DWORD>(params.baud))) {
        return false;
    }
    const std::string command = params.command != nullptr ? params.command : "";
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Firmware Command: %s\n", command.c_str());
    if (inLoader) {
        Trace("UPLOAD: the modem waits in its loader\n");
    } else if (state.hasAtInterpreter && !command.empty()) {
        if (!port->Request(command, nullptr, REQUEST_IGNORE_ANSWER, nullptr,
                           kUploadCommandTimeoutMs, 0)) {
            std::string text =
                FormatText(wizard::LoadText(wizard::IDS_UPLOAD_COMMAND_FAILED), command, 256);
            MessageBox(page, text.c_str(), MB_OK);
            return false;
        }
    } else {
        WaitForLoaderAfterPowerCycle(port, status);
    }
    SetStatusText(status, wizard::IDS_LOADING_FIRMWARE);

    const bool allow1K = (params.flags & UPLOAD_SUPPORTED_1K) != 0;
    const char abort = 0;
    CXModemTransfer sender;
    sender.Attach(port, nullptr, page);
    if ((params.flags & UPLOAD_MODEM) == 0) {
        Trace("UPLOAD: Normal Upload\n");
        if (!port->UploadCheckBaudrate()) {
            Trace("UPLOAD: Wrong baud rate\n");
            return false;
        }
        Trace("UPLOAD: Begin upload\n");
        std::rewind(firmware);
        if (!sender.XModemUpload(firmware, &status.done, allow1K, &abort)) {
            return false;
        }
    } else {
        Trace("UPLOAD: Modem Upload\n");
        if (!port->UploadCheckBaudrate()) {
            Trace("UPLOAD: Wrong baud rate\n");
            return false;
        }
        xdebug_Trace(1, TRACE_LEVEL_STEP, "UPLOAD: Start Loader Upload\n");
        File loader(ExtractLoader(firmware));
        if (!loader) {
            return false;
        }
        xdebug_Trace(1, TRACE_LEVEL_STEP, "UPLOAD: Loader im File gefundemn !\n");
        if (!sender.XModemUpload(loader.get(), &status.done, allow1K, &abort)) {
            return false;
        }
        loader.reset();
        std::rewind(firmware);
        Trace("UPLOAD: Start Firmware Upload\n");
        if (!port->UploadCheckBaudrate()) {
            return false;
        }
        if (!sender.XModemUpload(firmware, &status.done, allow1K, &abort)) {
            return false;
        }
    }
    Trace("UPLOAD: Bin fertig mit Firmareupload!\n");
    return true;
}

// After the firmware: the modem restarts; wait until it answers "AT".
bool WaitForModem(WizardState& state, CSerial* port) {
    port->PulseDTR(20);
    const DWORD noted = platform::GetTickCount();
    SetStatusText(state.status, wizard::IDS_REINITIALIZING);
    port->Close();
    if (!state.hasAtInterpreter) {
        return true;
    }
    platform::Sleep(kFirstProbeDelayMs);
    while (platform::GetTickCount() - noted < kComeBackLimitMs) {
        // A USB modem may still be off the bus, restarting under its name.
        const DWORD left = kComeBackLimitMs - (platform::GetTickCount() - noted);
        if (ReopenPort(port, left)) {
            bool answered = port->Request("AT", nullptr, 0, nullptr, kProbeTimeoutMs, 0);
            port->Close();
            if (answered) {
                return true;
            }
        }
        platform::Sleep(kProbePauseMs);
    }
    return false;
}

UploadSettingsBuffer g_settings;  // the process-wide record handed to plug-ins

}  // namespace

bool FindFlashLoader(std::FILE* firmware, std::uint64_t fileSize, std::uint64_t* loaderStart) {
    unsigned char header[kFirmwareHeaderSize] = {};
    std::rewind(firmware);
    std::size_t read = std::fread(header, 1, sizeof header, firmware);
    std::rewind(firmware);
    FirmwareHeader parsed;
    std::string why;
    if (ParseFirmwareHeader(header, read, &parsed, &why) == FIRMWARE_NO_HEADER) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "UPLOAD: no firmware header: %s\n", why.c_str());
        return false;
    }
    std::uint64_t start = FlashLoaderOffset(parsed.imageLength);
    if (start >= fileSize) {
        xdebug_Trace(
            -1, TRACE_LEVEL_STEP, "UPLOAD: loader would start at %llu, the file has %llu bytes\n",
            static_cast<unsigned long long>(start), static_cast<unsigned long long>(fileSize));
        return false;
    }
    *loaderStart = start;
    return true;
}

std::FILE* ExtractLoader(std::FILE* firmware) {
    std::uint64_t start = 0;
    if (!FindFlashLoader(firmware, FileSize(firmware), &start)) {
        return nullptr;
    }
    File copy(platform::CreateTemporaryFile());
    if (!copy || std::fseek(firmware, static_cast<long>(start), SEEK_SET) != 0) {
        return nullptr;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, firmware)) > 0) {
        if (std::fwrite(buffer, 1, n, copy.get()) != n) {
            return nullptr;
        }
    }
    if (std::ferror(firmware) || std::fflush(copy.get()) != 0) {
        return nullptr;
    }
    std::rewind(copy.get());
    return copy.release();
}

namespace {

int OwnUpload(WizardState& state, HWND page, CSerial* port, FirmwareUploadProc pluginUpload,
              bool inLoader) {
    _Status& status = state.status;
    SetDlgItemText(page, IDC_PROGRESS_TEXT, wizard::LoadText(wizard::IDS_STARTING_UPLOAD).c_str());
    const IniFile ini = IniFile::Read(state.config.iniPath);
    std::string why;
    const std::string model =
        state.modelList.empty() ? std::string() : state.modelList.Entries().front();
    if (!BuildUploadSettings(ini, state.config.programDir, model, &g_settings, &why)) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "UPLOAD: no upload settings for <%s>: %s\n",
                     model.c_str(), why.c_str());
        PostFatalText(page, wizard::IDS_INI_ERROR);
        return 0;
    }
    if (pluginUpload != nullptr) {
        SetStatusText(status, wizard::IDS_LOADING_FIRMWARE);
        if (pluginUpload(page, port, g_settings.PluginArgument(), &status) != 0) {
            return 1;
        }
        PostFatalText(page, wizard::IDS_UPLOAD_ERROR);
        return 0;
    }
    File firmware(std::fopen(g_settings.Files().front().c_str(), "rb"));
    if (!firmware) {
        PostFatalText(page, wizard::IDS_FIRMWARE_FILE_MISSING);
        return 0;
    }
    const std::uint64_t size = FileSize(firmware.get());
    status.total = static_cast<std::int32_t>(std::min<std::uint64_t>(size, INT32_MAX));
    // A loader that is not there must be noticed before the modem is
    // switched into upload mode, not after.
    std::uint64_t loaderStart = 0;
    if ((g_settings.parameters.flags & UPLOAD_MODEM) != 0 &&
        !FindFlashLoader(firmware.get(), size, &loaderStart)) {
        PostFatalText(page, wizard::IDS_UPLOAD_ERROR);
        return 0;
    }
    int result = 0;
    if (Transfer(state, g_settings, page, firmware.get(), port, inLoader)) {
        result = WaitForModem(state, port) ? 1 : 0;
    }
    if (result == 0) {
        PostFatalText(page, wizard::IDS_UPLOAD_ERROR);
    }
    return result;
}

}  // namespace

int UploadFirmware(WizardState& state, HWND page, CSerial* port, FirmwareUploadProc pluginUpload) {
    return OwnUpload(state, page, port, pluginUpload, false);
}

int RecoverFirmware(WizardState& state, HWND page, CSerial* port) {
    return OwnUpload(state, page, port, nullptr, true);
}
