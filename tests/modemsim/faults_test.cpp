// Injected faults: each one must show on the wire, and the transfer after
// it must still deliver the right bytes.
#include <gtest/gtest.h>

#include <functional>

#include "platform/clock.h"
#include "raw_port.h"
#include "sim_helpers.h"
#include "test_xmodem.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;
using test_support::TempDir;

class ModemSimFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        store_.Write("a.dat", RandomBytes(600, 21));
        store_.Write("b.dat", RandomBytes(400, 22));
    }

    void Start(std::vector<std::string> options) {
        options.insert(options.begin(), {"--store", store_.Path()});
        sim_.Start(options);
        ASSERT_TRUE(port_.Open(sim_.PortPath()));
    }

    ReceiveReport Download(const std::string& name) {
        const std::string command = "AT$JDNL=\"" + name + "\"";
        port_.Write(command + "\r");
        EXPECT_EQ(port_.ReadUntil("\r", 3000), command + "\r");
        return XModemReceive(port_);
    }

    SendReport Upload(const std::string& name, const std::string& data) {
        const std::string command = "AT$JUPL=\"" + name + "\",1,";
        port_.Write(command + "\r");
        EXPECT_EQ(port_.ReadUntil("\r", 3000), command + "\r");
        return XModemSend(port_, data, SendPlan{});
    }

    TempDir store_;
    ModemSim sim_;
    RawPort port_;
};

TEST_F(ModemSimFaults, CorruptBlockIsSentAgainIntact) {
    Start({"--fault-corrupt-block", "2"});
    ReceiveReport report = Download("a.dat");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(report.badPackets, 1);
    EXPECT_TRUE(SameBytes(report.data, Padded(store_.Read("a.dat"), 128)));
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
}

TEST_F(ModemSimFaults, CorruptBlockSeveralTimes) {
    Start({"--fault-corrupt-block", "3:3"});
    ReceiveReport report = Download("a.dat");
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(report.badPackets, 3);
    EXPECT_TRUE(SameBytes(report.data, Padded(store_.Read("a.dat"), 128)));
}

TEST_F(ModemSimFaults, FaultStrikesOnlyTheNextTransfer) {
    Start({"--fault-corrupt-block", "1"});
    ReceiveReport first = Download("b.dat");
    ASSERT_TRUE(first.ok) << first.failure;
    EXPECT_EQ(first.badPackets, 1);
    port_.ReadUntil("OK\r\n", 3000);
    ReceiveReport second = Download("b.dat");
    ASSERT_TRUE(second.ok) << second.failure;
    EXPECT_EQ(second.badPackets, 0);
}

TEST_F(ModemSimFaults, FaultFileLeavesOtherFilesAlone) {
    Start({"--fault-corrupt-block", "1", "--fault-file", "b.dat"});
    ReceiveReport other = Download("a.dat");
    ASSERT_TRUE(other.ok) << other.failure;
    EXPECT_EQ(other.badPackets, 0);
    port_.ReadUntil("OK\r\n", 3000);
    ReceiveReport target = Download("b.dat");
    ASSERT_TRUE(target.ok) << target.failure;
    EXPECT_EQ(target.badPackets, 1);
}

TEST_F(ModemSimFaults, RefusedBlockOnUploadIsStoredOnce) {
    Start({"--fault-nak-block", "2:2"});
    const std::string data = RandomBytes(500, 5);
    SendReport report = Upload("up.dat", data);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(report.naksPerBlock[2], 2);
    EXPECT_EQ(report.naks, 2);
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(SameBytes(store_.Read("up.dat"), Padded(data, 128)));
}

TEST_F(ModemSimFaults, CancelDuringDownload) {
    Start({"--fault-can-at-block", "3"});
    ReceiveReport report = Download("a.dat");
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.blocks, 2);
    EXPECT_NE(port_.ReadUntil("ERROR\r\n", 5000).find("\r\nERROR\r\n"), std::string::npos);
    EXPECT_NE(port_.Command("AT").find("\r\nOK\r\n"), std::string::npos);
}

TEST_F(ModemSimFaults, CancelDuringUploadStoresNothing) {
    Start({"--fault-can-at-block", "2"});
    SendReport report = Upload("up.dat", RandomBytes(500, 6));
    EXPECT_TRUE(report.cancelled);
    EXPECT_NE(port_.ReadUntil("ERROR\r\n", 5000).find("\r\nERROR\r\n"), std::string::npos);
    EXPECT_FALSE(store_.Exists("up.dat"));
    EXPECT_FALSE(store_.Exists(".modemsim-upload.tmp"));
}

TEST_F(ModemSimFaults, SilentFromABlockOn) {
    Start({"--fault-silent-at-block", "2", "--echo", "off"});
    port_.Write("AT$JDNL=\"a.dat\"\r");
    port_.Write("\x15");
    std::string first;
    for (int i = 0; i < 132; ++i) {
        int b = port_.ReadByte(3000);
        ASSERT_GE(b, 0) << "block 1 incomplete after " << i << " bytes";
        first += static_cast<char>(b);
    }
    EXPECT_EQ(first, Packet(1, store_.Read("a.dat"), 128));
    port_.Write("\x06");
    ASSERT_TRUE(sim_.WaitForLog("fault silent from block 2", 3000));
    port_.Write("\x15");  // asking again changes nothing
    EXPECT_EQ(port_.ReadFor(500), "");
}

TEST_F(ModemSimFaults, ListingWithoutItsOk) {
    Start({"--fault-listing-timeout", "--echo", "off"});
    port_.Write("AT$JDIR\r");
    std::string answer = port_.ReadUntil("b.dat,1,,0,0,400\r\n", 3000);
    EXPECT_EQ(answer, "\r\na.dat,1,,0,0,600\r\nb.dat,1,,0,0,400\r\n");
    EXPECT_EQ(port_.ReadFor(300), "");
}

TEST_F(ModemSimFaults, NoNakMeansNoTransferAndNothingStored) {
    Start({"--fault-no-nak-file", "quiet.dat", "--echo", "off"});
    port_.Write("AT$JUPL=\"quiet.dat\",1,\r");
    ASSERT_TRUE(sim_.WaitForLog("fault no NAK for quiet.dat", 3000));
    EXPECT_EQ(port_.ReadFor(700), "");
    EXPECT_FALSE(store_.Exists("quiet.dat"));
    EXPECT_EQ(port_.Command("AT"), "\r\nOK\r\n");
}

TEST_F(ModemSimFaults, ADirectionLimitsFaultsToTransfersTheModemReceives) {
    Start({"--fault-can-at-block", "1", "--fault-file", "a.dat", "--fault-direction", "receive"});
    ReceiveReport download = Download("a.dat");
    ASSERT_TRUE(download.ok) << download.failure;
    port_.ReadUntil("OK\r\n", 3000);
    SendReport upload = Upload("a.dat", RandomBytes(300, 8));
    EXPECT_TRUE(upload.cancelled);
    EXPECT_TRUE(SameBytes(store_.Read("a.dat"), RandomBytes(600, 21))) << "the old file stays";
}

TEST_F(ModemSimFaults, ARefusedCommandIsNeitherEndedNorAnswered) {
    Start({"--fault-refuse", "at$jdnl=\"b.dat\""});
    port_.Write("AT$JDNL=\"b.dat\"\r");
    EXPECT_EQ(port_.ReadFor(700), "AT$JDNL=\"b.dat\"") << "no CR, no answer, no transfer";
    ASSERT_TRUE(sim_.WaitForLog("fault refuse AT$JDNL=\"b.dat\"", 2000));
    EXPECT_EQ(sim_.CountLog("store-get"), 0);
    EXPECT_EQ(port_.Command("AT"), "AT\r\r\nOK\r\n");
    ReceiveReport other = Download("a.dat");
    EXPECT_TRUE(other.ok) << other.failure;
}

TEST_F(ModemSimFaults, ARefusalCanLetTheFirstCommandsThrough) {
    Start({"--fault-refuse", "AT&F:1", "--echo", "off"});
    EXPECT_EQ(port_.Command("AT&F"), "\r\nOK\r\n");
    port_.Write("AT&F\r");
    EXPECT_EQ(port_.ReadFor(700), "");
    EXPECT_EQ(port_.Command("AT&F", 700), "") << "every later one is swallowed too";
}

TEST_F(ModemSimFaults, AGarbledAnswerIsNoiseOfItsLengthAndOnlyOnce) {
    Start({"--fault-garbage-answer", "ATI6"});
    port_.Write("ATI6\r");
    EXPECT_EQ(port_.ReadUntil("\r", 1000), "ATI6\r");
    const std::string noise = port_.ReadFor(700);
    EXPECT_EQ(noise.size(), std::string("\r\nORVA 56K Serial\r\n\r\nOK\r\n").size());
    for (char c : noise) {
        EXPECT_NE(static_cast<unsigned char>(c) & 0x80, 0) << "a readable byte in the noise";
    }
    EXPECT_EQ(port_.Command("ATI6"), "ATI6\r\r\nORVA 56K Serial\r\n\r\nOK\r\n");
}

TEST_F(ModemSimFaults, ALateAnswerComesAfterItsDelayWhole) {
    Start({"--fault-late-answer", "800:AT"});
    port_.Write("AT\r");
    EXPECT_EQ(port_.ReadFor(500), "AT\r") << "the echo at once, the answer not yet";
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 2000), "\r\nOK\r\n");
}

TEST_F(ModemSimFaults, AHungModemStaysConnectedAndSilent) {
    Start({"--fault-hang", "AT$JDIR"});
    port_.Write("AT$JDIR\r");
    EXPECT_EQ(port_.ReadFor(700), "AT$JDIR") << "not even the CR is echoed";
    ASSERT_TRUE(sim_.WaitForLog("fault hang at AT$JDIR", 2000));
    port_.Write("AT\r");
    EXPECT_EQ(port_.ReadFor(700), "");
    EXPECT_FALSE(port_.Gone());
}

TEST_F(ModemSimFaults, FirmwareOnlyFaultsSpareStoredFiles) {
    Start({"--fault-firmware", "--fault-nak-block", "1"});
    SendReport stored = Upload("up.dat", RandomBytes(200, 7));
    ASSERT_TRUE(stored.ok) << stored.failure;
    EXPECT_EQ(stored.naks, 0);
    port_.ReadUntil("OK\r\n", 3000);
    port_.Write("AT$UPLOAD\r");
    port_.ReadUntil("\r", 3000);
    SendReport firmware = XModemSend(port_, MakeFirmware(300, "1.01"), SendPlan{});
    ASSERT_TRUE(firmware.ok) << firmware.failure;
    EXPECT_EQ(firmware.naksPerBlock[1], 1);
}

// Reads what comes until the simulator's side of the line has gone (or 3 s).
std::string ReadUntilGone(RawPort& port) {
    std::string got;
    for (int i = 0; i < 15 && !port.Gone(); ++i) {
        for (int b = port.ReadByte(200); b >= 0; b = port.ReadByte(200)) {
            got += static_cast<char>(b);
        }
    }
    return got;
}

// The device vanishes at one point of the conversation: the host reads
// what came before, then its line has gone and the simulator has ended.
struct VanishCase {
    const char* name;
    std::vector<std::string> options;
    std::string logged;  // after "fault vanish "
    // Plays the host up to the loss; returns the bytes that came last.
    std::function<std::string(RawPort&)> play;
    std::function<void(const std::string& got, TempDir& store)> check;
};

void PrintTo(const VanishCase& c, std::ostream* os) {
    *os << c.name;
}

class ModemSimVanishes : public ModemSimFaults, public ::testing::WithParamInterface<VanishCase> {};

TEST_P(ModemSimVanishes, TheHostsLineGoesAtThatPoint) {
    const VanishCase& c = GetParam();
    std::vector<std::string> options = c.options;
    options.insert(options.end(), {"--echo", "off"});
    Start(options);
    const std::string got = c.play(port_);
    EXPECT_TRUE(port_.Gone()) << "the host's reads and writes fail from now on";
    EXPECT_TRUE(sim_.WaitForLog("fault vanish " + c.logged, 2000));
    for (int i = 0; i < 100 && sim_.Running(); ++i) {
        platform::Sleep(20);
    }
    EXPECT_FALSE(sim_.Running()) << "the simulator ends with its device";
    c.check(got, store_);
}

const std::string kAck(1, 0x06), kNak(1, 0x15);

INSTANTIATE_TEST_SUITE_P(
    Points, ModemSimVanishes,
    ::testing::Values(VanishCase{"InAnAnswer",
                                 {"--fault-vanish-in-answer", "at$jdir"},
                                 "in answer to AT$JDIR",
                                 [](RawPort& port) {
                                     port.Write("AT$JDIR\r");
                                     return ReadUntilGone(port);
                                 },
                                 [](const std::string& got, TempDir&) {
                                     const std::string whole =
                                         "\r\na.dat,1,,0,0,600\r\nb.dat,1,,0,0,400\r\n\r\nOK\r\n";
                                     EXPECT_EQ(got, whole.substr(0, whole.size() / 2));
                                 }},
                      VanishCase{"SendingABlock",
                                 {"--fault-vanish-at-block", "2"},
                                 "at block 2",
                                 [](RawPort& port) {
                                     port.Write("AT$JDNL=\"a.dat\"\r" + kNak);
                                     std::string first;
                                     while (first.size() < 132) {
                                         const int b = port.ReadByte(3000);
                                         if (b < 0) {
                                             break;
                                         }
                                         first += static_cast<char>(b);
                                     }
                                     port.Write(kAck);
                                     return first + ReadUntilGone(port);
                                 },
                                 [](const std::string& got, TempDir& store) {
                                     const std::string data = store.Read("a.dat");
                                     EXPECT_TRUE(SameBytes(
                                         got,
                                         Packet(1, data.substr(0, 128), 128) +
                                             Packet(2, data.substr(128, 128), 128).substr(0, 66)));
                                 }},
                      VanishCase{"ReceivingABlock",
                                 {"--fault-vanish-at-block", "2"},
                                 "at block 2",
                                 [](RawPort& port) {
                                     port.Write("AT$JUPL=\"up.dat\",1,\r");
                                     port.ReadUntil(kNak, 3000);
                                     const std::string data = RandomBytes(500, 8);
                                     port.Write(Packet(1, data.substr(0, 128), 128));
                                     port.ReadUntil(kAck, 3000);
                                     port.Write(Packet(2, data.substr(128, 128), 128));
                                     return ReadUntilGone(port);
                                 },
                                 [](const std::string& got, TempDir& store) {
                                     EXPECT_EQ(got, "") << "block 2 is not answered";
                                     EXPECT_FALSE(store.Exists("up.dat"));
                                 }},
                      VanishCase{"AtAFlashRecord",
                                 {"--flash", "--fault-vanish-at-record", "1"},
                                 "at flash record 1",
                                 [](RawPort& port) {
                                     port.Write("at&&f" + HexLine(0, 1, "") +
                                                "\r\n");  // the loader runs
                                     port.ReadUntil("\r\nOK\r\n", 3000);
                                     port.Write(HexLine(0x0000, 0, RandomBytes(32, 3)) + "\r\n");
                                     port.ReadUntil("\r\nOK\r\n", 3000);
                                     port.Write(HexLine(0x0020, 0, RandomBytes(32, 4)) + "\r\n");
                                     return ReadUntilGone(port);
                                 },
                                 [](const std::string& got, TempDir&) {
                                     EXPECT_EQ(got, "") << "record 1 is not answered";
                                 }}),
    [](const ::testing::TestParamInfo<VanishCase>& info) { return info.param.name; });

}  // namespace
}  // namespace modemsim_test
