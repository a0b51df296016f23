// The AT interpreter as a host sees it over the pseudo-terminal.
#include <gtest/gtest.h>

#include "raw_port.h"
#include "sim_helpers.h"
#include "tests/support/modemsim_process.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;

TEST(ModemSimAt, EchoesTheCommandThenAnswersOk) {
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_TRUE(sim.WaitForLog("at AT", 2000));
}

TEST(ModemSimAt, EchoOffFromTheStart) {
    ModemSim sim({"--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT"), "\r\nOK\r\n");
}

TEST(ModemSimAt, Ate0AndAte1SwitchEchoAndAtfRestoresTheStartSetting) {
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("ATE1"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(port.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT&F"), "\r\nOK\r\n");
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
}

TEST(ModemSimAt, LowerCaseCommandsAndStrayLineFeeds) {
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("\nat\n\r");
    // Every byte comes back as it was sent; the lone LFs start no command.
    EXPECT_EQ(port.ReadUntil("OK\r\n", 3000), "\nat\n\r\r\nOK\r\n");
}

TEST(ModemSimAt, ModelNameFromGmmAndGmm9) {
    ModemSim sim({"--model", "Test Modem 9"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GMM"), "AT+GMM\r\r\n+GMM: Test Modem 9\r\n\r\nOK\r\n");
    EXPECT_EQ(port.Command("at+gmm9"), "at+gmm9\r\r\n+GMM9: Test Modem 9\r\n\r\nOK\r\n");
    EXPECT_EQ(port.Command("ATI6"), "ATI6\r\r\nTest Modem 9\r\n\r\nOK\r\n");
}

TEST(ModemSimAt, DefaultModelNameIsReal) {
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GMM"), "AT+GMM\r\r\n+GMM: ORVA 56K Serial\r\n\r\nOK\r\n");
}

TEST(ModemSimAt, GmmErrorLeavesOnlyGmm9) {
    ModemSim sim({"--gmm-error", "--model", "M1"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GMM"), "AT+GMM\r\r\nERROR\r\n");
    EXPECT_EQ(port.Command("AT+GMM9"), "AT+GMM9\r\r\n+GMM9: M1\r\n\r\nOK\r\n");
}

TEST(ModemSimAt, QuotedModelName) {
    ModemSim sim({"--gmm-quoted", "--model", "M2"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GMM"), "AT+GMM\r\r\n+GMM: \"M2\"\r\n\r\nOK\r\n");
}

TEST(ModemSimAt, BrandAnswerOnlyWhenGiven) {
    {
        ModemSim sim({"--brand", "ALPHA"});
        RawPort port;
        ASSERT_TRUE(port.Open(sim.PortPath()));
        EXPECT_EQ(port.Command("AT$BRAND?"), "AT$BRAND?\r\r\n$BRAND: ALPHA\r\n\r\nOK\r\n");
    }
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT$BRAND?"), "AT$BRAND?\r\r\nERROR\r\n");
}

TEST(ModemSimAt, Ati3ShowsTheFirmwareVersion) {
    ModemSim sim({"--version", "3.14"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    std::string answer = port.Command("ATI3");
    EXPECT_NE(answer.find("3.14"), std::string::npos) << answer;
    EXPECT_NE(answer.find("\r\nOK\r\n"), std::string::npos) << answer;
    std::string settings = port.Command("ATI5");
    EXPECT_NE(settings.find("\r\n\r\nOK\r\n"), std::string::npos) << settings;
}

TEST(ModemSimAt, DelayedAnswersComeAfterTheImmediateEcho) {
    ModemSim sim({"--answer-delay", "150"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT+GMM9"), "AT+GMM9\r\r\n+GMM9: ORVA 56K Serial\r\n\r\nOK\r\n");
}

TEST(ModemSimAt, UnknownCommandsAndNonCommandsAreErrors) {
    ModemSim sim({"--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("ATX99"), "\r\nERROR\r\n");
    EXPECT_EQ(port.Command("HELLO"), "\r\nERROR\r\n");
    EXPECT_EQ(port.Command("AT$JDIR"), "\r\nERROR\r\n");  // no file store
    EXPECT_EQ(port.Command("AT&&FE"), "\r\nERROR\r\n");   // not a flash modem
}

TEST(ModemSimAt, StrayControlBytesBeforeACommandAreIgnored) {
    ModemSim sim({"--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    // A receiver's NAK left in the line before the next command.
    EXPECT_EQ(port.Command("\x15"
                           "AT"),
              "\r\nOK\r\n");
}

TEST(ModemSimAt, GarbageNeitherCrashesNorWedgesTheModem) {
    ModemSim sim({"--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write(RandomBytes(3000, 7));
    port.Write(std::string(2000, 'A'));  // a line far beyond any command
    port.Write("\r");
    port.ReadFor(500);
    EXPECT_EQ(port.Command("AT"), "\r\nOK\r\n");
    EXPECT_TRUE(sim.Running());
    EXPECT_GE(sim.CountLog("error command line longer"), 1);
}

TEST(ModemSimAt, SilentModemAnswersNothingButHearsEverything) {
    ModemSim sim({"--silent"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("AT\r");
    ASSERT_TRUE(sim.WaitForLog("at AT", 3000));
    EXPECT_EQ(port.ReadFor(300), "");
}

TEST(ModemSimAt, HostAtAnotherSpeedIsNotUnderstood) {
    ModemSim sim({});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath(), 57600));
    port.Write("AT\r");
    // The three bytes arrive as noise: no echo, no answer, no command.
    ASSERT_TRUE(sim.WaitForLog("garbled 3", 3000));
    EXPECT_EQ(port.ReadFor(200), "");
    EXPECT_EQ(sim.CountLog("at AT"), 0);

    ASSERT_TRUE(port.SetSpeed(115200));
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
}

TEST(ModemSimAt, AutobaudingInterpreterAnswersAtAnySpeed) {
    ModemSim sim({"--at-baud", "any"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath(), 19200));
    EXPECT_EQ(port.Command("AT"), "AT\r\r\nOK\r\n");
}

}  // namespace
}  // namespace modemsim_test
