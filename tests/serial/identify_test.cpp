// Modem identification against scripted modems.
#include <gtest/gtest.h>

#include "serial/identify.h"
#include "serial/serial.h"
#include "tests/support/scripted_port.h"

using test_support::ScriptedPort;

namespace {

class Identify : public ::testing::Test {
  protected:
    void SetUp() override {
        port.modem().AnswerOk("AT&F");
        port.modem().AnswerOk("ATI3", "Firmware 1.00 (build 12)");
        port.modem().AnswerOk("ATI5", "S0=0 S1=0");
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
    }
    ScriptedPort port;
    CSerial serial;
};

TEST_F(Identify, ReadsModelAndInformationPages) {
    port.modem().AnswerOk("AT+GMM", "+GMM: ORVA 56K Serial");
    std::string model, ati3, ati5;
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, &model, &ati3, &ati5));
    EXPECT_EQ(model, "ORVA 56K Serial");
    EXPECT_EQ(ati3, "\r\nFirmware 1.00 (build 12)\r\n\r\nOK\r\n") << "ATI3 keeps the raw answer";
    EXPECT_EQ(ati5, "\r\nS0=0 S1=0\r\n\r\nOK\r\n");
    std::vector<std::string> expected = {"AT&F", "AT+GMM", "ATI3", "ATI5"};
    EXPECT_EQ(port.modem().Commands(), expected);
}

TEST_F(Identify, FallsBackToGmm9WhenGmmFails) {
    port.modem().AnswerError("AT+GMM");
    port.modem().AnswerOk("AT+GMM9", "+GMM9: Varrona Box");
    std::string model;
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "Varrona Box");
}

TEST_F(Identify, BothModelCommandsFailingFailsTheCall) {
    port.modem().AnswerError("AT+GMM");
    port.modem().AnswerError("AT+GMM9");
    std::string model = "before";
    EXPECT_FALSE(IdentifyModem(&serial, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "before");
}

TEST_F(Identify, QuotedNamesLoseTheirQuotesAndNamesWithOkKeepThem) {
    port.modem().AnswerOk("AT+GMM", "+GMM: \"OKAPI 56K\"");
    std::string model;
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "OKAPI 56K");
}

TEST_F(Identify, WithoutOutputsOnlyTheFactoryResetIsSent) {
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(port.modem().Commands(), std::vector<std::string>{"AT&F"});
    port.modem().AnswerError("AT&F");
    EXPECT_FALSE(IdentifyModem(&serial, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(Identify, AnAti3ErrorFailsButAnAti5ErrorDoesNot) {
    port.modem().AnswerOk("AT+GMM", "+GMM: X1");
    port.modem().AnswerError("ATI5");
    std::string model, ati3, ati5;
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, &model, &ati3, &ati5));
    EXPECT_EQ(ati5, "\r\nERROR\r\n");
    port.modem().AnswerError("ATI3");
    EXPECT_FALSE(IdentifyModem(&serial, nullptr, &model, &ati3, nullptr));
}

TEST_F(Identify, ASetCancelByteSendsNothing) {
    char cancel = 1;
    port.device().TakeWritten();
    EXPECT_FALSE(IdentifyModem(&serial, &cancel, nullptr, nullptr, nullptr));
    EXPECT_EQ(port.device().Written(), "");
}

TEST_F(Identify, TheFactoryResetIsPrecededByAHalfSecondWaitAndPurge) {
    port.device().Deliver("RING\r\n", 100);  // noise before the identification
    std::string model;
    port.modem().AnswerOk("AT+GMM", "+GMM: X2");
    EXPECT_TRUE(IdentifyModem(&serial, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "X2");
}

}  // namespace
