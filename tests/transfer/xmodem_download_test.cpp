// The XModem receiver against a scripted sender on a virtual clock.
#include <gtest/gtest.h>

#include "platform/testing/faulty_stream.h"
#include "tests/support/trace_capture.h"
#include "tests/transfer/transfer_fixture.h"
#include "tests/transfer/xmodem_peers.h"

using test_support::RandomBytes;
using test_support::XModemPacket;
using test_support::XModemPackets;
using test_support::XModemSenderPeer;

namespace {

const std::string ACK(1, 0x06), NAK(1, 0x15), CAN(1, 0x18), EOT(1, 0x04);

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

class XModemDownload : public test_support::TransferOnOpenPort {
  protected:
    void SetUp() override {
        TransferOnOpenPort::SetUp();
        file = Keep(std::tmpfile());
        ASSERT_NE(file, nullptr);
    }
    // A sender with these packets, listening on the port.
    XModemSenderPeer& Sender(std::vector<std::string> packets) {
        sender = std::make_unique<XModemSenderPeer>(port.device(), std::move(packets));
        sender->Listen();
        return *sender;
    }
    bool Receive(int expectedSize) {
        return transfer.XModemDownload(file, &progress, expectedSize, &cancel);
    }

    std::FILE* file = nullptr;
    std::unique_ptr<XModemSenderPeer> sender;
    int progress = -1;
    char cancel = 0;
};

TEST_F(XModemDownload, Receives128ByteBlocksAndKeepsThePadding) {
    const std::string content = RandomBytes(300, 1);
    Sender(XModemPackets(content, 128));
    test_support::TraceCapture trace;
    EXPECT_TRUE(Receive(300));
    EXPECT_EQ(test_support::ContentOf(file), content + std::string(84, 0x1A));
    EXPECT_EQ(sender->Replies(), NAK + ACK + ACK + ACK + ACK) << "start NAK, 3 blocks, EOT";
    EXPECT_EQ(progress, 300);
    // The first read asks for a 1K packet, the later ones for 132 bytes.
    EXPECT_EQ(trace.Count("Ready to read 1028 bytes within 102800 ms and wait only 100 ms"), 1u);
    EXPECT_EQ(trace.Count("Ready to read 132 bytes within 13200 ms and wait only 100 ms"), 3u);
    EXPECT_TRUE(
        trace.Contains("XModemDownload: Warning wrong block size: 132 (should be 1028).\n"));
    EXPECT_TRUE(trace.Contains("XModemDownload: XModem file transfer completed successfully.\n"));
    EXPECT_TRUE(trace.Contains("Pos:256\n"));
}

TEST_F(XModemDownload, A1KFileArrivesPaddedAndTheCounterStopsAtTheListedSize) {
    const std::string content = RandomBytes(1000, 2);
    Sender(XModemPackets(content, 1024));
    EXPECT_TRUE(Receive(1000));
    EXPECT_EQ(test_support::ContentOf(file), content + std::string(24, 0x1A));
    EXPECT_EQ(progress, 1000);
}

TEST_F(XModemDownload, A1KTransferMayEndWithShortBlocks) {
    // XModem-1K senders send the tail of a file in 128-byte blocks.
    const std::string content = RandomBytes(1025, 3);
    Sender({XModemPacket(1, content.substr(0, 1024), 1024),
            XModemPacket(2, content.substr(1024), 128)});
    EXPECT_TRUE(Receive(1025));
    EXPECT_EQ(test_support::ContentOf(file), content + std::string(127, 0x1A));
}

TEST_F(XModemDownload, AFirstPacketWithABadChecksumStillFixesTheBlockSize) {
    std::string bad = XModemPacket(1, "data", 128);
    bad.back() = static_cast<char>(bad.back() + 1);
    // An STX header on a packet of 132 bytes, so that the line stays in step.
    const std::string good1K = XModemPacket(1, "data", 1024).substr(0, 132);
    auto& peer = Sender({XModemPacket(1, "data", 128)});
    peer.mangle = [&](int send, std::size_t, const std::string& bytes) {
        if (send == 0) {
            return bad;  // 128 learned although the packet is rejected
        }
        if (send == 1) {
            return good1K;  // an STX packet in a 128-byte transfer
        }
        return bytes;
    };
    test_support::TraceCapture trace;
    EXPECT_TRUE(Receive(4));
    EXPECT_TRUE(trace.Contains("XModemBlock: Check sum mismatch, invalid block.\n"));
    // Once for the STX packet, once for the EOT (a single byte of another kind).
    EXPECT_EQ(trace.Count("XModemBlock: Block size mismatch, cancel block transfer.\n"), 2u);
    EXPECT_EQ(sender->Replies().substr(0, 3), NAK + NAK + NAK);
    EXPECT_EQ(test_support::ContentOf(file), std::string("data") + std::string(124, 0x1A));
}

TEST_F(XModemDownload, ARepeatedBlockIsAcknowledgedButWrittenOnce) {
    const std::string content = RandomBytes(128 * 3, 4);
    auto& peer = Sender(XModemPackets(content, 128));
    peer.lostAcks = {1};  // block 2 goes out twice
    test_support::TraceCapture trace;
    EXPECT_TRUE(Receive(384));
    EXPECT_EQ(peer.Sends(), 5);
    EXPECT_EQ(test_support::ContentOf(file), content);
    EXPECT_EQ(trace.Count("XModemDownload: Acknowledge double sent block.\n"), 1u);
}

TEST_F(XModemDownload, ABlockNumberThatJumpsAheadIsRerequestedAndNotWritten) {
    const std::string content = RandomBytes(128 * 3, 5);
    const auto packets = XModemPackets(content, 128);
    auto& peer = Sender(packets);
    peer.mangle = [&](int send, std::size_t, const std::string& bytes) {
        return send == 1 ? packets[2] : bytes;  // block 3 where block 2 belongs
    };
    EXPECT_TRUE(Receive(384));
    EXPECT_EQ(sender->Replies(), NAK + ACK + NAK + ACK + ACK + ACK);
    EXPECT_EQ(test_support::ContentOf(file), content);
}

TEST_F(XModemDownload, EotAsTheFirstByteGivesAnEmptyFile) {
    Sender({});
    EXPECT_TRUE(Receive(0));
    EXPECT_EQ(test_support::ContentOf(file), "");
    EXPECT_EQ(sender->Replies(), NAK + ACK);
}

TEST_F(XModemDownload, BlockNumbersContinueFrom255To0) {
    const std::string content = RandomBytes(128 * 260, 6);
    Sender(XModemPackets(content, 128));
    EXPECT_TRUE(Receive(static_cast<int>(content.size())));
    EXPECT_EQ(test_support::ContentOf(file), content);
}

TEST_F(XModemDownload, ASilentSenderIsGivenUpAfterTenRerequestsOf102Point8Seconds) {
    auto& peer = Sender({});
    peer.mangle = [](int, std::size_t, const std::string&) { return std::string(); };
    test_support::TraceCapture trace;
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Receive(100));
    // Start NAK, ten re-requests, the CAN of the error limit, the cancel sequence.
    EXPECT_EQ(sender->Replies(), NAK + Repeat(NAK, 10) + CAN + Repeat(CAN, 10));
    EXPECT_EQ(port.Now() - start, 11u * 102800u + 10u * 100u);
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(trace.Count("XModemBlock: No Bytes to read!\n"), 11u);
    EXPECT_EQ(trace.Count("XModemDownload: Transfer of block failed, rerequest block.\n"), 10u);
    EXPECT_TRUE(trace.Contains("XModemDownload: Too many errors, cancel transfer.\n"));
    EXPECT_TRUE(trace.Contains("The upload process was canceled.\n"));
}

TEST_F(XModemDownload, OnceTheBlockSizeIs128EachReadWaits13Point2Seconds) {
    auto& peer = Sender(XModemPackets(RandomBytes(256, 7), 128));
    peer.mangle = [](int send, std::size_t, const std::string& bytes) {
        return send == 0 ? bytes : std::string();
    };
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Receive(256));
    // The first read ends 100 ms after the 132nd byte (1 ms delivery delay).
    EXPECT_EQ(port.Now() - start, 1u + 100u + 11u * 13200u + 10u * 100u);
    EXPECT_EQ(test_support::ContentOf(file).size(), 128u) << "the accepted block stays";
}

TEST_F(XModemDownload, ErrorsInARowAreCountedNotErrorsInAll) {
    // Each block fails ten times before it arrives: never eleven in a row.
    const std::string content = RandomBytes(128 * 3, 8);
    const auto packets = XModemPackets(content, 128);
    auto& peer = Sender(packets);
    peer.mangle = [](int send, std::size_t, const std::string& bytes) {
        return send % 11 == 10 ? bytes : "noise";
    };
    EXPECT_TRUE(Receive(384));
    EXPECT_EQ(test_support::ContentOf(file), content);
}

TEST_F(XModemDownload, CanFromTheSenderEndsTheTransfer) {
    const auto packets = XModemPackets(RandomBytes(512, 9), 128);
    auto& peer = Sender(packets);
    peer.mangle = [](int send, std::size_t, const std::string& bytes) {
        return send == 2 ? CAN : bytes;
    };
    test_support::TraceCapture trace;
    EXPECT_FALSE(Receive(512));
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(sender->Replies(), NAK + ACK + ACK + Repeat(CAN, 10));
    EXPECT_TRUE(trace.Contains("XModemDownload: XModem file transfer canceled.\n"));
    EXPECT_EQ(test_support::ContentOf(file).size(), 256u);
}

TEST_F(XModemDownload, ACancelByTheCallerEndsTheTransferAfterTheCurrentStep) {
    auto& peer = Sender(XModemPackets(RandomBytes(512, 10), 128));
    peer.mangle = [&](int send, std::size_t, const std::string& bytes) {
        if (send == 1) {
            cancel = 1;  // pressed while block 1 is being acknowledged
        }
        return bytes;
    };
    test_support::TraceCapture trace;
    EXPECT_FALSE(Receive(512));
    EXPECT_EQ(sender->Replies(), NAK + ACK + Repeat(CAN, 10));
    EXPECT_EQ(test_support::ContentOf(file).size(), 128u) << "the partial file stays";
    EXPECT_TRUE(trace.Contains("The upload process was canceled.\n"));
}

TEST_F(XModemDownload, AFullDiskEndsTheTransferWithCanInsteadOfAck) {
    if (!platform::testing::kFaultyStreamsAvailable) {
        GTEST_SKIP() << "this C library cannot make a failing stream";
    }
    // The disk takes 200 bytes: the second block cannot be written.
    std::FILE* full = Keep(platform::testing::OpenFullDiskStream(200));
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);
    Sender(XModemPackets(RandomBytes(128 * 4, 11), 128));
    test_support::TraceCapture trace;
    EXPECT_FALSE(transfer.XModemDownload(full, &progress, 512, &cancel));
    EXPECT_EQ(sender->Replies(), NAK + ACK + Repeat(CAN, 10)) << "block 2 is not acknowledged";
    EXPECT_EQ(progress, 128);
    EXPECT_TRUE(trace.Contains("XModemDownload: Writing to file failed, cancel transfer.\n"));
}

TEST_F(XModemDownload, AFailingFlushAtTheEndIsNotASuccess) {
    if (!platform::testing::kFaultyStreamsAvailable) {
        GTEST_SKIP() << "this C library cannot make a failing stream";
    }
    // Every block fits the stream's buffer; the disk refuses it at the flush.
    std::FILE* full = Keep(platform::testing::OpenFullDiskStream(0));
    ASSERT_NE(full, nullptr);
    Sender(XModemPackets(RandomBytes(300, 12), 128));
    EXPECT_FALSE(transfer.XModemDownload(full, &progress, 300, &cancel));
    EXPECT_EQ(sender->Replies(), NAK + ACK + ACK + ACK + Repeat(CAN, 10))
        << "the EOT is answered with CAN";
    EXPECT_FALSE(sender->Done());
}

}  // namespace
