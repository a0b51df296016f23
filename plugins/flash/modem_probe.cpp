#include "plugins/flash/modem_probe.h"

#include <cstring>

#include "plugin_api/status.h"
#include "plugins/flash/flash_trace.h"
#include "serial/serial.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/no_case.h"

namespace flinta {
namespace {

constexpr DWORD kWakeTimeoutMs = 10000;
constexpr DWORD kAtTimeoutMs = 5000;
constexpr DWORD kFlashQueryTimeoutMs = 2000;
constexpr DWORD kEchoOnTimeoutMs = 2000;

bool Ask(CSerial* port, const char* command, DWORD timeoutMs) {
    std::string answer;
    return port->Request(command, &answer, 0, nullptr, timeoutMs, 0);
}

// A text field of the wizard's record, never read past its end.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* end = std::memchr(field, '\0', N);
    return std::string(field, end != nullptr ? static_cast<const char*>(end) - field : N);
}

}  // namespace

int ProbeModem(CSerial* port, ImageInfo* modemInfo, const _Status* status) {
    std::memset(modemInfo, 0, sizeof *modemInfo);
    Ask(port, "AT", kWakeTimeoutMs);  // only wakes the modem
    if (!Ask(port, "AT", kAtTimeoutMs)) {
        Trace("No answer on AT!\n");
        return PROBE_FAILED;
    }
    Trace("Got a modem.\n");
    if (!Ask(port, "AT&&FE", kFlashQueryTimeoutMs)) {
        Trace("Not a Lucent Flashable modem! No answer on AT&&FE!\n");
        return PROBE_FAILED;
    }
    Trace("Got Lucent Flashable modem.\n");
    Ask(port, "ATE1", kEchoOnTimeoutMs);
    ReadModemType(modemInfo, status);
    return PROBE_NEEDS_LOADER;
}

std::int32_t ModemTypeFromKey(const std::string& value) {
    if (EqualsNoCase(value, "USB")) {
        return MODEM_TYPE_USB;
    }
    if (EqualsNoCase(value, "INTERNAL")) {
        return MODEM_TYPE_ISA;
    }
    if (EqualsNoCase(value, "EXTERNAL")) {
        return MODEM_TYPE_SERIAL;
    }
    if (EqualsNoCase(value, "PCMCIA")) {
        return MODEM_TYPE_PC_CARD;
    }
    return MODEM_TYPE_UNKNOWN;
}

void ReadModemType(ImageInfo* modemInfo, const _Status* status) {
    const std::string iniPath = FieldText(status->iniPath);
    const std::string model = FieldText(status->model);
    IniValue value = IniFile::Read(iniPath).Get(model, kModemTypeKey);
    if (value.state == IniValue::kTooLong) {
        Trace("ModemType of <%s> is longer than 255 characters; type unknown\n", model.c_str());
    }
    modemInfo->modemType = value.present() ? ModemTypeFromKey(value.text) : MODEM_TYPE_UNKNOWN;
    Trace("ModemType of <%s>: <%s> (%d)\n", model.c_str(), value.text.c_str(),
          static_cast<int>(modemInfo->modemType));
}

std::int32_t CheckCompatibility(const ImageInfo& modem, const ImageInfo& image) {
    std::int32_t bits = 0;
    if (image.sectorSize == 0) {
        Trace("Wrong sector size, size is 0.\n");
        bits = COMPAT_SECTOR_SIZE;
    }
    if (modem.sectorSize != image.sectorSize) {
        Trace("Wrong sector size, sector size does not match modem sector size.\n");
        bits = COMPAT_SECTOR_SIZE;
    }
    if (modem.loadChecksum != image.loadChecksum) {
        Trace("Wrong check sum\n");
        bits |= COMPAT_CHECKSUM;
    }
    if (modem.sectorSize == 0 || image.sectorSize == 0) {
        bits = 0;  // nothing that could be compared is known
    }
    if (modem.modemType != image.modemType) {
        Trace("Wrong type of modem\n");
        bits |= COMPAT_MODEM_TYPE;
    }
    if (bits == 0) {
        Trace("No verified compatibility problem.\n");
    }
    return bits;
}

}  // namespace flinta
