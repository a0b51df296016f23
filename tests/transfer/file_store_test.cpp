// The file-store operations: listing, delete, and upload / download through
// the worker thread and the progress dialog, against a scripted modem.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "serial/serial.h"
#include "tests/support/scripted_port.h"
#include "tests/support/trace_capture.h"
#include "tests/transfer/recording_view.h"
#include "tests/transfer/xmodem_peers.h"
#include "transfer/file_transfer.h"
#include "transfer/modem_commands.h"
#include "transfer/modem_dir.h"
#include "transfer/shared_access.h"

using test_support::RandomBytes;
using test_support::XModemPackets;
using test_support::XModemReceiverPeer;
using test_support::XModemSenderPeer;

namespace {

namespace fs = std::filesystem;

const std::string ACK(1, 0x06), CAN(1, 0x18);

class FileStore : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        transfer.Attach(&serial, nullptr, nullptr);
        transfer.SetViewFactory(&views);
        port.modem().AnswerOk("AT&F");
        dir =
            fs::temp_directory_path() /
            ("transfer_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Local(const std::string& name, const std::string& content) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Listing(const std::string& lines) { port.modem().AnswerOk("AT$JDIR", lines); }

    // Behind AT$JUPL the modem receives with this peer.
    void ReceiveUploadsWith(XModemReceiverPeer& peer) {
        port.modem().onCommand = [this, &peer](const std::string& command) {
            if (command.rfind("AT$JUPL=", 0) != 0) {
                return false;
            }
            port.modem().dataReceiver = [this, &peer](const std::string& bytes) {
                peer.Feed(bytes);
                if (peer.EotCount() > 0 || peer.CanCount() >= 10) {
                    port.modem().dataReceiver = nullptr;  // back to commands
                }
            };
            return true;
        };
    }
    // Behind AT$JDNL the modem sends with this peer.
    void SendDownloadsWith(XModemSenderPeer& peer) {
        port.modem().onCommand = [this, &peer](const std::string& command) {
            if (command.rfind("AT$JDNL=", 0) != 0) {
                return false;
            }
            port.modem().dataReceiver = [this, &peer](const std::string& bytes) {
                peer.Feed(bytes);
                if (peer.Done() || bytes.find(CAN) != std::string::npos) {
                    port.modem().dataReceiver = nullptr;
                }
            };
            return true;
        };
    }
    // Called on the worker thread: presses Cancel and waits, in real time,
    // until the dialog has passed it on to the job.
    void PressCancelAndWait() {
        views.last->pressCancel = true;
        for (int i = 0; i < 5000 && !LoadShared(&transfer.Job().cancelled); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    test_support::ScriptedPort port;
    CSerial serial;
    CXModemTransfer transfer;
    test_support::RecordingViews views;
    fs::path dir;
};

TEST_F(FileStore, TheListingKeepsEachLineUpToItsLineFeed) {
    Listing("line A\r\nline B");
    std::list<std::string> listing{"old"};
    test_support::TraceCapture trace;
    EXPECT_EQ(GetModemDir(&serial, &listing), 3);
    EXPECT_EQ(listing, (std::list<std::string>{"line A\r", "line B\r", "\r"}));
    EXPECT_FALSE(serial.IsOpen());
    EXPECT_EQ(port.device().Written(), "AT$JDIR\r");
    EXPECT_TRUE(
        trace.Contains("GetModemDir: Read directory information:\nline A\r\nline B\r\n\r\nOK\n"));

    port.modem().AnswerError("AT$JDIR");
    EXPECT_EQ(GetModemDir(&serial, &listing), -1);
    EXPECT_FALSE(serial.IsOpen());

    CSerial nowhere;
    nowhere.SetPortName("NO-SUCH-PORT-FOR-TESTS");
    listing = {"kept"};
    EXPECT_EQ(GetModemDir(&nowhere, &listing), -1);
    EXPECT_EQ(listing, std::list<std::string>{"kept"});
}

TEST_F(FileStore, DownloadFindsTheFileInTheListingAndStoresWhatTheModemSends) {
    const std::string content = RandomBytes(1000, 1);
    Listing("other.txt,1,,0,0,10\r\nfw.bin,1,H,0,0,1000");
    XModemSenderPeer sender(port.device(), XModemPackets(content, 1024));
    SendDownloadsWith(sender);
    const std::string path = (dir / "fw.bin").string();

    EXPECT_EQ(transfer.DownloadModemFile("fw.bin", path, ""), TRANSFER_FINISHED);
    EXPECT_EQ(Read(path), content + std::string(24, 0x1A));
    EXPECT_EQ(transfer.Job().totalBytes, 1000);
    EXPECT_EQ(transfer.Job().doneBytes, 1000) << "clamped to the listed size";
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::Completed);
    EXPECT_EQ(port.modem().Commands(),
              (std::vector<std::string>{"AT$JDIR", "AT&F", "AT$JDNL=\"fw.bin\""}));
    ASSERT_NE(views.last, nullptr);
    EXPECT_EQ(views.last->text, "Downloading fw.bin from the modem ...");
    EXPECT_EQ(views.last->closedWith, 1);
    EXPECT_FALSE(serial.IsOpen());
}

TEST_F(FileStore, DownloadOfANameTheListingDoesNotReachIsNotFound) {
    // Only as field 1; and behind an empty field that ends the walk.
    Listing("a.dat,fw.bin,H,0,0,10\r\nfw.bin,1,,0,0,77");
    const std::string path = (dir / "x").string();
    EXPECT_EQ(transfer.DownloadModemFile("fw.bin", path, ""), TRANSFER_NOT_FOUND);
    EXPECT_EQ(views.created, 0) << "no dialog";
    EXPECT_FALSE(fs::exists(path));

    port.modem().AnswerError("AT$JDIR");
    EXPECT_EQ(transfer.DownloadModemFile("a.dat", path, ""), TRANSFER_NOT_FOUND);
}

TEST_F(FileStore, UploadSendsTheCommandAndTheFileUnderTheDialog) {
    const std::string content = RandomBytes(3000, 2);
    const std::string path = Local("local.bin", content);
    XModemReceiverPeer peer(port.device());
    ReceiveUploadsWith(peer);

    EXPECT_EQ(transfer.UploadModemFile(path, "fw.bin", "1", "H", "S", "Firmware", false),
              TRANSFER_FINISHED);
    EXPECT_EQ(port.modem().Commands(),
              (std::vector<std::string>{"AT&F", "AT$JUPL=\"fw.bin\",1,H,S"}));
    EXPECT_EQ(peer.Received().substr(0, 3000), content);
    EXPECT_EQ(peer.Packets().front().header, 0x02) << "1K blocks";
    EXPECT_EQ(transfer.Job().totalBytes, 3000);
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::Completed);
    EXPECT_EQ(views.last->text, "Uploading Firmware to the modem ...");
    EXPECT_FALSE(serial.IsOpen());
}

TEST_F(FileStore, DeleteFirstRemovesTheOldFileBeforeTheDialogOpens) {
    const std::string path = Local("local.bin", "abc");
    port.modem().AnswerOk("AT$JDEL=\"fw.bin\"");
    XModemReceiverPeer peer(port.device());
    ReceiveUploadsWith(peer);
    EXPECT_EQ(transfer.UploadModemFile(path, "fw.bin", "1", "", "", "", true), TRANSFER_FINISHED);
    EXPECT_EQ(port.modem().Commands(),
              (std::vector<std::string>{"AT$JDEL=\"fw.bin\"", "AT&F", "AT$JUPL=\"fw.bin\",1,,"}));
}

TEST_F(FileStore, AnUploadCancelledHalfWayDeletesThePartialFile) {
    const std::string path = Local("local.bin", RandomBytes(8000, 3));
    port.modem().AnswerOk("AT$JDEL=\"fw.bin\"");
    XModemReceiverPeer peer(port.device());
    peer.onPacket = [&](const XModemReceiverPeer::Packet& packet, std::size_t) {
        if (packet.number == 4) {
            PressCancelAndWait();
        }
        return ACK;
    };
    ReceiveUploadsWith(peer);

    EXPECT_EQ(transfer.UploadModemFile(path, "fw.bin", "1", "", "", "", false), TRANSFER_CANCELLED);
    EXPECT_EQ(peer.Packets().size(), 4u);
    EXPECT_EQ(peer.CanCount(), 10);
    EXPECT_EQ(peer.EotCount(), 0);
    EXPECT_EQ(port.modem().Commands().back(), "AT$JDEL=\"fw.bin\"");
    EXPECT_EQ(views.last->closedWith, -1);
    EXPECT_FALSE(serial.IsOpen());
}

TEST_F(FileStore, ADownloadCancelledHalfWayKeepsThePartialLocalFile) {
    Listing("fw.bin,1,H,0,0,1024");
    XModemSenderPeer sender(port.device(), XModemPackets(RandomBytes(1024, 4), 128));
    sender.mangle = [&](int send, std::size_t, const std::string& bytes) {
        if (send == 2) {
            PressCancelAndWait();
        }
        return bytes;
    };
    SendDownloadsWith(sender);
    const std::string path = (dir / "fw.bin").string();
    EXPECT_EQ(transfer.DownloadModemFile("fw.bin", path, ""), TRANSFER_CANCELLED);
    EXPECT_EQ(Read(path).size(), 256u);
    EXPECT_EQ(port.modem().Commands().back(), "AT$JDNL=\"fw.bin\"") << "no delete after a download";
}

TEST_F(FileStore, WithoutADialogNothingHappens) {
    transfer.SetViewFactory(nullptr);
    const std::string path = Local("local.bin", "abc");
    EXPECT_EQ(transfer.UploadModemFile(path, "fw.bin", "1", "", "", "", false), TRANSFER_CANCELLED);
    EXPECT_EQ(port.device().OpenCount(), 0);
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::NotRun);
}

TEST_F(FileStore, AMissingLocalFileOrPortEndsTheWorkerWithoutATransfer) {
    EXPECT_EQ(
        transfer.UploadModemFile((dir / "missing").string(), "fw.bin", "1", "", "", "", false),
        TRANSFER_FINISHED);
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::LocalFileFailed);
    EXPECT_EQ(port.modem().Commands(), std::vector<std::string>{"AT&F"});
    EXPECT_FALSE(serial.IsOpen());

    CSerial nowhere;
    nowhere.SetPortName("NO-SUCH-PORT-FOR-TESTS");
    transfer.SetPort(&nowhere);
    EXPECT_EQ(transfer.UploadModemFile(Local("a", "x"), "fw.bin", "1", "", "", "", false),
              TRANSFER_FINISHED);
    EXPECT_EQ(transfer.Job().outcome, TransferOutcome::PortNotOpened);
}

TEST_F(FileStore, NamesThatDoNotFitTheCommandBufferAreRefusedBeforeAnythingIsSent) {
    const std::string path = Local("local.bin", "abc");
    const std::string tooLong(246, 'n');  // AT$JUPL="<246>",1,, is 260 characters
    EXPECT_EQ(transfer.UploadModemFile(path, tooLong, "1", "", "", "", true), TRANSFER_REFUSED);
    EXPECT_EQ(transfer.DownloadModemFile(std::string(250, 'n'), path, ""), TRANSFER_REFUSED);
    EXPECT_FALSE(transfer.DeleteModemFile(std::string(251, 'n')));
    // A quote would end the name early; a CR would start a second command.
    EXPECT_EQ(transfer.UploadModemFile(path, "a\"b", "1", "", "", "", false), TRANSFER_REFUSED);
    EXPECT_EQ(transfer.UploadModemFile(path, "a", "1\rAT&W", "", "", "", false), TRANSFER_REFUSED);
    EXPECT_FALSE(transfer.DeleteModemFile("a\rb"));
    EXPECT_EQ(port.device().OpenCount(), 0);
    EXPECT_EQ(port.device().Written(), "");
    EXPECT_EQ(views.created, 0);
    EXPECT_EQ(Read(path), "abc");
}

TEST_F(FileStore, CommandsFillTheBufferUpToItsLastByte) {
    std::string command;
    EXPECT_TRUE(FormatUploadCommand(std::string(245, 'n'), {"1", "", ""}, &command));
    EXPECT_EQ(command.size(), 259u);
    EXPECT_FALSE(FormatUploadCommand(std::string(246, 'n'), {"1", "", ""}, &command));
    EXPECT_TRUE(FormatDownloadCommand(std::string(249, 'n'), &command));
    EXPECT_EQ(command, "AT$JDNL=\"" + std::string(249, 'n') + "\"");
    EXPECT_FALSE(FormatDownloadCommand(std::string(250, 'n'), &command));
    EXPECT_TRUE(FormatDeleteCommand("a b.txt", &command));
    EXPECT_EQ(command, "AT$JDEL=\"a b.txt\"");
}

}  // namespace
