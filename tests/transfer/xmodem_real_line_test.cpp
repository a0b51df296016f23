// The XModem sender and receiver on a simulated UART: a line that stalls
// in the middle of a block, and a device that goes during a transfer.
#include <gtest/gtest.h>

#include "serial/serial.h"
#include "tests/support/random_bytes.h"
#include "tests/support/uart_port.h"
#include "tests/transfer/transfer_fixture.h"
#include "tests/transfer/xmodem_peers.h"

using Loss = platform::testing::SimulatedUart::Loss;
using test_support::XModemPacket;

namespace {

const std::string ACK(1, 0x06), NAK(1, 0x15), EOT(1, 0x04);

class XModemOnARealLine : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
        ASSERT_TRUE(transfer.Attach(&serial, nullptr, nullptr));
    }
    void TearDown() override {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    bool Send(const std::string& content) {
        file = test_support::FileWith(content);
        return transfer.XModemUpload(file, &progress, false, nullptr);
    }

    test_support::UartPort port;
    platform::testing::SimulatedUart& uart = port.uart();
    CSerial serial;
    CXModemTransfer transfer;
    std::FILE* file = nullptr;
    int progress = 0;
};

TEST_F(XModemOnARealLine, ABlockTheLineDoesNotTakeInTimeEndsTheTransferAndNeverGoesOutLater) {
    const std::string content = test_support::RandomBytes(128, 3);
    const std::string packet = XModemPacket(1, content, 128);
    uart.DropCtsAfter(70);  // in the second 64-byte piece
    uart.RaiseCtsAt(port.Now() + 3000);
    EXPECT_FALSE(Send(content));
    port.Advance(10000);
    EXPECT_EQ(uart.Wire(), packet.substr(0, 70)) << "no stale rest, no second copy";
}

TEST_F(XModemOnARealLine, ALineThatStallsBrieflyInABlockLosesNothing) {
    const std::string content = test_support::RandomBytes(128, 4);
    const std::string packet = XModemPacket(1, content, 128);
    uart.DropCtsAfter(70);
    uart.RaiseCtsAt(port.Now() + 300);
    uart.AnswerWhenCarried(packet.size(), ACK);
    uart.AnswerWhenCarried(packet.size() + 1, ACK);
    EXPECT_TRUE(Send(content));
    EXPECT_EQ(uart.Wire(), packet + EOT);
}

TEST_F(XModemOnARealLine, TheSenderEndsAtOnceWhenTheDeviceGoesWhileItWaitsForTheReply) {
    const std::string content = test_support::RandomBytes(128, 5);
    const std::uint64_t start = port.Now();
    uart.VanishAt(start + 1000, Loss::kHangUp);
    EXPECT_FALSE(Send(content));
    EXPECT_LE(port.Now() - start, 1010u) << "no further attempts after the 4 s reply wait";
    EXPECT_EQ(uart.Wire(), XModemPacket(1, content, 128)) << "no cancel bytes";
}

TEST_F(XModemOnARealLine, TheReceiverEndsAtOnceWhenTheDeviceGoesInTheMiddleOfABlock) {
    const std::string packet = XModemPacket(1, test_support::RandomBytes(1024, 6), 1024);
    uart.AnswerWhenCarried(1, packet.substr(0, 500));
    const std::uint64_t start = port.Now();
    uart.VanishAt(start + 50, Loss::kHangUp);  // before the block's 100 ms gap ends
    file = std::tmpfile();
    char cancel = 0;
    EXPECT_FALSE(transfer.XModemDownload(file, &progress, 1024, &cancel));
    EXPECT_LE(port.Now() - start, 60u) << "not the 102.8 s block read, nor 11 of them";
    EXPECT_EQ(uart.Wire(), NAK) << "only the start NAK: no re-requests, no cancel bytes";
    EXPECT_EQ(test_support::ContentOf(file), "");
}

}  // namespace
