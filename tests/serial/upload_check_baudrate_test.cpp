// The loader speed check against a scripted loader that sends NAK at its
// own speed; bytes read at another speed arrive as noise.
#include <gtest/gtest.h>

#include "serial/serial.h"
#include "tests/support/scripted_port.h"
#include "tests/support/trace_capture.h"

using test_support::ScriptedPort;

namespace {

class UploadCheckBaudrate : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
        eventsAtStart = port.device().Events().size();
    }
    // A loader that sends NAK every 300 ms for a minute at loaderSpeed.
    void StartLoader(DWORD loaderSpeed) {
        port.device().SetPeerSpeed(loaderSpeed);
        for (DWORD i = 1; i <= 200; ++i) {
            port.device().Deliver("\x15", 300 * i);
        }
    }
    std::vector<std::string> SpeedChanges() {
        std::vector<std::string> changes;
        std::vector<std::string> events = port.device().Events();
        for (std::size_t i = eventsAtStart; i < events.size(); ++i) {
            if (events[i].rfind("speed ", 0) == 0) {
                changes.push_back(events[i]);
            }
        }
        return changes;
    }
    std::size_t eventsAtStart = 0;
    ScriptedPort port;
    CSerial serial;
};

TEST_F(UploadCheckBaudrate, ALoaderAt115200IsFoundWithoutAChange) {
    StartLoader(115200);
    test_support::TraceCapture trace;
    EXPECT_TRUE(serial.UploadCheckBaudrate());
    EXPECT_EQ(port.device().Settings().BaudRate, 115200u);
    EXPECT_TRUE(
        trace.Contains("CSerial::UploadCheckBaudrate: Connection established with 115200 cps\n"));
    EXPECT_TRUE(SpeedChanges().empty());
}

TEST_F(UploadCheckBaudrate, ALoaderAt57600IsFoundAtTheThirdFailedRead) {
    StartLoader(57600);
    EXPECT_TRUE(serial.UploadCheckBaudrate());
    EXPECT_EQ(port.device().Settings().BaudRate, 57600u);
    EXPECT_EQ(SpeedChanges(), std::vector<std::string>{"speed 57600"});
}

TEST_F(UploadCheckBaudrate, ALoaderAt9600TakesSixChangesAtLeastASecondApart) {
    StartLoader(9600);
    test_support::TraceCapture trace;
    EXPECT_TRUE(serial.UploadCheckBaudrate());
    EXPECT_EQ(port.device().Settings().BaudRate, 9600u);
    std::vector<std::string> expected = {"speed 57600", "speed 56000", "speed 38400",
                                         "speed 19200", "speed 14400", "speed 9600"};
    EXPECT_EQ(SpeedChanges(), expected);
    std::vector<std::string> events = port.device().Events();
    std::vector<std::uint64_t> times = port.device().EventTimes();
    std::uint64_t last = 0;
    int seen = 0;
    for (std::size_t i = eventsAtStart; i < events.size(); ++i) {
        if (events[i].rfind("speed ", 0) == 0) {
            if (seen++ > 0) {
                EXPECT_GE(times[i] - last, 1000u) << events[i];
            }
            last = times[i];
        }
    }
    EXPECT_TRUE(trace.Contains("Connection established with 9600 cps"));
    // Other line settings are written back as they were.
    EXPECT_EQ(port.device().Settings().ByteSize, 8);
    EXPECT_EQ(port.device().Settings().fOutxCtsFlow, 1u);
}

TEST_F(UploadCheckBaudrate, AChunkThatDoesNotStartWithNakIsAFailedRead) {
    port.device().Deliver(std::string("x\x15", 2), 100);
    port.device().Deliver(std::string("y\x15", 2), 400);
    port.device().Deliver(std::string("z\x15", 2), 700);
    port.device().Deliver("\x15", 2000);
    EXPECT_TRUE(serial.UploadCheckBaudrate());
    EXPECT_EQ(SpeedChanges(), std::vector<std::string>{"speed 57600"});
}

TEST_F(UploadCheckBaudrate, SilenceFailsAfterTenSecondsWithoutAChange) {
    test_support::TraceCapture trace;
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.UploadCheckBaudrate());
    EXPECT_GE(port.Now() - start, 10000u);
    EXPECT_LE(port.Now() - start, 10020u);
    EXPECT_TRUE(SpeedChanges().empty());
    EXPECT_TRUE(trace.Contains("CSerial::UploadCheckBaudrate: Error: Timeout\n"));
}

TEST_F(UploadCheckBaudrate, NoiseAtEverySpeedEndsAt9600) {
    StartLoader(1200);  // no speed of the list matches
    EXPECT_FALSE(serial.UploadCheckBaudrate());
    EXPECT_EQ(port.device().Settings().BaudRate, 9600u);
    EXPECT_EQ(SpeedChanges().size(), 6u);
}

TEST_F(UploadCheckBaudrate, ALineSettingThatCannotBeChangedEndsTheCheck) {
    StartLoader(57600);
    port.device().SetFailSettings(false, true);
    test_support::TraceCapture trace;
    EXPECT_FALSE(serial.UploadCheckBaudrate());
    EXPECT_TRUE(trace.Contains("CSerial::UploadCheckBaudrate: Error: Could not set comstate!\n"));
    EXPECT_EQ(port.device().Settings().BaudRate, 115200u);
}

}  // namespace
