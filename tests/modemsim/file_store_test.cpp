// The modem's file store: listing, download, upload, delete and clear, as
// the host sees them and as they end up on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "raw_port.h"
#include "sim_helpers.h"
#include "test_xmodem.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;
using test_support::TempDir;

class ModemSimStore : public ::testing::Test {
  protected:
    void SetUp() override {
        store_.Write("b.bin", RandomBytes(300, 1));
        store_.Write("a.dat", "0123456789");
        store_.Write("hidden.sys", "hh");
        store_.Write("secret.dat", "12345");
        store_.Write(".modemsim-attrs", "b.bin,2,\nhidden.sys,1,H S\nsecret.dat,1,I\n");
    }

    void Start(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--store", store_.Path(), "--jfclr-delay", "50"});
        sim_.Start(options);
        ASSERT_TRUE(port_.Open(sim_.PortPath()));
    }

    // Sends a command that starts a transfer and consumes its echo.
    void StartTransfer(const std::string& command) {
        port_.Write(command + "\r");
        ASSERT_EQ(port_.ReadUntil("\r", 3000), command + "\r");
    }

    TempDir store_;
    ModemSim sim_;
    RawPort port_;
};

TEST_F(ModemSimStore, ListingShowsFilesWithoutHiddenOrSystemSortedByName) {
    Start();
    EXPECT_EQ(port_.Command("AT$JDIR"),
              "AT$JDIR\r\r\n"
              "a.dat,1,,0,0,10\r\n"
              "b.bin,2,,0,0,300\r\n"
              "secret.dat,1,I,0,0,5\r\n"
              "\r\nOK\r\n");
    EXPECT_TRUE(sim_.WaitForLog("store-list", 2000));
}

TEST_F(ModemSimStore, ListingWithHiddenAndSystemShowsEverything) {
    Start();
    EXPECT_EQ(port_.Command("AT$JDIR=,,H,S"),
              "AT$JDIR=,,H,S\r\r\n"
              "a.dat,1,,0,0,10\r\n"
              "b.bin,2,,0,0,300\r\n"
              "hidden.sys,1,H S,0,0,2\r\n"
              "secret.dat,1,I,0,0,5\r\n"
              "\r\nOK\r\n");
}

TEST_F(ModemSimStore, EmptyStoreListsNothing) {
    for (const char* name : {"a.dat", "b.bin", "hidden.sys", "secret.dat", ".modemsim-attrs"}) {
        std::filesystem::remove(store_.File(name));
    }
    Start({"--echo", "off"});
    EXPECT_EQ(port_.Command("AT$JDIR"), "\r\n\r\nOK\r\n");
}

TEST_F(ModemSimStore, DownloadSendsTheFileIn128ByteBlocksThenOk) {
    Start();
    StartTransfer("AT$JDNL=\"b.bin\"");
    ReceiveReport report = XModemReceive(port_);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(report.blockSize, 128u);
    EXPECT_TRUE(SameBytes(report.data, Padded(store_.Read("b.bin"), 128)));
    EXPECT_EQ(report.badPackets, 0);
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(sim_.WaitForLog("store-get b.bin 300", 2000));
}

TEST_F(ModemSimStore, DownloadIn1kBlocksWhenAsked) {
    Start({"--store-1k"});
    StartTransfer("AT$JDNL=\"b.bin\"");
    ReceiveReport report = XModemReceive(port_);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(report.blockSize, 1024u);
    EXPECT_TRUE(SameBytes(report.data, Padded(store_.Read("b.bin"), 1024)));
}

TEST_F(ModemSimStore, FileWithAttributeINeedsTheISuffix) {
    Start();
    EXPECT_EQ(port_.Command("AT$JDNL=\"secret.dat\""), "AT$JDNL=\"secret.dat\"\r\r\nERROR\r\n");
    StartTransfer("AT$JDNL=\"secret.dat\",I");
    ReceiveReport report = XModemReceive(port_);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_TRUE(SameBytes(report.data, Padded("12345", 128)));
}

TEST_F(ModemSimStore, DownloadOfAMissingFileIsAnError) {
    Start({"--echo", "off"});
    EXPECT_EQ(port_.Command("AT$JDNL=\"nope.dat\""), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT$JDNL=b.bin"), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT"), "\r\nOK\r\n");
}

TEST_F(ModemSimStore, UploadStoresWhatXModemDeliversWithItsFields) {
    Start();
    const std::string data = RandomBytes(200, 9);
    StartTransfer("at$jupl=\"new.dat\",7,H,S");
    SendReport report = XModemSend(port_, data, SendPlan{});
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(SameBytes(store_.Read("new.dat"), Padded(data, 128)));
    EXPECT_TRUE(sim_.WaitForLog("store-put new.dat 256 7 H,S", 2000));
    std::string listing = port_.Command("AT$JDIR=,,H,S");
    EXPECT_NE(listing.find("\r\nnew.dat,7,H S,0,0,256\r\n"), std::string::npos) << listing;
    EXPECT_EQ(port_.Command("AT$JDIR").find("new.dat"), std::string::npos);
}

TEST_F(ModemSimStore, UploadWithoutAttributesReplacesTheOldFile) {
    Start();
    const std::string data = RandomBytes(1500, 4);
    StartTransfer("at$jupl=\"a.dat\",1,");
    SendPlan plan;
    plan.use1k = true;
    SendReport report = XModemSend(port_, data, plan);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(SameBytes(store_.Read("a.dat"), Padded(data, 1024)));
    EXPECT_TRUE(sim_.WaitForLog("store-put a.dat 2048 1 -", 2000));
    EXPECT_NE(port_.Command("AT$JDIR").find("\r\na.dat,1,,0,0,2048\r\n"), std::string::npos);
}

TEST_F(ModemSimStore, TrimmedPaddingGivesBackTheSizeThatWasSent) {
    Start({"--store-trim-padding"});
    std::string data = RandomBytes(1000, 10);
    data.back() = 'x';  // not a padding byte
    StartTransfer("at$jupl=\"trim.dat\",1,I");
    SendPlan plan;
    plan.use1k = true;
    SendReport report = XModemSend(port_, data, plan);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(SameBytes(store_.Read("trim.dat"), data));
    EXPECT_NE(port_.Command("AT$JDIR=,,H,S").find("\r\ntrim.dat,1,I,0,0,1000\r\n"),
              std::string::npos);

    StartTransfer("at$jupl=\"empty.dat\",1,");
    SendReport empty = XModemSend(port_, "", SendPlan{});
    ASSERT_TRUE(empty.ok) << empty.failure;
    EXPECT_EQ(port_.ReadUntil("OK\r\n", 3000), "\r\nOK\r\n");
    EXPECT_TRUE(store_.Exists("empty.dat"));
    EXPECT_EQ(store_.Read("empty.dat"), "");
}

TEST_F(ModemSimStore, UploadThatNeverStartsEndsInErrorAndStoresNothing) {
    Start();
    StartTransfer("AT$JUPL=\"late.dat\",1,");
    // The modem asks for the first block for ten seconds, then gives up.
    EXPECT_NE(port_.ReadUntil("\r\nERROR\r\n", 15000).find("\r\nERROR\r\n"), std::string::npos);
    EXPECT_FALSE(store_.Exists("late.dat"));
}

TEST_F(ModemSimStore, DeleteRemovesTheFileOnce) {
    Start({"--echo", "off"});
    EXPECT_EQ(port_.Command("AT$JDEL=\"hidden.sys\""), "\r\nOK\r\n");
    EXPECT_FALSE(store_.Exists("hidden.sys"));
    EXPECT_EQ(store_.Read(".modemsim-attrs").find("hidden.sys"), std::string::npos);
    EXPECT_EQ(port_.Command("AT$JDEL=\"hidden.sys\""), "\r\nERROR\r\n");
    EXPECT_TRUE(sim_.WaitForLog("store-del hidden.sys", 2000));
}

TEST_F(ModemSimStore, ClearDeletesEveryFile) {
    Start({"--echo", "off"});
    EXPECT_EQ(port_.Command("at$jfclr=all"), "\r\nOK\r\n");
    EXPECT_EQ(port_.Command("AT$JDIR=,,H,S"), "\r\n\r\nOK\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(store_.Path()));
    EXPECT_TRUE(sim_.WaitForLog("store-clear", 2000));
}

TEST_F(ModemSimStore, ClearFailsTheFirstTimesWhenToldTo) {
    Start({"--echo", "off", "--fault-jfclr-errors", "2"});
    EXPECT_EQ(port_.Command("at$jfclr=all"), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("at$jfclr=all"), "\r\nERROR\r\n");
    EXPECT_TRUE(store_.Exists("a.dat"));
    EXPECT_EQ(port_.Command("at$jfclr=all"), "\r\nOK\r\n");
    EXPECT_FALSE(store_.Exists("a.dat"));
}

TEST_F(ModemSimStore, NamesThatCouldEscapeTheStoreAreRefused) {
    Start({"--echo", "off"});
    EXPECT_EQ(port_.Command("AT$JUPL=\"../evil\",1,"), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT$JUPL=\".modemsim-attrs\",1,"), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT$JUPL=\"x.dat\",1,H!"), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT$JDEL=\"../a.dat\""), "\r\nERROR\r\n");
    EXPECT_EQ(port_.Command("AT$JDNL=\"unterminated"), "\r\nERROR\r\n");
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(store_.Path()).parent_path() / "evil"));
    EXPECT_TRUE(store_.Exists("a.dat"));
}

}  // namespace
}  // namespace modemsim_test
