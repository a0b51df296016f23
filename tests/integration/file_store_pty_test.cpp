// The file-store commands of wizard-cli (dir, download, upload, delete)
// against the modem simulator's file store, in real time over a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "platform/clock.h"
#include "platform/process.h"
#include "tests/support/cli_runner.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

using test_support::CliResult;
using test_support::ModemSim;
using test_support::RandomBytes;
using test_support::TempDir;

CliResult Cli(const std::vector<std::string>& args) {
    return test_support::RunCli(args, 60000);
}

std::string Padded(const std::string& data, std::size_t block) {
    std::string padded = data;
    padded.resize((data.size() + block - 1) / block * block, 0x1A);
    return padded;
}

bool Contains(const std::string& text, const std::string& needle) {
    return text.find(needle) != std::string::npos;
}

class FileStorePty : public ::testing::Test {
  protected:
    // Starts the simulator on the store, with further options.
    void Start(std::vector<std::string> options = {}) {
        options.insert(options.end(), {"--store", store.Path()});
        std::string error;
        ASSERT_TRUE(sim.Start(options, &error)) << error;
    }
    const std::string& Port() const { return sim.PortPath(); }

    TempDir store{"store"};
    TempDir local{"local"};
    ModemSim sim;
};

TEST_F(FileStorePty, ListsDownloadsAndDeletesStoredFiles) {
    const std::string data = RandomBytes(3000, 1);
    store.Write("data.bin", data);
    store.Write("notes.txt", "hello");
    store.Write("system.cfg", "hidden");
    store.Write(".modemsim-attrs", "data.bin,1,\nnotes.txt,2,\nsystem.cfg,1,H S\n");
    Start();

    CliResult dir = Cli({"dir", "--port", Port()});
    ASSERT_EQ(dir.exitCode, 0) << dir.err;
    EXPECT_EQ(dir.out, "data.bin,1,,0,0,3000\nnotes.txt,2,,0,0,5\n")
        << "hidden files are not listed";

    CliResult get = Cli({"download", "--quiet", "--port", Port(), "data.bin", local.File("d")});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(local.Read("d"), Padded(data, 128));
    EXPECT_EQ(get.err, "") << "--quiet shows no progress";

    CliResult missing = Cli({"download", "--port", Port(), "nothing.bin", local.File("n")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "nothing.bin is not in the modem's file store"))
        << missing.err;
    EXPECT_EQ(sim.CountLog("at AT$JDNL=\"nothing.bin\""), 0) << "no download is asked for";

    CliResult del = Cli({"delete", "--port", Port(), "notes.txt"});
    EXPECT_EQ(del.exitCode, 0) << del.err;
    EXPECT_FALSE(store.Exists("notes.txt"));
    CliResult again = Cli({"delete", "--port", Port(), "notes.txt"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(Contains(again.err, "did not confirm deleting notes.txt")) << again.err;
}

TEST_F(FileStorePty, DownloadShowsProgressAndUses1KBlocksWhenTheModemSendsThem) {
    const std::string data = RandomBytes(5000, 2);
    store.Write("fw.bin", data);
    Start({"--store-1k"});
    CliResult get = Cli({"download", "--port", Port(), "fw.bin", local.File("fw.bin")});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(local.Read("fw.bin"), Padded(data, 1024));
    EXPECT_TRUE(Contains(get.err, "fw.bin")) << "the progress line names the file: " << get.err;
    EXPECT_TRUE(Contains(get.err, "%"));
}

TEST_F(FileStorePty, DownloadRerequestsCorruptBlocksAndReportsACancelledTransfer) {
    const std::string data = RandomBytes(2000, 3);
    store.Write("fw.bin", data);
    Start({"--fault-corrupt-block", "2:3"});
    CliResult get = Cli({"download", "--quiet", "--port", Port(), "fw.bin", local.File("a")});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(local.Read("a"), Padded(data, 128));
    sim.Stop();

    ModemSim cancelling;
    std::string error;
    ASSERT_TRUE(cancelling.Start({"--store", store.Path(), "--fault-can-at-block", "3"}, &error))
        << error;
    CliResult cut =
        Cli({"download", "--quiet", "--port", cancelling.PortPath(), "fw.bin", local.File("b")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(Contains(cut.err, "the transfer was given up (cancelled by the modem")) << cut.err;
    EXPECT_EQ(local.Read("b"), data.substr(0, 256)) << "the part received stays";
}

TEST_F(FileStorePty, UploadStoresTheFileWithItsParameters) {
    const std::string data = RandomBytes(5000, 4);
    const std::string path = local.Write("new.bin", data);
    Start();
    CliResult put = Cli({"upload", "--quiet", "--port", Port(), path, "new.bin", "3", "H", "S"});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(store.Read("new.bin"), Padded(data, 1024)) << "1K blocks, padding included";
    EXPECT_EQ(sim.CountLog("store-put new.bin 5120 3 H,S"), 1);

    // The defaults: field 1 is 1, no attributes; --delete-first removes the old file first.
    CliResult replace = Cli({"upload", "--quiet", "--delete-first", "--port", Port(),
                             local.Write("small", "abc"), "new.bin"});
    ASSERT_EQ(replace.exitCode, 0) << replace.err;
    EXPECT_EQ(store.Read("new.bin"), Padded("abc", 1024));
    EXPECT_EQ(sim.CountLog("store-del new.bin"), 1);
    EXPECT_EQ(sim.CountLog("store-put new.bin 1024 1 -"), 1);
}

TEST_F(FileStorePty, UploadFallsBackTo128ByteBlocksWhenTheModemRefuses1K) {
    const std::string data = RandomBytes(1500, 5);
    Start({"--fault-nak-block", "1:6"});
    CliResult put = Cli({"upload", "--quiet", "--port", Port(), local.Write("f", data), "f.bin"});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(store.Read("f.bin"), Padded(data, 128));
}

TEST_F(FileStorePty, AnUploadCancelledHalfWayDeletesThePartialFile) {
    // At the real byte rate of the line the transfer takes about 10 s.
    const std::string path = local.Write("big", RandomBytes(120 * 1024, 6));
    Start({"--rate", "11520"});
    platform::Process cli;
    std::string error;
    ASSERT_TRUE(cli.Start(
        {test_support::ProgramPath("wizard-cli"), "upload", "--port", Port(), path, "big.bin"}, {},
        platform::ProcessOutput::kCapture, &error))
        << error;
    ASSERT_TRUE(sim.WaitForLog("at AT$JUPL=\"big.bin\"", 10000));
    platform::Sleep(1000);  // well into the transfer
    ASSERT_TRUE(cli.Signal(SIGINT));
    ASSERT_TRUE(cli.Wait(30000));
    EXPECT_EQ(cli.ExitCode(), 1);
    EXPECT_TRUE(Contains(cli.Stderr(), "the upload was cancelled")) << cli.Stderr();
    EXPECT_TRUE(sim.WaitForLog("at AT$JDEL=\"big.bin\"", 5000)) << "the partial file is deleted";
    EXPECT_FALSE(store.Exists("big.bin"));
}

TEST_F(FileStorePty, NamesTooLongForTheCommandAreRefusedBeforeAnythingIsSent) {
    Start();
    CliResult put = Cli({"upload", "--port", Port(), local.Write("x", "x"), std::string(250, 'n')});
    EXPECT_EQ(put.exitCode, 1);
    EXPECT_TRUE(Contains(put.err, "does not fit a modem command")) << put.err;
    CliResult quote = Cli({"delete", "--port", Port(), "a\"b"});
    EXPECT_EQ(quote.exitCode, 1);
    EXPECT_EQ(sim.CountLog("at "), 0) << "the modem heard nothing";
}

}  // namespace
