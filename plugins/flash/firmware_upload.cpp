#include "plugins/flash/firmware_upload.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "plugin_api/upload_settings.h"
#include "plugins/flash/country_code.h"
#include "plugins/flash/flash_texts.h"
#include "plugins/flash/flash_trace.h"
#include "plugins/flash/hex_check.h"
#include "plugins/flash/image_info.h"
#include "plugins/flash/image_sender.h"
#include "plugins/flash/modem_probe.h"
#include "serial/serial.h"

namespace flinta {
namespace {

// Entries 1 and 2 of the settings' file list; a list that does not end
// within its field gives none.
bool FilesOf(const char* settings, std::string* image, std::string* loader) {
    if (MultiStringSize(settings, UPLOAD_FILES_SIZE) == 0) {
        return false;
    }
    *image = settings;
    *loader = image->empty() ? std::string() : MultiStringNext(settings);
    return true;
}

void SetText(_Status* status, const std::string& text) {
    std::snprintf(status->text, sizeof status->text, "%s", text.c_str());
}

// Probing and compatibility; true when the upload may go on.
bool ModemFitsImage(CSerial* port, const ImageInfo& image, ImageInfo* modem,
                    const _Status* status) {
    if (ProbeModem(port, modem, status) == PROBE_FAILED) {
        return false;
    }
    Trace("Analysieren des Modem in Ordnung\n");
    const std::int32_t bits = CheckCompatibility(*modem, image);
    if (bits != 0) {
        Trace("Something went wrong, no compatibility found!\n");
        if (bits != COMPAT_CHECKSUM) {
            return false;
        }
        Trace("Only checksum does not match, this is recoverable.\n");
    }
    Trace("Vergleich der Hex Files, Modem in Ordnung\n");
    return true;
}

}  // namespace

bool LoaderAccepted(const std::string& banner, int modemType) {
    Trace("Comparing %s, with %s and %s\n", banner.c_str(), kLoaderVersion44, kLoaderVersion43);
    return banner.find(kLoaderVersion44) != std::string::npos ||
           (banner.find(kLoaderVersion43) != std::string::npos && modemType != MODEM_TYPE_USB);
}

int FirmwareUpload(HWND page, CSerial* port, char* settings, _Status* status) {
    std::string imagePath, loaderPath;
    if (port == nullptr || status == nullptr || settings == nullptr ||
        !FilesOf(settings, &imagePath, &loaderPath)) {
        Trace("FirmwareUpload: no file list\n");
        return 0;
    }
    int fileNumber = 1;
    bool downloaded = false;

    ImageInfo image;
    if (!AnalyseImage(page, &image, imagePath.c_str())) {
        return 0;
    }
    // Both files are checked before the modem hears anything: a broken
    // record found half-way would leave a half-programmed flash.
    std::string problem;
    if (!CheckHexFile(imagePath, &problem) || !CheckHexFile(loaderPath, &problem)) {
        return 0;
    }
    Trace("Analysieren des Hex Files in Ordnung\n");
    ImageInfo modem;
    if (!ModemFitsImage(port, image, &modem, status)) {
        return 0;
    }
    ClearStatus(status);
    const std::string countryCommand = SaveCountryCode(port);

    ++fileNumber;
    SetText(status, LoadingText(1, fileNumber));
    std::string banner, line;
    if (SendImage(loaderPath, &banner, SEND_AS_COMMANDS, line, port, status)) {
        SetText(status, LoadText(IDS_PLEASE_WAIT));
        if (LoaderAccepted(banner, modem.modemType)) {
            ClearStatus(status);
            SetText(status, LoadingText(fileNumber, fileNumber));
            std::string answer;
            if (SendImage(imagePath, &answer, SEND_RAW, line, port, status)) {
                Trace("Downloading succeeded.\n");
                downloaded = true;
                platform::Sleep(kFirmwareStartMs);
                if (!countryCommand.empty()) {
                    port->Request(countryCommand, &answer, 0, nullptr, kAfterFirmwareTimeoutMs, 0);
                    Trace("%s\n", answer.c_str());
                }
            } else {
                Trace("Error load firmware...\n");
            }
        } else {
            Trace("Wrong Flash Loader...\n");
        }
    }
    if (downloaded) {
        for (int attempt = 0; attempt < kComeBackTries; ++attempt) {
            if (port->Request("AT", nullptr, 0, nullptr, kAfterFirmwareTimeoutMs, 0)) {
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace flinta
