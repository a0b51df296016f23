// The port list from the registry of either Windows family, on a scripted
// registry: the operating-system version chooses the branch, and the list
// keeps each port once.
#include <gtest/gtest.h>

#include "platform/registry_ports.h"
#include "platform/testing/scripted_registry.h"
#include "wizard/engine/port_list.h"

namespace {

using platform::RegistryView;
using platform::testing::ScriptedRegistry;

constexpr DWORD kWindows98 = 0xC0000A04;  // 4.10 with the top bit: the 95/98/Me family
constexpr DWORD kWindowsXp = 0x0A280105;  // 5.1, build 2600
const char* const kDeviceMap = "Hardware\\DeviceMap\\SerialComm";
const std::string kClasses = "System\\CurrentControlSet\\Services\\Class\\";

// The list as the wizard keeps it, terminators included.
std::string ListFrom(ScriptedRegistry& registry) {
    PortList list = DiscoveredPortList(platform::RegistryPortNames(registry));
    EXPECT_EQ(registry.OpenKeys(), 0) << "every key opened is closed again";
    return std::string(list.data(), list.UsedBytes());
}

// A port device three levels below Enum, with its class and subclass.
void AddPort(ScriptedRegistry& registry, const std::string& device, const std::string& port,
             const std::string& driver, const std::string& subClass) {
    registry.SetString("Enum\\" + device, "PortName", port);
    registry.SetString("Enum\\" + device, "Driver", driver);
    registry.SetValue(kClasses + driver, "PortSubClass", RegistryView::kBinary, subClass);
}

TEST(RegistryPortList, NtFamilyTakesEveryValueOfTheDeviceMapOnce) {
    ScriptedRegistry registry;
    registry.SetVersion(kWindowsXp);
    registry.SetString(kDeviceMap, "\\Device\\Serial0", "COM1");
    registry.SetString(kDeviceMap, "\\Device\\Serial2", "COM3");
    registry.SetString(kDeviceMap, "\\Device\\Serial0b", "com1");
    // The value's type is not looked at.
    registry.SetValue(kDeviceMap, "\\Device\\Modem", RegistryView::kBinary,
                      std::string("COM7\0", 5));
    // The enumeration tree belongs to the other family.
    AddPort(registry, "Root\\Ports\\0000", "COM9", "Ports\\0000", "\x01");
    EXPECT_EQ(ListFrom(registry), std::string("COM1\0COM3\0COM7\0\0", 16));
}

TEST(RegistryPortList, NtFamilyStopsAtTheFirstValueThatCannotBeRead) {
    ScriptedRegistry registry;
    registry.SetString(kDeviceMap, "\\Device\\Serial0", "COM1");
    registry.SetString(kDeviceMap, "\\Device\\Long", std::string(300, 'x'));  // over 256 bytes
    registry.SetString(kDeviceMap, "\\Device\\Serial1", "COM2");
    EXPECT_EQ(ListFrom(registry), std::string("COM1\0\0", 6));
}

TEST(RegistryPortList, NineXFamilyTakesPortsOfSubclassOneOrTwo) {
    ScriptedRegistry registry;
    registry.SetVersion(kWindows98);
    AddPort(registry, "BIOS\\*PNP0501\\0D", "COM1", "Ports\\0000", "\x01");
    AddPort(registry, "BIOS\\*PNP0501\\0E", "COM2", "Ports\\0001", std::string(1, '\0'));
    AddPort(registry, "PCI\\VEN_11C1\\BUS_00", "COM3", "Modem\\0000", "\x02");
    AddPort(registry, "Root\\Ports\\0000", "com1", "Ports\\0002", "\x01");  // a repeat
    AddPort(registry, "Root\\Ports\\0001", "COM4", "Ports\\0003", "\x03");
    AddPort(registry, "Root\\Ports\\0002", "COM5", "Ports\\0004",
            std::string("\x01\x00", 2));                          // two bytes
    registry.SetString(kDeviceMap, "\\Device\\Serial9", "COM9");  // the NT family's
    EXPECT_EQ(ListFrom(registry), std::string("COM1\0COM3\0\0", 11));
}

TEST(RegistryPortList, NineXFamilySkipsWhatItCannotReadAndGoesOn) {
    ScriptedRegistry registry;
    registry.SetVersion(kWindows98);
    AddPort(registry, "Root\\Locked\\0000", "COM1", "Ports\\0000", "\x01");
    registry.Lock("Enum\\Root\\Locked");
    // PortName not a string; no Driver; a class key that is not there; a
    // subclass that is no binary value: none of them is a port.
    registry.SetValue("Enum\\Root\\Ports\\0000", "PortName", RegistryView::kBinary,
                      std::string("COM2\0", 5));
    registry.SetString("Enum\\Root\\Ports\\0000", "Driver", "Ports\\0001");
    registry.SetValue(kClasses + "Ports\\0001", "PortSubClass", RegistryView::kBinary, "\x01");
    registry.SetString("Enum\\Root\\Ports\\0001", "PortName", "COM3");
    registry.SetString("Enum\\Root\\Ports\\0002", "PortName", "COM4");
    registry.SetString("Enum\\Root\\Ports\\0002", "Driver", "Ports\\Missing");
    registry.SetString("Enum\\Root\\Ports\\0003", "PortName", "COM5");
    registry.SetString("Enum\\Root\\Ports\\0003", "Driver", "Ports\\0005");
    registry.SetString(kClasses + "Ports\\0005", "PortSubClass", "\x01");
    // Only the third level counts.
    registry.SetString("Enum\\Root", "PortName", "COM6");
    AddPort(registry, "Root\\Ports\\0004\\Deeper", "COM7", "Ports\\0006", "\x01");
    AddPort(registry, "Root\\Ports\\0009", "COM8", "Ports\\0007", "\x02");
    EXPECT_EQ(ListFrom(registry), std::string("COM8\0\0", 6));
}

TEST(RegistryPortList, NoPortsOrNoKeyGiveTheEmptyList) {
    ScriptedRegistry nt;
    EXPECT_EQ(ListFrom(nt), std::string(1, '\0')) << "no device map";
    nt.AddKey(kDeviceMap);
    EXPECT_EQ(ListFrom(nt), std::string(1, '\0')) << "an empty device map";
    ScriptedRegistry nineX;
    nineX.SetVersion(kWindows98);
    EXPECT_EQ(ListFrom(nineX), std::string(1, '\0')) << "no Enum key";
    nineX.AddKey("Enum\\Root\\Ports\\0000");
    EXPECT_EQ(ListFrom(nineX), std::string(1, '\0')) << "a device that is no port";
}

}  // namespace
