// The XModem sender against a scripted receiver on a virtual clock.
#include <gtest/gtest.h>

#include "platform/testing/faulty_stream.h"
#include "tests/support/trace_capture.h"
#include "tests/transfer/transfer_fixture.h"
#include "tests/transfer/xmodem_peers.h"
#include "transfer/xmodem.h"

using test_support::RandomBytes;
using test_support::XModemPacket;
using test_support::XModemReceiverPeer;

namespace {

const std::string ACK(1, 0x06), NAK(1, 0x15), CAN(1, 0x18), EOT(1, 0x04);

class XModemUpload : public test_support::TransferOnOpenPort {
  protected:
    void SetUp() override {
        TransferOnOpenPort::SetUp();
        peer.Listen();
    }
    bool Send(const std::string& content, bool allow1K, const char* cancel = nullptr) {
        return transfer.XModemUpload(Keep(test_support::FileWith(content)), &progress, allow1K,
                                     cancel);
    }
    XModemReceiverPeer peer{port.device()};
    int progress = -1;
};

TEST_F(XModemUpload, SendsA1KFileAsStxPacketsThenEotAndArrivesWithPadding) {
    const std::string file = RandomBytes(2500, 1);
    EXPECT_TRUE(Send(file, true));

    const std::string wire = port.device().Written();
    EXPECT_EQ(wire, XModemPacket(1, file.substr(0, 1024), 1024) +
                        XModemPacket(2, file.substr(1024, 1024), 1024) +
                        XModemPacket(3, file.substr(2048), 1024) + EOT);
    EXPECT_EQ(peer.Received(), file + std::string(3072 - 2500, 0x1A));
    EXPECT_EQ(progress, 2500);
}

TEST_F(XModemUpload, PacketsGoOutInPiecesOf64Bytes) {
    EXPECT_TRUE(Send(RandomBytes(1100, 2), true));
    // 1028 = 16 x 64 + 4, twice, then the EOT byte.
    std::vector<std::size_t> expected(16, 64);
    expected.push_back(4);
    expected.insert(expected.end(), expected.begin(), expected.end());
    expected.push_back(1);
    EXPECT_EQ(peer.WriteSizes(), expected);
}

TEST_F(XModemUpload, EdgeSizesOfFiles) {
    // An empty file is the EOT step alone.
    EXPECT_TRUE(Send("", true));
    EXPECT_EQ(port.device().TakeWritten(), EOT);
    EXPECT_EQ(progress, 0);

    // One byte in a 1K packet: the checksum covers the padding.
    EXPECT_TRUE(Send("A", true));
    EXPECT_EQ(port.device().TakeWritten(), XModemPacket(1, "A", 1024) + EOT);
    const std::string padded = "A" + std::string(1023, 0x1A);
    int sum = 0;
    for (char c : padded) {
        sum += static_cast<unsigned char>(c);
    }
    EXPECT_EQ(XModemPacket(1, "A", 1024).back(), static_cast<char>(sum & 0xFF));

    // Exactly one block: no padding at all, and no second packet.
    const std::string block = RandomBytes(128, 3);
    EXPECT_TRUE(Send(block, false));
    EXPECT_EQ(port.device().TakeWritten(), XModemPacket(1, block, 128) + EOT);
}

TEST_F(XModemUpload, FallsBackTo128ByteBlocksAfterTheSixthNakToTheFirst1KBlock) {
    peer.onPacket = [](const XModemReceiverPeer::Packet& packet, std::size_t) {
        return packet.header == 0x02 ? NAK : ACK;  // a receiver without 1K support
    };
    int highest = 0;
    const std::string file = RandomBytes(300, 4);
    port.device().OnWrite([&](platform::testing::ScriptedSerial&, const std::string& bytes) {
        highest = std::max(highest, progress);
        peer.Feed(bytes);
    });
    test_support::TraceCapture trace;
    EXPECT_TRUE(Send(file, true));

    std::string expected;
    for (int i = 0; i < 6; ++i) {
        expected += XModemPacket(1, file.substr(0, 1024), 1024);
    }
    expected += XModemPacket(1, file.substr(0, 128), 128) +
                XModemPacket(2, file.substr(128, 128), 128) +
                XModemPacket(3, file.substr(256), 128) + EOT;
    EXPECT_EQ(port.device().Written(), expected);
    EXPECT_EQ(peer.Received().substr(0, 300), file);
    EXPECT_EQ(trace.Count("XModemUpload: Fallback to standard XModem, block size 128\n"), 1u);
    EXPECT_EQ(trace.Count("XModemUpload: Block failed, retry "), 5u);
    EXPECT_LE(highest, 300) << "the counter restarts at the fallback";
    EXPECT_EQ(progress, 300);
}

TEST_F(XModemUpload, FiveNaksThenAckKeeps1KBlocksAndOtherRepliesUseUpAttempts) {
    peer.onPacket = [](const XModemReceiverPeer::Packet&, std::size_t index) {
        return index < 5 ? NAK : ACK;
    };
    const std::string file = RandomBytes(1500, 5);
    EXPECT_TRUE(Send(file, true));
    EXPECT_EQ(peer.Packets().size(), 7u);
    for (const auto& packet : peer.Packets()) {
        EXPECT_EQ(packet.header, 0x02);
    }
    port.device().TakeWritten();

    // Five NAKs and a 'C': the sixth failed attempt ends the transfer, no fallback.
    XModemReceiverPeer picky(port.device());
    picky.Listen();
    picky.onPacket = [](const XModemReceiverPeer::Packet&, std::size_t index) {
        return index < 5 ? NAK : std::string("C");
    };
    EXPECT_FALSE(Send(file, true));
    EXPECT_EQ(picky.Packets().size(), 6u);
    EXPECT_EQ(port.device().Written().size(), 6u * 1028u);
}

TEST_F(XModemUpload, AReceiverThatOnlyAsksForCrcGetsBlock1SixTimesThenFalse) {
    peer.onPacket = [](const XModemReceiverPeer::Packet&, std::size_t) { return std::string("C"); };
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Send(RandomBytes(200, 6), false));
    ASSERT_EQ(peer.Packets().size(), 6u);
    for (const auto& packet : peer.Packets()) {
        EXPECT_EQ(packet.number, 1);
        EXPECT_EQ(packet.header, 0x01);
    }
    EXPECT_EQ(port.device().Written().size(), 6u * 132u) << "no CAN, no EOT";
    EXPECT_LT(port.Now() - start, 1000u) << "each 'C' ends its attempt at once";
}

TEST_F(XModemUpload, EotIsRepeatedUntilAcknowledged) {
    peer.onEot = [](int index) { return index == 0 ? NAK : ACK; };
    EXPECT_TRUE(Send("abc", false));
    EXPECT_EQ(peer.EotCount(), 2);

    // Never acknowledged: six EOTs, each after a 4 s wait, then false.
    XModemReceiverPeer mute(port.device());
    mute.Listen();
    mute.onEot = [](int) { return std::string(); };
    test_support::TraceCapture trace;
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Send("", false));
    EXPECT_EQ(mute.EotCount(), 6);
    EXPECT_EQ(trace.Count("XModemUpload: writing EOT to com ...\n"), 6u);
    EXPECT_EQ(trace.Count("XModemUpload: ReadTimeout failed!\n"), 6u);
    EXPECT_EQ(port.Now() - start, 6u * 4000u);
}

TEST_F(XModemUpload, NaksToTheEotOfAOneBlock1KFileAreNoFallbackAndNoSuccess) {
    // Block 1 is refused once, then every EOT: the sixth NAK in all is no
    // request for 128-byte blocks, and must not end the transfer as done.
    peer.onPacket = [](const XModemReceiverPeer::Packet&, std::size_t index) {
        return index == 0 ? NAK : ACK;
    };
    peer.onEot = [](int) { return NAK; };
    EXPECT_FALSE(Send(RandomBytes(5, 7), true));
    EXPECT_EQ(peer.EotCount(), 6);
    EXPECT_EQ(peer.Packets().size(), 2u) << "block 1 is not sent again";
}

TEST_F(XModemUpload, CanFromTheReceiverEndsTheTransferWithoutACanOfOurOwn) {
    peer.onPacket = [](const XModemReceiverPeer::Packet& packet, std::size_t) {
        return packet.number == 2 ? CAN : ACK;
    };
    test_support::TraceCapture trace;
    EXPECT_FALSE(Send(RandomBytes(1000, 7), false));
    EXPECT_EQ(peer.Packets().size(), 2u) << "block 2 is not repeated after the CAN";
    EXPECT_EQ(peer.CanCount(), 0);
    EXPECT_EQ(peer.EotCount(), 0);
    EXPECT_TRUE(trace.Contains("XModemUpload: received CAN\n"));
}

TEST_F(XModemUpload, CancelSendsTenCanBytesAfterTheCurrentBlock) {
    char cancel = 0;
    peer.onPacket = [&](const XModemReceiverPeer::Packet& packet, std::size_t) {
        if (packet.number == 3) {
            cancel = 1;  // the user presses Cancel while block 3 is on its way
        }
        return ACK;
    };
    test_support::TraceCapture trace;
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Send(RandomBytes(2000, 8), false, &cancel));
    EXPECT_EQ(peer.Packets().size(), 3u);
    EXPECT_EQ(peer.CanCount(), 10);
    EXPECT_EQ(peer.EotCount(), 0);
    EXPECT_TRUE(trace.Contains("XModemUpload: The upload process was canceled.\n"));
    EXPECT_GE(port.Now() - start, 10u * 100u) << "a 100 ms pause after each CAN";

    // A cancel during failed attempts is noticed after the first of them.
    port.device().TakeWritten();
    XModemReceiverPeer deaf(port.device());
    deaf.Listen();
    deaf.onPacket = [&](const XModemReceiverPeer::Packet&, std::size_t) {
        cancel = 1;
        return std::string();
    };
    cancel = 0;
    EXPECT_FALSE(Send("x", false, &cancel));
    EXPECT_EQ(deaf.Packets().size(), 1u);
    EXPECT_EQ(deaf.CanCount(), 10);
}

TEST_F(XModemUpload, BlockNumbersWrapFrom255To0) {
    const std::string file = RandomBytes(300 * 128, 9);
    EXPECT_TRUE(Send(file, false));
    ASSERT_EQ(peer.Packets().size(), 300u);
    EXPECT_EQ(peer.Packets()[254].number, 255);
    EXPECT_EQ(peer.Packets()[255].number, 0);
    EXPECT_EQ(peer.Packets()[255].complement, 255);
    EXPECT_EQ(peer.Packets()[256].number, 1);
    EXPECT_EQ(peer.Received(), file);
}

TEST_F(XModemUpload, AStalledLineEndsTheTransferAtOnce) {
    port.device().SetWritesBlocked(true);
    test_support::TraceCapture trace;
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(Send(RandomBytes(500, 10), true));
    EXPECT_TRUE(trace.Contains("WriteClustered: ... wrong data size, now aborting.\n"));
    EXPECT_TRUE(trace.Contains("XModemUpload: Write failed!!!\n"));
    EXPECT_EQ(trace.Count("CSerial::WriteTimeout: Ready to write"), 1u)
        << "no piece after the failing one";
    EXPECT_EQ(port.Now() - start, 500u);
}

TEST_F(XModemUpload, AReadErrorIsNotTheEndOfTheFile) {
    if (!platform::testing::kFaultyStreamsAvailable) {
        GTEST_SKIP() << "this C library cannot make a failing stream";
    }
    // The medium fails after 300 bytes: the receiver must not get an EOT
    // that would make the truncated file look complete.
    const std::string head = RandomBytes(300, 11);
    std::FILE* file = Keep(platform::testing::OpenFailingReadStream(head));
    ASSERT_NE(file, nullptr);
    std::setvbuf(file, nullptr, _IONBF, 0);
    test_support::TraceCapture trace;
    EXPECT_FALSE(transfer.XModemUpload(file, &progress, false, nullptr));
    EXPECT_EQ(peer.EotCount(), 0);
    EXPECT_EQ(peer.CanCount(), 10) << "the receiver is told to stop";
    EXPECT_EQ(peer.Received(), head.substr(0, 256)) << "only the whole blocks before the error";
    EXPECT_TRUE(trace.Contains("XModemUpload: Read error on file, aborting.\n"));
}

TEST_F(XModemUpload, TracesTheWayOfOneBlock) {
    test_support::TraceCapture trace;
    EXPECT_TRUE(Send("hello", false));
    const std::string text = trace.Text();
    for (const char* line :
         {"XModemUpload: read 5 bytes from file\n",
          "XModemUpload: writing blk 1 (132 bytes) to com ...\n", "XModemUpload: wrote 132 bytes\n",
          "XModemUpload: char read from com: <0x06> (\x06)\n",
          "XModemUpload: reached end of file\n", "XModemUpload: writing EOT to com ...\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST_F(XModemUpload, EachCallStartsTheCounterAtZero) {
    EXPECT_TRUE(Send(RandomBytes(700, 12), false));
    EXPECT_EQ(progress, 700);
    int seen = -1;
    port.device().OnWrite([&](platform::testing::ScriptedSerial&, const std::string& bytes) {
        if (seen < 0) {
            seen = progress;
        }
        peer.Feed(bytes);
    });
    EXPECT_TRUE(Send(RandomBytes(50, 13), false));
    EXPECT_EQ(seen, 50) << "the second file counts from 0";
}

}  // namespace
