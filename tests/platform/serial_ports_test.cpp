// The serial ports of this machine, as the system reports them.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/serial_ports.h"

namespace {

namespace fs = std::filesystem;

TEST(SerialPorts, TheEnumerationOfThisMachineListsRealDevicesOnce) {
    std::vector<platform::SerialPortInfo> ports;
    std::string error;
    ASSERT_TRUE(platform::EnumerateSerialPorts(&ports, &error)) << error;
    std::set<std::string> seen;
    for (const platform::SerialPortInfo& port : ports) {
        SCOPED_TRACE(port.name);
        EXPECT_TRUE(seen.insert(port.name).second) << "listed twice";
        EXPECT_EQ(port.name.rfind("/dev/", 0), 0u);
        EXPECT_TRUE(fs::exists(port.name));
        // Terminals without hardware: consoles, virtual terminals, ptys.
        std::string leaf = fs::path(port.name).filename().string();
        EXPECT_NE(port.name.rfind("/dev/pts/", 0), 0u);
        EXPECT_NE(leaf, "ptmx");
        EXPECT_NE(leaf, "console");
        EXPECT_NE(leaf, "tty");
        EXPECT_FALSE(leaf.size() > 3 && leaf.compare(0, 3, "tty") == 0 &&
                     std::isdigit(static_cast<unsigned char>(leaf[3])))
            << "a virtual terminal";
        EXPECT_FALSE(port.description.empty());
        if (!port.stableName.empty()) {
            EXPECT_EQ(fs::canonical(port.stableName), fs::canonical(port.name));
        }
    }
    // The UART nodes without a chip behind them (serial-core type 0) are
    // left out; those with one are listed.
    for (const auto& entry : fs::directory_iterator("/sys/class/tty")) {
        std::string name = entry.path().filename().string();
        if (name.rfind("ttyS", 0) != 0 || !fs::exists(entry.path() / "type")) {
            continue;
        }
        std::ifstream typeFile(entry.path() / "type");
        int type = -1;
        typeFile >> type;
        bool listed = seen.count("/dev/" + name) != 0;
        if (fs::exists("/dev/" + name) && fs::exists(entry.path() / "device")) {
            EXPECT_EQ(listed, type != 0) << name << " has type " << type;
        }
    }
}

}  // namespace
