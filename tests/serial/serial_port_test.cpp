// The port operations of CSerial on a scripted device and a virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/serial_device.h"
#include "platform/serial_port.h"
#include "serial/serial.h"
#include "tests/support/line_setting.h"
#include "tests/support/scripted_port.h"
#include "tests/support/trace_capture.h"

using test_support::ScriptedPort;

namespace {

TEST(SerialPort, OpenSetsTheFixedLineSettingAndPulsesDtr) {
    ScriptedPort port;
    CSerial serial;
    ASSERT_TRUE(serial.SetPortName(port.name()));
    ASSERT_TRUE(serial.Open());

    DCB dcb = port.device().Settings();
    test_support::ExpectFixedLineSetting(dcb);
    // DTR and RTS control keep what the driver had.
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);

    std::vector<std::string> events = port.device().Events();
    std::vector<std::uint64_t> times = port.device().EventTimes();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], "open");
    EXPECT_EQ(events[events.size() - 3], "dtr 1");
    EXPECT_EQ(events[events.size() - 2], "dtr 0");
    EXPECT_EQ(events[events.size() - 1], "dtr 1");
    EXPECT_EQ(times[times.size() - 1] - times[times.size() - 2], 20u) << "DTR drops for 20 ms";
    EXPECT_TRUE(port.device().Dtr());
}

TEST(SerialPort, OpenTracesTheLineSettingFound) {
    ScriptedPort port;
    test_support::TraceCapture trace;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    EXPECT_TRUE(trace.Contains("CSerial::Open: <SCRIPTED1>\n"));
    EXPECT_TRUE(trace.Contains("\t\tCurrent baud rate          : 9600 - changed to 115200\n"));
    EXPECT_TRUE(trace.Contains("\t\tNumber of bits/byte, 4-8   : 7 - changed to 8\n"));
    EXPECT_TRUE(trace.Contains("\t\tTx and Rx XOFF character   : 19 - unchanged\n"));
    EXPECT_TRUE(trace.Contains("\t\tReserved; do not use       : 0 - unchanged\n"));
}

TEST(SerialPort, EmptyNameIsRefusedAndOpenFails) {
    CSerial serial;
    EXPECT_FALSE(serial.SetPortName(""));
    EXPECT_EQ(serial.PortName(), "");
    EXPECT_FALSE(serial.Open());
    EXPECT_FALSE(serial.IsOpen());
}

TEST(SerialPort, OpeningAnOpenPortClosesItFirst) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    ASSERT_TRUE(serial.Open());
    std::vector<std::string> events = port.device().Events();
    int opens = 0, closes = 0;
    for (const std::string& e : events) {
        opens += e == "open";
        closes += e == "close";
    }
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(serial.IsOpen());
}

TEST(SerialPort, ABusyPortFailsToOpenWithItsReason) {
    ScriptedPort port;
    CSerial first, second;
    first.SetPortName(port.name());
    second.SetPortName(port.name());
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()),
              "the port is in use by another program");
    first.Close();
    EXPECT_TRUE(second.Open());
}

TEST(SerialPort, CloseTwiceReportsTheSecondAsAlreadyClosed) {
    ScriptedPort port;
    test_support::TraceCapture trace;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    EXPECT_TRUE(serial.Close());
    EXPECT_FALSE(serial.Close());
    EXPECT_TRUE(trace.Contains("CSerial::Close: <SCRIPTED1> already closed!\n"));
    EXPECT_EQ(serial.PortName(), port.name()) << "the name survives Close";
    EXPECT_TRUE(serial.Open());
}

TEST(SerialPort, WriteCountZeroOrTooLargeWritesTheWholeString) {
    ScriptedPort port;
    port.modem().silent = true;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    EXPECT_EQ(serial.Write("hello", 0), 5u);
    EXPECT_EQ(serial.Write("world", 99), 5u);
    EXPECT_EQ(serial.Write("xyz", 1), 1u);
    EXPECT_EQ(port.device().Written(), "helloworldx");
    // Every byte value passes, NUL included.
    std::string binary("\x00\x15\xff\x1a", 4);
    EXPECT_EQ(serial.Write(binary, 0), 4u);
    EXPECT_EQ(port.device().Written().substr(11), binary);
}

TEST(SerialPort, ReadReplacesTheOutputAndReadAllAppendsChunks) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    std::string out = "old";
    port.device().Deliver("abc");
    EXPECT_EQ(serial.ReadTimeout(out, 10, 100, 0), 3u);
    EXPECT_EQ(out, "abc");

    test_support::TraceCapture trace;
    port.device().Deliver(std::string(600, 'x'));
    out = "stale";
    EXPECT_EQ(serial.ReadAll(out, 1000, 50), 600u);
    EXPECT_EQ(out, std::string(600, 'x'));
    EXPECT_EQ(trace.Count("CSerial::ReadTimeout: 256 bytes read\n"), 2u);
    EXPECT_EQ(trace.Count("CSerial::ReadTimeout: 88 bytes read\n"), 1u);
}

TEST(SerialPort, ReadAllWithNoTimeReadsNothing) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    port.device().Deliver("waiting");
    std::string out = "x";
    EXPECT_EQ(serial.ReadAll(out, 0, 10), 0u);
    EXPECT_EQ(out, "");
}

TEST(SerialPort, ReadTimeoutEndsOnTheGapAfterTheFirstByteOrOnTheTotal) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    std::string out;

    // Bytes 50 ms apart pass a 100 ms gap limit.
    port.device().Deliver("abcd", 10, 50);
    EXPECT_EQ(serial.ReadTimeout(out, 10, 5000, 100), 4u);
    EXPECT_EQ(out, "abcd");

    // A pause of 300 ms ends the read after the first part.
    port.device().Deliver("ab", 10, 10);
    port.device().Deliver("cd", 300);
    std::uint64_t start = port.Now();
    EXPECT_EQ(serial.ReadTimeout(out, 10, 5000, 100), 2u);
    EXPECT_EQ(out, "ab");
    EXPECT_LT(port.Now() - start, 300u);
    EXPECT_EQ(serial.ReadTimeout(out, 10, 5000, 100), 2u);

    // Nothing at all: the total limit, and the gap does not count before
    // the first byte.
    start = port.Now();
    EXPECT_EQ(serial.ReadTimeout(out, 1, 700, 100), 0u);
    EXPECT_EQ(port.Now() - start, 700u);
    EXPECT_EQ(out, "");
}

TEST(SerialPort, TimeoutsAreRestoredAfterTimedReadsAndWrites) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    COMMTIMEOUTS before{};
    ASSERT_TRUE(platform::GetCommTimeouts(serial.Handle(), &before));
    EXPECT_EQ(before.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(before.WriteTotalTimeoutConstant, 2000u);
    std::string out;
    serial.ReadTimeout(out, 5, 30, 7);
    serial.WriteTimeout("abc", 3, 40);
    COMMTIMEOUTS after{};
    ASSERT_TRUE(platform::GetCommTimeouts(serial.Handle(), &after));
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
}

TEST(SerialPort, ABlockedWriteEndsAtItsTimeoutWithNothingWritten) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    port.device().SetWritesBlocked(true);
    std::uint64_t start = port.Now();
    EXPECT_EQ(serial.WriteTimeout("abc", 3, 250), 0u);
    EXPECT_EQ(port.Now() - start, 250u);
}

TEST(SerialPort, OperationsOnAClosedOrVanishedPortFailCleanly) {
    ScriptedPort port;
    CSerial serial;
    std::string out = "x";
    EXPECT_FALSE(serial.QueryInbuff());
    EXPECT_EQ(serial.Read(out, 4), 0u);
    EXPECT_EQ(serial.Write("abc", 0), 0u);
    EXPECT_TRUE(serial.ClearInput(0)) << "nothing to purge when closed";

    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    test_support::TraceCapture trace;
    port.device().Deliver("late", 50);
    port.device().Vanish();
    EXPECT_EQ(serial.ReadTimeout(out, 4, 1000, 0), 0u);
    EXPECT_TRUE(trace.Contains("CSerial::Read: Critial Error: "));
    EXPECT_EQ(serial.Write("abc", 0), 0u);
    EXPECT_TRUE(trace.Contains("CSerial::Write: Critial Error: "));
}

TEST(SerialPort, ClearInputWaitsThenPurgesWhatArrivedMeanwhile) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    port.device().Deliver("noise", 100);
    port.device().Deliver("later", 400);
    EXPECT_TRUE(serial.ClearInput(300));
    std::string out;
    EXPECT_EQ(serial.ReadTimeout(out, 10, 500, 0), 5u);
    EXPECT_EQ(out, "later");
}

TEST(SerialPort, PulseDtrReportsTheFinalRaise) {
    ScriptedPort port;
    CSerial serial;
    serial.SetPortName(port.name());
    ASSERT_TRUE(serial.Open());
    EXPECT_TRUE(serial.PulseDTR(50));
    port.device().SetFailDtr(true);
    EXPECT_FALSE(serial.PulseDTR(50));
}

// A device whose driver keeps the time-outs (a Windows communications
// handle): CSerial's calls reach it as they are.
class DriverDevice : public platform::SerialDevice, public platform::SerialDevice::DriverTimeouts {
  public:
    std::size_t Available() override { return input.size(); }
    bool WaitReadable(DWORD) override { return !input.empty(); }
    long ReadSome(void*, std::size_t) override { return 0; }
    bool WaitWritable(DWORD) override { return true; }
    long WriteSome(const void*, std::size_t) override { return 0; }
    bool GetSettings(DCB& dcb) override {
        dcb = settings;
        return true;
    }
    bool SetSettings(const DCB& dcb) override {
        settings = dcb;
        return true;
    }
    bool Purge(DWORD) override { return true; }
    bool SetDtr(bool) override { return true; }
    void Close() override {}
    platform::SerialDevice::DriverTimeouts* Driver() override { return this; }

    bool GetTimeouts(COMMTIMEOUTS* t) override {
        *t = timeouts;
        return true;
    }
    bool SetTimeouts(const COMMTIMEOUTS& t) override {
        timeouts = t;
        set.push_back(t);
        return true;
    }
    bool Read(void* buffer, DWORD count, DWORD* done) override {
        readUnder.push_back(timeouts);
        *done = static_cast<DWORD>(std::min<std::size_t>(count, input.size()));
        std::memcpy(buffer, input.data(), *done);
        input.erase(0, *done);
        return true;
    }
    bool Write(const void* data, DWORD count, DWORD* done) override {
        writtenUnder.push_back(timeouts);
        // The driver's time-out ends the write after two bytes.
        *done = std::min<DWORD>(count, 2);
        written.append(static_cast<const char*>(data), *done);
        return true;
    }

    DCB settings{};
    COMMTIMEOUTS timeouts{0, 0, 0, 0, 0};  // what this driver starts with
    std::vector<COMMTIMEOUTS> set, readUnder, writtenUnder;
    std::string input, written;
};

bool Same(const COMMTIMEOUTS& a, const COMMTIMEOUTS& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SerialPort, ADriverThatKeepsTheTimeoutsGetsThemExactlyAsSetAndDoesTheIo) {
    auto device = std::make_shared<DriverDevice>();
    device->timeouts = COMMTIMEOUTS{7, 8, 9, 0, 0};
    platform::RegisterSerialDevice("DRIVER1", device);
    CSerial serial;
    serial.SetPortName("DRIVER1");
    ASSERT_TRUE(serial.Open());
    // Open keeps the driver's read time-outs and sets the write time-outs.
    ASSERT_EQ(device->set.size(), 1u);
    EXPECT_TRUE(Same(device->set[0], COMMTIMEOUTS{7, 8, 9, 100, 2000}));

    device->input = "OK\r\n";
    std::string out;
    EXPECT_EQ(serial.ReadTimeout(out, 10, 500, 30), 4u);
    EXPECT_EQ(out, "OK\r\n");
    ASSERT_EQ(device->readUnder.size(), 1u);
    EXPECT_TRUE(Same(device->readUnder[0], COMMTIMEOUTS{30, 0, 500, 100, 2000}));
    EXPECT_EQ(serial.WriteTimeout("AT&F", 0, 100), 2u) << "the driver's count";
    EXPECT_EQ(device->written, "AT");
    ASSERT_EQ(device->writtenUnder.size(), 1u);
    EXPECT_TRUE(Same(device->writtenUnder[0], COMMTIMEOUTS{7, 8, 9, 0, 100}));
    EXPECT_TRUE(Same(device->timeouts, COMMTIMEOUTS{7, 8, 9, 100, 2000})) << "restored";
    serial.Close();
    platform::UnregisterSerialDevice("DRIVER1");
}

}  // namespace
