// CSerial on what real lines do and a pseudo-terminal cannot show: an
// output queue the line drains at its speed, CTS stalls, system calls
// interrupted or cut short, an adapter that keeps what a flush cannot take
// back, and a device that goes. Played at the device's system calls on a
// virtual clock.
#include <gtest/gtest.h>

#include <functional>

#include "serial/serial.h"
#include "tests/support/trace_capture.h"
#include "tests/support/uart_port.h"

using platform::testing::SimulatedUart;
using Loss = platform::testing::SimulatedUart::Loss;

namespace {

std::string Bytes(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    }
    return bytes;
}

class RealLine : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
    }

    test_support::UartPort port;
    SimulatedUart& uart = port.uart();
    CSerial serial;
};

// One write of a piece under its time-out, on lines that behave differently.
struct WriteCase {
    const char* name;
    std::size_t size;
    DWORD timeoutMs;
    std::function<void(SimulatedUart&, std::uint64_t now)> line;
    DWORD carried;          // what the write returns, and all the wire ever gets
    std::size_t flushed;    // what was discarded
    std::uint64_t leastMs;  // the write took at least ...
    std::uint64_t mostMs;   // ... and at most this long
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class RealLineWrite : public RealLine, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(RealLineWrite, CountsWhatTheLineCarriedAndNothingStaleGoesOutLater) {
    const WriteCase& c = GetParam();
    const std::string data = Bytes(c.size);
    const std::uint64_t start = port.Now();
    c.line(uart, start);
    EXPECT_EQ(serial.WriteTimeout(data, static_cast<DWORD>(c.size), c.timeoutMs), c.carried);
    const std::uint64_t took = port.Now() - start;
    EXPECT_GE(took, c.leastMs);
    EXPECT_LE(took, c.mostMs);
    EXPECT_EQ(uart.Flushed(), data.substr(c.carried, c.flushed));
    EXPECT_EQ(uart.Queued(), 0u);
    uart.SetCts(true);  // the line moves again, long after the write gave up
    port.Advance(5000);
    EXPECT_EQ(uart.Wire(), data.substr(0, c.carried));
}

// 64 bytes at 115200 bit/s take 5.6 ms of line time.
INSTANTIATE_TEST_SUITE_P(
    Lines, RealLineWrite,
    ::testing::Values(
        WriteCase{"Moving", 64, 500, [](SimulatedUart&, std::uint64_t) {}, 64, 0, 5, 10},
        WriteCase{"StalledByCts", 64, 500, [](SimulatedUart& u, std::uint64_t) { u.SetCts(false); },
                  0, 64, 500, 500},
        WriteCase{"TakesHalfAPiece", 64, 500,
                  [](SimulatedUart& u, std::uint64_t) { u.DropCtsAfter(32); }, 32, 32, 500, 500},
        WriteCase{"StallsAndResumesInTime", 64, 500,
                  [](SimulatedUart& u, std::uint64_t now) {
                      u.SetCts(false);
                      u.RaiseCtsAt(now + 200);
                  },
                  64, 0, 205, 215},
        WriteCase{"ResumesTooLate", 64, 500,
                  [](SimulatedUart& u, std::uint64_t now) {
                      u.SetCts(false);
                      u.RaiseCtsAt(now + 800);
                  },
                  0, 64, 500, 500},
        WriteCase{"InterruptedAndShortWrites", 64, 500,
                  [](SimulatedUart& u, std::uint64_t) {
                      u.LimitWrites(10);
                      u.InterruptNext(2, 2, 0);
                  },
                  64, 0, 5, 12},
        // 6000 bytes do not fit the 4096-byte queue: the write waits for room.
        WriteCase{"MoreThanTheQueueHolds", 6000, 1000, [](SimulatedUart&, std::uint64_t) {}, 6000,
                  0, 515, 560}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST_F(RealLine, ClosingAStalledPortDoesNotWaitForTheDriver) {
    // Bytes already in the adapter survive the flush; the driver would hold
    // the close for its closing time while CTS keeps them in.
    uart.SetCts(false);
    uart.KeepOnFlush(16);
    const std::string data = Bytes(64);
    EXPECT_EQ(serial.WriteTimeout(data, 64, 500), 0u);
    EXPECT_EQ(uart.Flushed(), data.substr(16));
    const std::uint64_t start = port.Now();
    EXPECT_TRUE(serial.Close());
    EXPECT_LT(port.Now() - start, 100u);
    EXPECT_TRUE(uart.Closed());
    EXPECT_FALSE(uart.CtsFlowAtClose()) << "flow control is dropped for what cannot be withdrawn";
    EXPECT_EQ(uart.Wire(), data.substr(0, 16));
}

// A device that goes while a read waits for 5 s, in each of the ways the
// system reports it.
class LostDevice : public RealLine, public ::testing::WithParamInterface<Loss> {};

TEST_P(LostDevice, TheReadFailsAtOnceAndEverythingAfterItToo) {
    test_support::TraceCapture trace;
    const std::uint64_t start = port.Now();
    uart.VanishAt(start + 300, GetParam());
    std::string out = "x";
    EXPECT_EQ(serial.ReadTimeout(out, 10, 5000, 0), 0u);
    EXPECT_EQ(port.Now() - start, 300u);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(serial.DeviceGone());
    EXPECT_TRUE(trace.Contains("CSerial::Read: The device <UART1> is gone.\n")) << trace.Text();

    EXPECT_FALSE(serial.QueryInbuff());
    EXPECT_EQ(serial.WriteTimeout("AT", 2, 100), 0u);
    EXPECT_EQ(serial.ReadTimeout(out, 1, 1000, 0), 0u);
    EXPECT_EQ(port.Now() - start, 300u) << "nothing waits on a device that has gone";
    EXPECT_TRUE(serial.Close());
}

std::string LossName(const ::testing::TestParamInfo<Loss>& info) {
    static const char* const names[] = {"HangUp", "EndOfFile", "EIO", "ENXIO", "ENODEV"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, LostDevice,
                         ::testing::Values(Loss::kHangUp, Loss::kEndOfFile, Loss::kIoError,
                                           Loss::kNoAddress, Loss::kNoDevice),
                         LossName);

TEST_F(RealLine, AWorkingPortThatHasNotAnsweredIsNotGone) {
    std::string out;
    EXPECT_EQ(serial.ReadTimeout(out, 1, 200, 0), 0u);
    EXPECT_FALSE(serial.DeviceGone());
}

// The engine's waits end when the device goes, not at their time-outs.
struct WaitCase {
    const char* name;
    std::function<bool(CSerial&)> wait;
};

void PrintTo(const WaitCase& c, std::ostream* os) {
    *os << c.name;
}

class LostDeviceWhileWaiting : public RealLine, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(LostDeviceWhileWaiting, TheWaitFailsAtOnce) {
    const std::uint64_t start = port.Now();
    uart.VanishAt(start + 50, Loss::kHangUp);
    EXPECT_FALSE(GetParam().wait(serial));
    EXPECT_LE(port.Now() - start, 60u);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, LostDeviceWhileWaiting,
    ::testing::Values(
        // No echo to wait for: the request goes straight to the 60 s answer wait.
        WaitCase{"RequestAnswer",
                 [](CSerial& s) {
                     return s.Request("AT$JDIR", nullptr, REQUEST_IGNORE_ECHO | REQUEST_NO_CR,
                                      nullptr, 60000, 3);
                 }},
        WaitCase{"RequestEcho",
                 [](CSerial& s) { return s.Request("AT", nullptr, 0, nullptr, 60000, 0); }},
        WaitCase{"WaitFor", [](CSerial& s) { return s.WaitFor("OK", nullptr, 10000); }},
        WaitCase{"UploadCheckBaudrate", [](CSerial& s) { return s.UploadCheckBaudrate(); }}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return info.param.name; });

// Open asks a USB adapter for low latency and Close puts back what Open
// found, whatever the driver makes of the request.
struct LatencyCase {
    const char* name;
    SimulatedUart::Adapter adapter;
    bool onBefore;          // the driver's flag before the open
    bool onWhileOpen;       // ... while the port is open
    int changes;            // TIOCSSERIAL calls over one open and close
    const char* openTrace;  // what the trace says about it at the open (nullptr: nothing)
    bool closeTrace;        // "switched off again" at the close
};

void PrintTo(const LatencyCase& c, std::ostream* os) {
    *os << c.name;
}

class LowLatencyMode : public ::testing::TestWithParam<LatencyCase> {};

TEST_P(LowLatencyMode, IsAskedForAtOpenAndPutBackAtClose) {
    const LatencyCase& c = GetParam();
    test_support::UartPort port;
    SimulatedUart& uart = port.uart();
    uart.SetAdapter(c.adapter, c.onBefore);
    CSerial serial;
    serial.SetPortName(port.name());
    for (int open = 1; open <= 2; ++open) {  // a second open asks again
        test_support::TraceCapture trace;
        ASSERT_TRUE(serial.Open());
        EXPECT_EQ(uart.LowLatencyOn(), c.onWhileOpen) << "open " << open;
        const std::string prefix = "CSerial::Open: <UART1>: ";
        if (c.openTrace != nullptr) {
            EXPECT_TRUE(trace.Contains(prefix + c.openTrace)) << trace.Text();
        } else {
            EXPECT_FALSE(trace.Contains("low latency")) << trace.Text();
        }
        ASSERT_TRUE(serial.Close());
        EXPECT_EQ(uart.LowLatencyOn(), c.onBefore) << "the close puts back what the open found";
        EXPECT_EQ(trace.Contains("CSerial::Close: <UART1>: low latency mode switched off again"),
                  c.closeTrace);
        EXPECT_EQ(uart.SerialSettingsChanges(), c.changes * open);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, LowLatencyMode,
    ::testing::Values(
        LatencyCase{"Offered", SimulatedUart::Adapter::kLowLatency, false, true, 2,
                    "low latency mode switched on", true},
        LatencyCase{"OnAlready", SimulatedUart::Adapter::kLowLatency, true, true, 0,
                    "low latency mode is on already", false},
        LatencyCase{"Refused", SimulatedUart::Adapter::kRefusing, false, false, 0,
                    "the driver refuses low latency mode (Operation not permitted); the latency "
                    "timer is left as it is",
                    false},
        LatencyCase{"NoSerialSettings", SimulatedUart::Adapter::kNoSettings, false, false, 0,
                    "the driver refuses low latency mode (Operation not supported)", false},
        LatencyCase{"TakenButNotKept", SimulatedUart::Adapter::kForgetting, false, false, 1,
                    "the driver refuses low latency mode (Operation not supported)", false},
        // A UART on the board and a pseudo-terminal are no USB adapters:
        // their settings are not touched at all.
        LatencyCase{"NotUsb", SimulatedUart::Adapter::kNotUsb, false, false, 0, nullptr, false}),
    [](const ::testing::TestParamInfo<LatencyCase>& info) { return info.param.name; });

}  // namespace
