// Is there a modem whose flash can be programmed, and does the image fit
// the model configured for it?
#pragma once

#include <cstdint>
#include <string>

#include "plugins/flash/image_info.h"

class CSerial;
struct _Status;

namespace flinta {

// Results of ProbeModem.
constexpr int PROBE_NEEDS_LOADER = 3;  // a flashable modem answered; send the loader first
constexpr int PROBE_FAILED = 5;        // no modem, or not flashable

// Bits of CheckCompatibility.
constexpr std::int32_t COMPAT_SECTOR_SIZE = 1;
constexpr std::int32_t COMPAT_MODEM_TYPE = 2;
constexpr std::int32_t COMPAT_CHECKSUM = 4;

// The Wizard.inf key that names the type of a model.
constexpr const char* kModemTypeKey = "ModemType";

// Wakes the modem with "AT", asks "AT&&FE" whether its firmware can be
// flashed, switches echo on and reads the configured type into *modemInfo.
int ProbeModem(CSerial* port, ImageInfo* modemInfo, const _Status* status);

// The type code of a ModemType value (compared without regard to case):
// USB, INTERNAL, EXTERNAL, PCMCIA; anything else is unknown.
std::int32_t ModemTypeFromKey(const std::string& value);

// Sets modemInfo->modemType from the ModemType key of the model's section
// (status->model) of Wizard.inf (status->iniPath); unknown when the key is
// missing, unreadable or too long.
void ReadModemType(ImageInfo* modemInfo, const _Status* status);

// The compatibility problems of an image with a modem; 0 = none found.
std::int32_t CheckCompatibility(const ImageInfo& modem, const ImageInfo& image);

}  // namespace flinta
