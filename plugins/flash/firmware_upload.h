// The flash plug-in's firmware step: check image and loader, probe the
// modem, send the flash loader as AT commands, check its version, send the
// firmware record by record, set the country again and wait for the modem.
#pragma once

#include <string>

#include "platform/types.h"

class CSerial;
struct _Status;

namespace flinta {

// The flash-loader versions this plug-in can work with.
constexpr const char* kLoaderVersion44 = "Ver:4.4";
constexpr const char* kLoaderVersion43 = "Ver:4.3";  // not for USB modems

// Time the new firmware gets to start before the country is set.
constexpr DWORD kFirmwareStartMs = 5000;
constexpr DWORD kAfterFirmwareTimeoutMs = 60000;
constexpr int kComeBackTries = 12;

// True when the loader that announced itself in banner can program a
// modem of modemType.
bool LoaderAccepted(const std::string& banner, int modemType);

// settings points at the wizard's UploadSettings: its file list names the
// image first and the flash loader second. Returns 1 when the firmware was
// programmed and the modem answers again, 0 otherwise (the wizard reports
// the failure; only an image that cannot be opened is reported here).
int FirmwareUpload(HWND page, CSerial* port, char* settings, _Status* status);

}  // namespace flinta
