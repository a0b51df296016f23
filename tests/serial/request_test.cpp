// The AT command engine against a scripted modem on a virtual clock.
#include <gtest/gtest.h>

#include "serial/serial.h"
#include "tests/support/scripted_port.h"
#include "tests/support/trace_capture.h"

using test_support::ScriptedModem;
using test_support::ScriptedPort;

namespace {

class Request : public ::testing::Test {
  protected:
    void SetUp() override {
        serial.SetPortName(port.name());
        ASSERT_TRUE(serial.Open());
        port.device().TakeWritten();
    }
    ScriptedPort port;
    CSerial serial;
};

TEST_F(Request, EchoedCommandAndOkGiveTrueAndTheAnswerAfterTheEchoedCr) {
    std::string answer;
    EXPECT_TRUE(serial.Request("AT", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "\r\nOK\r\n");
    EXPECT_EQ(port.device().Written(), "AT\r");
    EXPECT_EQ(port.modem().Commands(), std::vector<std::string>{"AT"});
}

TEST_F(Request, EchoOffWithIgnoreEchoStartsTheAnswerAfterItsFirstCr) {
    port.modem().echo = false;
    port.modem().AnswerOk("ATI3", "Version 1.00");
    std::string answer;
    EXPECT_TRUE(serial.Request("ATI3", &answer, REQUEST_IGNORE_ECHO, nullptr, 1000, 0));
    EXPECT_EQ(answer, "\nVersion 1.00\r\n\r\nOK\r\n");
    EXPECT_EQ(port.device().Written(), "ATI3\r");
}

TEST_F(Request, EchoOffWithoutIgnoreEchoFailsAfterElevenEchoFailures) {
    port.modem().echo = false;
    test_support::TraceCapture trace;
    std::string answer = "untouched";
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "untouched");
    EXPECT_EQ(port.device().Written(), std::string(11, 'A'))
        << "the first character, eleven times, and no CR";
    EXPECT_EQ(trace.Count("CSerial::Request: No echo return!\n"), 11u);
    EXPECT_TRUE(trace.Contains("CSerial::Request: New Timeout set to: 600 ms\n"));
    EXPECT_FALSE(trace.Contains("CSerial::Request: New Timeout set to: 650 ms\n"));
    EXPECT_TRUE(trace.Contains("CSerial::Request: Error Retries!\n"));
    // Growing echo waits 100, 150 ... 600 ms, and a 300 ms pause after each of the first ten.
    EXPECT_EQ(port.Now() - start, 3850u + 3000u);
}

TEST_F(Request, AWrongEchoRestartsTheCommandFromItsFirstCharacter) {
    int wrong = 1;
    port.modem().echo = false;
    port.device().OnWrite([&](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        for (char c : bytes) {
            if (c == 'T' && wrong-- > 0) {
                dev.Deliver("x", 1);  // a line hit: the echo comes back wrong once
            } else {
                dev.Deliver(std::string(1, c), 1);
            }
        }
        if (bytes == "\r") {
            dev.Deliver(ScriptedModem::Ok(), 5);
        }
    });
    EXPECT_TRUE(serial.Request("AT", nullptr, 0, nullptr, 1000, 0));
    EXPECT_EQ(port.device().Written(), "ATAT\r");
}

// A modem that switched to its loader at the command sends NAKs where the
// echo of the CR belongs: the request fails instead of reading them forever.
TEST_F(Request, BytesThatNeverEndTheEchoFailTheRequestInsteadOfBeingReadForever) {
    port.modem().silent = true;
    port.device().OnWrite([&](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        for (char c : bytes) {
            if (c != '\r') {
                dev.Deliver(std::string(1, c), 1);
            } else {
                dev.Deliver(std::string(100000, '\x15'), 0, 300);  // the loader's NAKs
            }
        }
    });
    const std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT$UPLOAD", nullptr, REQUEST_IGNORE_ANSWER, nullptr, 10000, 0));
    EXPECT_LT(port.Now() - start, 30000u);
}

TEST_F(Request, ErrorAnswerFailsAfterAHalfSecondPauseAndKeepsTheText) {
    port.modem().AnswerError("AT+GMM");
    test_support::TraceCapture trace;
    std::string answer;
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT+GMM", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "\r\nERROR\r\n");
    EXPECT_TRUE(trace.Contains("CSerial::Request: Result: Error -1 \n"));
    // Answer chunk ends after its 250 ms quiet gap; then the 500 ms pause.
    EXPECT_GE(port.Now() - start, 750u);
    EXPECT_LT(port.Now() - start, 1000u);
}

TEST_F(Request, NoCarrierAndNokAreFailures) {
    port.modem().Answer("ATD1", "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(serial.Request("ATD1", nullptr, 0, nullptr, 1000, 0));
    test_support::TraceCapture trace;
    port.modem().Answer("AT&&X", "\r\nNOK1\r\n\r\nOK\r\n");
    std::string answer;
    EXPECT_FALSE(serial.Request("AT&&X", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "\r\nNOK1\r\n\r\nOK\r\n");
    EXPECT_TRUE(trace.Contains("\"NOK\" found"));
    EXPECT_TRUE(trace.Contains("Result: Error -3"));
}

TEST_F(Request, OkWithoutLineEndNeverMatchesAndTheTryEndsAtItsDeadline) {
    port.modem().Answer("AT", "\r\nOK");
    std::string answer;
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT", &answer, 0, nullptr, 2000, 0));
    EXPECT_EQ(answer, "\r\nOK");
    EXPECT_GE(port.Now() - start, 2000u + 500u);
}

TEST_F(Request, SilenceEndsAtTheDeadlineOfEachTryAndRetriesSendAgain) {
    port.modem().AnswerSequence("ATX", {"", "", "\r\nOK\r\n"});
    std::string answer;
    EXPECT_TRUE(serial.Request("ATX", &answer, 0, nullptr, 1000, 2));
    EXPECT_EQ(port.device().Written(), "ATX\rATX\rATX\r");
    EXPECT_EQ(answer, "\r\nOK\r\n");

    port.device().TakeWritten();
    port.modem().AnswerError("ATY");
    EXPECT_FALSE(serial.Request("ATY", &answer, 0, nullptr, 1000, 1));
    EXPECT_EQ(port.device().Written(), "ATY\rATY\r");
}

TEST_F(Request, IgnoreAnswerIsDoneOnceTheCrIsEchoed) {
    port.modem().Answer("AT$UPLOAD", "");
    std::string answer = "untouched";
    EXPECT_TRUE(serial.Request("AT$UPLOAD", &answer, REQUEST_IGNORE_ANSWER, nullptr, 10000, 0));
    EXPECT_EQ(answer, "untouched");
    EXPECT_LT(port.Now(), 1000u + 200u);
}

TEST_F(Request, AMissingLineEndEchoFailsAfterTwoAndAHalfSeconds) {
    port.device().OnWrite([](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        if (bytes != "\r") {
            dev.Deliver(bytes, 1);
        }
    });
    std::string answer = "untouched";
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "untouched");
    EXPECT_GE(port.Now() - start, 2500u);
}

TEST_F(Request, BytesThatNeverHoldALineEndFailWithinFiveSeconds) {
    // A boot loader repeats its NAK every 300 ms and never echoes.
    port.device().OnWrite([](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        if (bytes == "\r") {
            dev.Deliver(std::string(1000, '\x15'), 0, 300);
        }
    });
    std::string answer = "untouched";
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("AT&F", &answer, REQUEST_IGNORE_ECHO, nullptr, 1000, 0));
    EXPECT_EQ(answer, "untouched");
    EXPECT_GE(port.Now() - start, 5000u);
    EXPECT_LT(port.Now() - start, 5000u + 400u);
}

TEST_F(Request, NoCrFlagSendsNoCarriageReturn) {
    port.modem().echo = false;
    port.device().OnWrite([](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        if (bytes == "Z") {
            dev.Deliver("\r\nOK\r\n", 10);
        }
    });
    EXPECT_TRUE(
        serial.Request("Z", nullptr, REQUEST_IGNORE_ECHO | REQUEST_NO_CR, nullptr, 1000, 0));
    EXPECT_EQ(port.device().Written(), "Z");
}

TEST_F(Request, ACancelBeforeTheStartSendsNothing) {
    char cancel = 1;
    test_support::TraceCapture trace;
    EXPECT_FALSE(serial.Request("AT", nullptr, 0, &cancel, 1000, 0));
    EXPECT_EQ(port.device().Written(), "");
    EXPECT_TRUE(trace.Contains("CSerial::Request: Action canceld!\n"));
}

TEST_F(Request, ACancelBetweenCharactersStopsTheCommand) {
    char cancel = 0;
    port.device().OnWrite([&](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        dev.Deliver(bytes, 1);
        if (bytes == "T") {
            cancel = 1;
        }
    });
    EXPECT_FALSE(serial.Request("ATZ", nullptr, 0, &cancel, 1000, 0));
    EXPECT_EQ(port.device().Written(), "AT");
}

TEST_F(Request, ACancelWhileWaitingForTheAnswerEndsItSoon) {
    char cancel = 0;
    port.modem().onCommand = [&](const std::string& command) {
        if (command == "ATDT123") {
            port.device().Deliver("", 0);
            return true;  // no answer at all: a long dial
        }
        return false;
    };
    port.device().OnWrite([&](platform::testing::ScriptedSerial& dev, const std::string& bytes) {
        dev.Deliver(bytes, 1);
        if (bytes == "\r") {
            cancel = 1;
        }
    });
    std::string answer = "untouched";
    test_support::TraceCapture trace;
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.Request("ATDT123", &answer, 0, &cancel, 60000, 3));
    EXPECT_EQ(answer, "untouched");
    EXPECT_TRUE(trace.Contains("CSerial::Request: Action aborted by user!\n"));
    EXPECT_LT(port.Now() - start, 1000u);
}

TEST_F(Request, ScrollModeSendsACarriageReturnEvery250MsWhileNothingArrives) {
    port.modem().answerDelayMs = 1100;
    port.modem().AnswerOk("ATS");
    std::string answer;
    EXPECT_TRUE(serial.Request("ATS", &answer, REQUEST_SCROLL, nullptr, 5000, 0));
    std::string written = port.device().Written();
    ASSERT_EQ(written.substr(0, 4), "ATS\r");
    std::size_t crs = written.size() - 4;
    EXPECT_GE(crs, 3u) << "at 250, 500 and 750 ms at least";
    EXPECT_LE(crs, 5u);
    EXPECT_EQ(written.substr(4), std::string(crs, '\r'));
    EXPECT_NE(answer.find("OK\r\n"), std::string::npos);
}

TEST_F(Request, AFailedWriteEndsTheRequestAtOnce) {
    port.device().SetWritesBlocked(true);
    test_support::TraceCapture trace;
    std::string answer = "untouched";
    EXPECT_FALSE(serial.Request("AT", &answer, REQUEST_IGNORE_ECHO, nullptr, 1000, 5));
    EXPECT_EQ(answer, "untouched");
    EXPECT_EQ(trace.Count("CSerial::Request: Error writing character!\n"), 1u);
}

TEST_F(Request, NullAnswerAndCancelPointersAreAllowed) {
    EXPECT_TRUE(serial.Request("AT", nullptr, 0, nullptr, 1000, 0));
    EXPECT_TRUE(serial.Request("AT", nullptr, REQUEST_IGNORE_ECHO, nullptr, 1000, 0));
}

TEST_F(Request, TheCollectedTextIsPurgedAtTheNextRequest) {
    port.modem().Answer("ATI", "\r\nfirst\r\n\r\nOK\r\nstray bytes");
    std::string answer;
    EXPECT_TRUE(serial.Request("ATI", &answer, 0, nullptr, 1000, 0));
    EXPECT_TRUE(serial.Request("AT", &answer, 0, nullptr, 1000, 0));
    EXPECT_EQ(answer, "\r\nOK\r\n");
}

TEST_F(Request, WaitForFindsTheTextWithoutALineEnd) {
    port.device().Deliver("banner Ver:4.4 OK", 300);
    std::string answer;
    const std::uint64_t start = port.Now();
    EXPECT_TRUE(serial.WaitFor("OK", &answer, 2000));
    EXPECT_EQ(answer, "banner Ver:4.4 OK");
    // A line end that never comes is given up after a short gap.
    EXPECT_LE(port.Now() - start, 300u + 250u);
}

TEST_F(Request, WaitForTimesOutWithWhatCameAndCountsQueuedText) {
    port.device().Deliver("NOK1\r\n", 10);
    std::string answer;
    std::uint64_t start = port.Now();
    EXPECT_FALSE(serial.WaitFor("Ver:", &answer, 2000));
    EXPECT_EQ(answer, "NOK1\r\n");
    EXPECT_EQ(port.Now() - start, 2000u);

    port.device().Deliver("OK");
    port.clock().Advance(50);  // arrived before the call: still queued
    start = port.Now();
    EXPECT_TRUE(serial.WaitFor("OK", nullptr, 10));
    // Found at once; the wait for its line end stays within the time-out.
    EXPECT_LE(port.Now() - start, 10u);
}

// "OK" and its CR LF in separate reads: the line end is part of the answer,
// so it cannot turn up later as the echo of the next command.
TEST_F(Request, WaitForTakesTheLineEndThatFollowsTheTextAndTheNextEchoIsClean) {
    port.device().Deliver("\r\nOK", 5);
    port.device().Deliver("\r\n", 40);
    std::string answer;
    const std::uint64_t start = port.Now();
    EXPECT_TRUE(serial.WaitFor("OK", &answer, 10000));
    EXPECT_EQ(answer, "\r\nOK\r\n");
    EXPECT_LT(port.Now() - start, 300u) << "the line end ends the wait, not the time-out";

    serial.ClearInput(0);
    port.device().TakeWritten();
    EXPECT_TRUE(
        serial.Request("AT$JUPL=\"a.bin\",1", nullptr, REQUEST_IGNORE_ANSWER, nullptr, 1000, 0));
    EXPECT_EQ(port.device().TakeWritten(), "AT$JUPL=\"a.bin\",1\r")
        << "each character once: no echo was spoilt";
}

}  // namespace
