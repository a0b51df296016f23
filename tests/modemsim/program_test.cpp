// modemsim as a program: its start, its options, its stop.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"
#include "raw_port.h"
#include "sim_helpers.h"
#include "test_xmodem.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;
using test_support::ProgramPath;
using test_support::TempDir;

TEST(ModemSimProgram, PrintsItsDeviceAndStopsCleanlyOnSigterm) {
    ModemSim sim({});
    EXPECT_EQ(sim.PortPath().rfind("/dev/", 0), 0u) << sim.PortPath();
    EXPECT_TRUE(std::filesystem::exists(sim.PortPath()));
    EXPECT_TRUE(sim.Running());
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(ModemSimProgram, LinkNamesTheDeviceAndGoesAwayAtTheEnd) {
    TempDir dir;
    const std::string link = dir.File("modem0");
    ModemSim sim({"--link", link});
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.PortPath());
    {
        RawPort port;
        ASSERT_TRUE(port.Open(link));
        EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
    }
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(ModemSimProgram, LinkNeverReplacesARegularFile) {
    TempDir dir;
    const std::string path = dir.Write("precious", "keep me");
    platform::ProcessResult result =
        platform::RunProcess({ProgramPath("modemsim"), "--link", path}, 10000);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("not a symbolic link"), std::string::npos)
        << result.stderrText;
    EXPECT_EQ(dir.Read("precious"), "keep me");
}

TEST(ModemSimProgram, BadOptionsAreRefusedWithExitCode2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},         {"--fault-nak-block", "x"}, {"--loader-baud"}, {"--reenumerate"},
        {"--echo", "maybe"}, {"--flash-nok", "1:NOK1"},  {"--rate=0"},      {"--silent", "--no-at"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> argv = {ProgramPath("modemsim")};
        argv.insert(argv.end(), args.begin(), args.end());
        platform::ProcessResult result = platform::RunProcess(argv, 10000);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_EQ(result.stdoutText, "") << args[0];
        EXPECT_NE(result.stderrText.find(args[0].substr(0, args[0].find('='))), std::string::npos)
            << result.stderrText;
    }
}

TEST(ModemSimProgram, HelpListsTheOptions) {
    platform::ProcessResult result =
        platform::RunProcess({ProgramPath("modemsim"), "--help"}, 10000);
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option :
         {"--loader-baud", "--store", "--flash-nok", "--fault-can-at-block", "--rate"}) {
        EXPECT_NE(result.stdoutText.find(option), std::string::npos) << option;
    }
}

TEST(ModemSimProgram, ThrottledLineStillDeliversEveryByte) {
    TempDir store;
    const std::string data = RandomBytes(3000, 11);
    store.Write("big.dat", data);
    ModemSim sim({"--store", store.Path(), "--rate", "11520"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("AT$JDNL=\"big.dat\"\r");
    port.ReadUntil("\r", 3000);
    ReceiveReport report = XModemReceive(port);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_TRUE(SameBytes(report.data, Padded(data, 128)));
}

TEST(ModemSimProgram, HostMayCloseAndReopenThePort) {
    ModemSim sim({"--echo", "off"});
    for (int i = 0; i < 3; ++i) {
        RawPort port;
        ASSERT_TRUE(port.Open(sim.PortPath()));
        EXPECT_EQ(port.Command("AT"), "\r\nOK\r\n");
    }
    EXPECT_TRUE(sim.Running());
}

TEST(ModemSimProgram, UnusableLogIsReported) {
    platform::ProcessResult result =
        platform::RunProcess({ProgramPath("modemsim"), "--log", "/nonexistent-dir/x.log"}, 10000);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("/nonexistent-dir/x.log"), std::string::npos);
}

}  // namespace
}  // namespace modemsim_test
