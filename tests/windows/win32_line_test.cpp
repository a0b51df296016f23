// CSerial on a COM port of Windows (under wine: the pseudo-terminal of the
// modem simulator that windows_e2e_tests starts before it runs this
// program; WIZARD_WINE_PORT names the port). Reads and writes are the
// driver's ReadFile and WriteFile under the time-outs CSerial sets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "tests/support/line_setting.h"

namespace {

std::string Port() {
    const char* port = std::getenv("WIZARD_WINE_PORT");
    return port != nullptr ? port : "COM5";
}

class Line : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(Port());
        ASSERT_TRUE(serial.Open())
            << Port() << ": " << platform::ErrorText(platform::GetLastError());
    }
    CSerial serial;
};

TEST_F(Line, OpenLeavesTheFixedLineSettingAndTheWriteTimeouts) {
    DCB dcb{};
    ASSERT_TRUE(platform::GetCommState(serial.Handle(), &dcb));
    test_support::ExpectFixedLineSetting(dcb);
    EXPECT_EQ(dcb.fBinary, 1u);
    COMMTIMEOUTS timeouts{};
    ASSERT_TRUE(platform::GetCommTimeouts(serial.Handle(), &timeouts));
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 2000u);
}

TEST_F(Line, ASecondOpenOfTheSamePortIsRefusedAsBusy) {
    CSerial second;
    second.SetPortName(Port());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()),
              "the port is in use by another program");
    serial.Close();
    EXPECT_TRUE(second.Open()) << "free once closed";
}

TEST_F(Line, AnAnswerEndsTheRequestAtItsGapNotAtItsTimeout) {
    const DWORD start = platform::GetTickCount();
    std::string answer;
    ASSERT_TRUE(serial.Request("AT", &answer, 0, nullptr, 5000, 0)) << answer;
    EXPECT_LT(platform::GetTickCount() - start, 2500u)
        << "the answer's read ends 250 ms after its last byte";
    std::string model;
    ASSERT_TRUE(IdentifyModem(&serial, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "ORVA 56K Serial");
}

TEST_F(Line, ATimedReadReturnsWhatCameWithinItsTime) {
    std::string bytes;
    const DWORD start = platform::GetTickCount();
    EXPECT_EQ(serial.ReadTimeout(bytes, 10, 400, 0), 0u) << "the modem says nothing unasked";
    EXPECT_GE(platform::GetTickCount() - start, 350u);
    EXPECT_EQ(serial.WriteTimeout("ATI3\r", 0, 1000), 5u);
    std::string text;
    EXPECT_GT(serial.ReadAll(text, 3000, 300), 0u);
    EXPECT_NE(text.find("Firmware"), std::string::npos) << text;
    EXPECT_NE(text.find("OK\r\n"), std::string::npos) << text;
}

// With the simulator's answers held back: the whole wait is spent in the
// driver, not in a loop.
TEST_F(Line, UnansweredRequestWaitsItsTimeAtNoCost) {
    const DWORD cpuBefore = platform::ProcessCpuMilliseconds();
    const DWORD start = platform::GetTickCount();
    EXPECT_FALSE(serial.Request("AT", nullptr, 0, nullptr, 5000, 0));
    const DWORD elapsed = platform::GetTickCount() - start;
    const DWORD cpu = platform::ProcessCpuMilliseconds() - cpuBefore;
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 8000u);
    EXPECT_LT(cpu, 50u) << "processor time of a " << elapsed << " ms wait";
}

}  // namespace
