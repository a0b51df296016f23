#include "wizard/engine/port_list.h"

#include "platform/serial_ports.h"
#include "wizard/engine/config_keys.h"
#include "wizard/engine/no_case.h"

bool UsesFixedPortList(const IniFile& ini) {
    IniValue value = ini.Get(kCommonSection, kKeyComList);
    return value.present() && EqualsNoCase(value.text, kFixedPortListSetting);
}

PortList FixedPortList() {
    PortList ports;
    for (char digit = '1'; digit <= '9'; ++digit) {
        ports.Append(std::string("COM") + digit);
    }
    return ports;
}

PortList DiscoveredPortList(const std::vector<std::string>& names,
                            std::vector<std::string>* dropped) {
    PortList ports;
    for (const std::string& name : names) {
        if (name.empty() || ports.ContainsNoCase(name)) {
            continue;
        }
        if (!ports.Append(name) && dropped != nullptr) {
            dropped->push_back(name);
        }
    }
    return ports;
}

PortList ReadPortList(const IniFile& ini) {
    if (UsesFixedPortList(ini)) {
        return FixedPortList();
    }
    std::vector<platform::SerialPortInfo> found;
    std::string error;
    platform::EnumerateSerialPorts(&found, &error);  // a failure leaves the list empty
    std::vector<std::string> names;
    for (const platform::SerialPortInfo& port : found) {
        names.push_back(port.name);
    }
    return DiscoveredPortList(names);
}
