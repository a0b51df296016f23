// Names of serial ports that outlive the device behind them. A USB modem
// that restarts into new firmware leaves the bus and comes back, and may
// then get another device name (/dev/ttyACM0 becomes /dev/ttyACM1); the
// stable name of the same device (a /dev/serial/by-id/ link on Linux) stays.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// The stable name of the device that name opens: a link in the system's
// directory of stable names (on Linux /dev/serial/by-id, or the directory
// WIZARD_SERIAL_BY_ID names, for simulated modems) that leads to the same
// device. name itself when it already is such a link, when there is none,
// or when name is not a device path.
std::string StablePortName(const std::string& name);
// The same, with the stable names in linkDirectory (for tests).
std::string StablePortNameIn(const std::string& name, const std::string& linkDirectory);

// True when an open of a port failed with error because the device is not
// there (its name gone, or no device behind the name) rather than busy or
// forbidden.
bool IsDeviceGoneError(DWORD error);

// True while the system has a device under name (through a link: the
// device itself). A name the system cannot look up counts as there: only
// opening it tells.
bool PortNameExists(const std::string& name);

// Waits, sleeping, until a device under name exists again or timeoutMs
// passes. True when it exists.
bool WaitForPortName(const std::string& name, DWORD timeoutMs);

}  // namespace platform
