// The firmware step of an update: the plug-in's FirmwareUpload, or the
// wizard's own upload (upload command, loader speed check, flash loader
// and firmware by XModem, then the wait for the modem to come back).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "plugin_api/exports.h"

struct WizardState;
class CSerial;

// How long a restarted modem may take to answer again, from the end of
// the firmware transfer; also the limit of the port's re-open after it.
constexpr DWORD kComeBackLimitMs = 30000;

// Runs the firmware step for the model at the head of the model list.
// Returns 1 on success, 0 on failure (the error text has been posted to
// page with WM_WIZ_FATAL). The wizard's own upload leaves the port closed.
int UploadFirmware(WizardState& state, HWND page, CSerial* port, FirmwareUploadProc pluginUpload);

// The wizard's own upload into a modem that already waits in its boot
// loader (an update interrupted before): no upload command, the speed check
// finds the loader, then flash loader and firmware and the wait for the
// restarted modem as in an update. Returns as UploadFirmware.
int RecoverFirmware(WizardState& state, HWND page, CSerial* port);

// Where the flash loader starts in a firmware file of fileSize bytes, when
// the file has a header with the magic "ORV" and the loader starts inside
// the file; otherwise false (there is no loader to send).
bool FindFlashLoader(std::FILE* firmware, std::uint64_t fileSize, std::uint64_t* loaderStart);

// Copies the flash loader at the end of the firmware file into a temporary
// file that is deleted when closed, positioned at its start. Null when the
// file carries no loader or the copy fails.
std::FILE* ExtractLoader(std::FILE* firmware);
