// wizard-cli ports, run as a process on this machine.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/serial_ports.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

using test_support::RunCli;

std::vector<std::string> FirstWords(const std::string& out) {
    std::vector<std::string> words;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        words.push_back(line.substr(0, line.find(' ')));
    }
    return words;
}

TEST(PortsCommand, ListsThePortsOfThisMachineInDiscoveryOrder) {
    // The example leaves ComList empty: the ports of the system are searched.
    std::string config = test_support::SourceDir() + "/examples/Wizard.inf";
    test_support::CliResult result = RunCli({"ports", "--config", config});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<platform::SerialPortInfo> ports;
    std::string error;
    ASSERT_TRUE(platform::EnumerateSerialPorts(&ports, &error)) << error;
    std::vector<std::string> expected;
    for (const platform::SerialPortInfo& port : ports) {
        expected.push_back(port.name);
        EXPECT_NE(result.out.find(port.name + "  " + port.description), std::string::npos)
            << result.out;
    }
    EXPECT_EQ(FirstWords(result.out), expected);
    if (expected.empty()) {
        EXPECT_EQ(result.err, "wizard-cli ports: no serial ports found\n");
    }
}

TEST(PortsCommand, TheFixedListIsComOneToNine) {
    test_support::TempDir dir;
    dir.Write("Wizard.inf", "[Common]\nComList=openCOMoneTOnine\n");
    test_support::CliResult result = RunCli({"ports", "--config", dir.File("Wizard.inf")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FirstWords(result.out),
              (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
                                        "COM8", "COM9"}));
    EXPECT_NE(result.out.find("COM1  fixed list (ComList=OpenComOneToNine), opens /dev/ttyS0\n"),
              std::string::npos)
        << result.out;
}

TEST(PortsCommand, ANamedConfigurationMustExist) {
    test_support::TempDir dir;
    test_support::CliResult result = RunCli({"ports", "--config", dir.File("Wizard.inf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("file not found"), std::string::npos);
    EXPECT_EQ(RunCli({"ports", "COM1"}).exitCode, 2);
}

}  // namespace
