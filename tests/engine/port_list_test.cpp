// The port list: the fixed list, or the discovered ports without repeats
// within 1,308 bytes.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/serial_ports.h"
#include "wizard/engine/port_list.h"

namespace {

std::string Bytes(const PortList& list) {
    return std::string(list.data(), list.UsedBytes());
}

TEST(PortList, OpenComOneToNineInAnyCaseGivesComOneToNine) {
    const std::string expected("COM1\0COM2\0COM3\0COM4\0COM5\0COM6\0COM7\0COM8\0COM9\0\0", 46);
    for (const char* value : {"OpenComOneToNine", "OPENCOMONETONINE", "opencomonetonine"}) {
        IniFile ini = IniFile::Parse(std::string("[Common]\nComList=") + value + "\n");
        EXPECT_TRUE(UsesFixedPortList(ini)) << value;
        EXPECT_EQ(Bytes(ReadPortList(ini)), expected) << value;
    }
}

TEST(PortList, AnyOtherComListIsNeverReadAsAList) {
    for (const char* text :
         {"[Common]\n", "[Common]\nComList=COM3,COM4\n", "[Common]\nComList=OpenComOneToNine2\n",
          "[Model]\nComList=OpenComOneToNine\n"}) {
        EXPECT_FALSE(UsesFixedPortList(IniFile::Parse(text))) << text;
    }
}

TEST(PortList, RepeatsAreDroppedWithoutRegardToCase) {
    std::vector<std::string> dropped;
    PortList list =
        DiscoveredPortList({"COM1", "COM3", "com1", "", "/dev/ttyUSB0", "COM3"}, &dropped);
    EXPECT_EQ(Bytes(list), std::string("COM1\0COM3\0/dev/ttyUSB0\0\0", 24));
    EXPECT_TRUE(dropped.empty()) << "repeats are not reported as dropped";
}

TEST(PortList, NoPortsGiveOnlyTheTerminator) {
    EXPECT_EQ(Bytes(DiscoveredPortList({})), std::string(1, '\0'));
}

TEST(PortList, NamesBeyondTheCapacityAreDroppedWhole) {
    // Thirteen names of 99 characters take 1,300 bytes and the closing
    // NUL one more; a fourteenth does not fit, a short one still does.
    std::vector<std::string> names;
    for (char c = 'a'; c < 'a' + 14; ++c) {
        names.push_back(std::string(99, c));
    }
    names.push_back("/dev/ttyS0");
    names.push_back("COM2");
    std::vector<std::string> dropped;
    PortList list = DiscoveredPortList(names, &dropped);
    std::vector<std::string> entries = list.Entries();
    ASSERT_EQ(entries.size(), 14u);
    EXPECT_EQ(entries[12], std::string(99, 'm'));
    EXPECT_EQ(entries[13], "COM2");
    EXPECT_EQ(list.UsedBytes(), 1306u);
    EXPECT_EQ(dropped, (std::vector<std::string>{std::string(99, 'n'), "/dev/ttyS0"}));
}

TEST(PortList, DiscoveryOnThisMachineGivesItsPortsOnce) {
    std::vector<platform::SerialPortInfo> ports;
    std::string error;
    ASSERT_TRUE(platform::EnumerateSerialPorts(&ports, &error)) << error;
    PortList list = ReadPortList(IniFile());
    std::vector<std::string> expected;
    for (const platform::SerialPortInfo& port : ports) {
        if (std::find(expected.begin(), expected.end(), port.name) == expected.end()) {
            expected.push_back(port.name);
        }
    }
    EXPECT_EQ(list.Entries(), expected);
}

}  // namespace
