// The serial ports this system really has: the source of the discovered
// port list.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct SerialPortInfo {
    // The name that opens the port (a device path such as /dev/ttyUSB0).
    std::string name;
    // What the device says it is (USB product, UART type); may be empty.
    std::string description;
    // A name that stays the same across reboots and re-plugging (a
    // /dev/serial/by-id/ link); empty when the system has none.
    std::string stableName;
};

// Lists the serial ports with hardware behind them (USB serial adapters,
// USB modems, built-in UARTs that were detected), in the system's own order.
// Terminals without hardware (virtual consoles, pseudo-terminals, UART
// nodes whose chip was never found) are left out. False, with a reason in
// *error, when the system cannot be asked; ports is then empty.
bool EnumerateSerialPorts(std::vector<SerialPortInfo>* ports, std::string* error);

}  // namespace platform
