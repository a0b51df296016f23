// The flash-loader modem: its probe and country commands, the loader sent
// as "at&&f" records, the firmware records, erase and restart.
#include <gtest/gtest.h>

#include "raw_port.h"
#include "sim_helpers.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;
using test_support::TempDir;

// One answer of the form CR LF text CR LF.
std::string ReadAnswer(RawPort& port) {
    std::string first = port.ReadUntil("\r\n", 3000);
    if (first != "\r\n") {
        return first;
    }
    return first + port.ReadUntil("\r\n", 3000);
}

// A bare record for the running loader; returns its answer.
std::string SendRecord(RawPort& port, const std::string& record) {
    port.Write(record + "\r\n");
    return ReadAnswer(port);
}

// A line sent as a command with echo on: returns the echo and the answer up
// to end. The line's LF is echoed after the answer when it reaches the
// modem after the answer went out; it is put back in place here.
std::string SendEchoed(RawPort& port, const std::string& line, const std::string& end) {
    port.Write(line);
    std::string out = port.ReadUntil(end, 3000);
    const std::string withoutLf = line.substr(0, line.size() - 1);
    if (out.compare(0, line.size(), line) != 0 &&
        out.compare(0, withoutLf.size(), withoutLf) == 0 && port.ReadByte(1000) == '\n') {
        out.insert(withoutLf.size(), "\n");
    }
    return out;
}

TEST(ModemSimFlash, FlashableModemAnswersTheProbe) {
    ModemSim sim({"--flash", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT&&FE"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("ATE1"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
}

TEST(ModemSimFlash, CountryIsReportedAndSet) {
    ModemSim sim({"--flash", "--country", "B5", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GCI?"), "\r\n+GCI: B5\r\n\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT+GCI= 3D"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT+GCI?"), "\r\n+GCI: 3D\r\n\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT+GCI=0A"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT+GCI=!!"), "\r\nERROR\r\n");
    EXPECT_TRUE(sim.WaitForLog("country 3D", 2000));
    EXPECT_TRUE(sim.WaitForLog("country 0A", 2000));
}

TEST(ModemSimFlash, LoaderThenFirmwareRecordByRecord) {
    TempDir received;
    ModemSim sim({"--flash", "--received-dir", received.Path(), "--flash-restart-delay", "100",
                  "--flash-nok", "1:NOK1:2"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));

    // The loader, as commands with echo.
    const std::string l0 = HexLine(0x0000, 0, RandomBytes(16, 1));
    const std::string l1 = HexLine(0x0010, 0, RandomBytes(16, 2));
    const std::string lEnd = HexLine(0x0000, 1, "");
    std::string line = "at&&f" + l0 + "\r\n";
    EXPECT_EQ(SendEchoed(port, line, "\r\nOK\r\n"), line + "\r\nOK\r\n");
    line = "at&&f" + BadHexLine(0x0010, 0, RandomBytes(16, 2)) + "\r\n";
    EXPECT_EQ(SendEchoed(port, line, "\r\nNOK\r\n"), line + "\r\nNOK\r\n");
    line = "at&&f" + l1 + "\r\n";
    EXPECT_EQ(SendEchoed(port, line, "\r\nOK\r\n"), line + "\r\nOK\r\n");
    line = "at&&f" + lEnd + "\r\n";
    std::string banner = SendEchoed(port, line, "\r\nOK\r\n");
    std::size_t version = banner.find("Ver:4.4");
    ASSERT_NE(version, std::string::npos) << banner;
    EXPECT_LT(version, banner.rfind("\r\nOK\r\n"));
    ASSERT_TRUE(sim.WaitForLog("flash-loader-record 2 ok", 2000));

    // The loader runs: bare records, no echo.
    const std::string f0 = HexLine(0x0000, 0, RandomBytes(32, 3));
    const std::string f1 = HexLine(0x0020, 0, RandomBytes(32, 4));
    const std::string fEnd = HexLine(0x0000, 1, "");
    EXPECT_EQ(SendRecord(port, f0), "\r\nOK\r\n");
    EXPECT_EQ(SendRecord(port, BadHexLine(0x0020, 0, RandomBytes(32, 4))), "\r\nNOK5\r\n");
    EXPECT_EQ(SendRecord(port, f1), "\r\nNOK1\r\n");
    EXPECT_EQ(SendRecord(port, f1), "\r\nNOK1\r\n");
    EXPECT_EQ(SendRecord(port, f1), "\r\nOK\r\n");
    EXPECT_EQ(SendRecord(port, "hello"), "\r\nNOK4\r\n");

    // Erase, then program the whole image again.
    port.Write("Z");
    EXPECT_EQ(ReadAnswer(port), "\r\nVer:4.4\r\n");
    EXPECT_EQ(SendRecord(port, f0), "\r\nOK\r\n");
    EXPECT_EQ(SendRecord(port, f1), "\r\nOK\r\n");
    EXPECT_EQ(SendRecord(port, fEnd), "\r\nOK\r\n");
    ASSERT_TRUE(sim.WaitForLog("flash-done 3", 2000));
    ASSERT_TRUE(sim.WaitForLog("ready", 3000));

    port.Purge();
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT+GCI=3D"), "AT+GCI=3D\r\r\nOK\r\n");

    EXPECT_EQ(received.Read("flash-loader.hex"), l0 + "\r\n" + l1 + "\r\n" + lEnd + "\r\n");
    EXPECT_EQ(received.Read("flash-image.hex"), f0 + "\r\n" + f1 + "\r\n" + fEnd + "\r\n");
    EXPECT_EQ(sim.CountLog("flash-record 1 NOK1"), 2);
    EXPECT_EQ(sim.CountLog("flash-erase"), 1);
}

TEST(ModemSimFlash, OlderLoaderAnnouncesItsVersion) {
    ModemSim sim({"--flash", "--flash-loader-version", "4.3", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    std::string banner = SendEchoed(port, "at&&f" + HexLine(0, 1, "") + "\r\n", "\r\nOK\r\n");
    EXPECT_NE(banner.find("Ver:4.3"), std::string::npos) << banner;
    EXPECT_EQ(banner.find("Ver:4.4"), std::string::npos) << banner;
}

TEST(ModemSimFlash, RecordThatIsNeverAccepted) {
    ModemSim sim({"--flash", "--flash-nok", "0:NOK:always", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    SendEchoed(port, "at&&f" + HexLine(0, 1, "") + "\r\n", "\r\nOK\r\n");
    const std::string record = HexLine(0, 0, "abc");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SendRecord(port, record), "\r\nNOK\r\n");
    }
    EXPECT_EQ(sim.CountLog("flash-record 0 ok"), 0);
}

TEST(ModemSimFlash, SeveralRecordsAreRefusedEachItsOwnNumberOfTimes) {
    ModemSim sim(
        {"--flash", "--flash-nok", "0:NOK2:1", "--flash-nok", "2:NOK1:3", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    SendEchoed(port, "at&&f" + HexLine(0, 1, "") + "\r\n", "\r\nOK\r\n");
    const std::string r0 = HexLine(0x0000, 0, RandomBytes(16, 5));
    const std::string r1 = HexLine(0x0010, 0, RandomBytes(16, 6));
    const std::string r2 = HexLine(0x0020, 0, RandomBytes(16, 7));
    EXPECT_EQ(SendRecord(port, r0), "\r\nNOK2\r\n");
    EXPECT_EQ(SendRecord(port, r0), "\r\nOK\r\n");
    EXPECT_EQ(SendRecord(port, r1), "\r\nOK\r\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SendRecord(port, r2), "\r\nNOK1\r\n") << i;
    }
    EXPECT_EQ(SendRecord(port, r2), "\r\nOK\r\n");
    EXPECT_EQ(sim.CountLog("flash-record 0 NOK2"), 1);
    EXPECT_EQ(sim.CountLog("flash-record 2 NOK1"), 3);
}

TEST(ModemSimFlash, RecordsAreRefusedByAModemThatIsNotFlashable) {
    ModemSim sim({"--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("at&&f" + HexLine(0, 0, "x")), "\r\nERROR\r\n");
}

}  // namespace
}  // namespace modemsim_test
