// Sending records and recovering those the loader did not acknowledge.
#include <gtest/gtest.h>

#include "flash_fixture.h"
#include "plugins/flash/acknowledgement.h"
#include "plugins/flash/image_sender.h"
#include "tests/support/intel_hex_image.h"

using flash_test::Line;
using flinta::Acknowledgement;
using flinta::SEND_AS_COMMANDS;
using flinta::SEND_RAW;
using test_support::FlashImage;
using test_support::ImageHeader;

namespace {

// The lines of a HEX text, each with its CR LF.
std::vector<std::string> Lines(const std::string& hex) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < hex.size();) {
        std::size_t end = hex.find("\r\n", at);
        lines.push_back(hex.substr(at, end + 2 - at));
        at = end + 2;
    }
    return lines;
}

class Acknowledgements : public FlashFixture {
  protected:
    Acknowledgement Wait(const std::string& arriving, DWORD delayMs = 10) {
        device_->Deliver(arriving, delayMs);
        start = Now();
        return flinta::WaitForAcknowledgement(&port, &answer, flinta::kRecordTimeoutMs);
    }
    std::string answer;
    std::uint64_t start = 0;
};

TEST_F(Acknowledgements, AnOkIsAnAcknowledgement) {
    EXPECT_EQ(Wait(":10000000 echo\r\n" + Line("OK")), Acknowledgement::kOk);
    EXPECT_EQ(answer, ":10000000 echo\r\n\r\nOK");
}

TEST_F(Acknowledgements, ANegativeAnswerIsARefusalAtOnceNotAnAcknowledgement) {
    for (const char* nok : {"NOK", "NOK1", "NOK2", "NOK3", "NOK4"}) {
        EXPECT_EQ(Wait(Line(nok)), Acknowledgement::kRefused) << nok;
        EXPECT_EQ(answer, "\r\n" + std::string(nok) + "\r") << "read up to its line end";
        EXPECT_LT(Now() - start, 100u) << "no wait for the time-out";
        port.ClearInput(0);
    }
}

TEST_F(Acknowledgements, ARefusalArrivingInPiecesIsStillARefusal) {
    device_->Deliver("\r\nN", 10);
    device_->Deliver("OK3\r\n", 300);
    EXPECT_EQ(flinta::WaitForAcknowledgement(&port, &answer, 2000), Acknowledgement::kRefused);
}

TEST_F(Acknowledgements, SilenceEndsAfterTheTimeOut) {
    EXPECT_EQ(Wait(""), Acknowledgement::kNone);
    EXPECT_EQ(Now() - start, 2000u);
    EXPECT_EQ(Wait("\r\nERROR\r\n"), Acknowledgement::kNone);
    EXPECT_EQ(answer, "\r\nERROR\r\n");
}

class ImageSending : public FlashFixture {
  protected:
    ImageSending() {
        Config("ModemType=USB\n");
        CopyText(status.text, "Loading %d %%");
    }
    // Sends the loader as commands, so that the loader runs.
    void StartLoader(const std::string& loader = test_support::FlashLoaderHex(6)) {
        std::string banner;
        ASSERT_EQ(flinta::SendImage(dir.Write("loader.hex", loader), &banner, SEND_AS_COMMANDS,
                                    line, &port, &status),
                  1)
            << trace.Text();
        ASSERT_NE(banner.find("Ver:4.4"), std::string::npos) << banner;
    }
    int SendFirmware(const std::string& image) {
        return flinta::SendImage(dir.Write("image.hex", image), &answer, SEND_RAW, line, &port,
                                 &status);
    }

    std::string line, answer;
    const std::string image = FlashImage(ImageHeader(0x1234, "55", "10"), 20);
};

TEST_F(ImageSending, TheLoaderGoesAsCommandsRecordByRecord) {
    const std::string loader = test_support::FlashLoaderHex(8);
    StartLoader(loader);
    std::vector<std::string> expected;
    for (const std::string& record : Lines(loader)) {
        expected.push_back("at&&f" + record);
    }
    EXPECT_EQ(modem.loaderLines, expected);
    EXPECT_EQ(status.total, static_cast<std::int32_t>(loader.size()));
    EXPECT_EQ(status.done, status.total);
    EXPECT_EQ(line, expected.back());
}

TEST_F(ImageSending, TheFirmwareGoesRawAndEveryRecordIsProgrammed) {
    StartLoader();
    status.done = 0;
    EXPECT_EQ(SendFirmware(image), 1) << trace.Text();
    EXPECT_EQ(modem.firmwareLines, Lines(image));
    EXPECT_EQ(modem.programmed, image);
    EXPECT_EQ(status.total, static_cast<std::int32_t>(image.size()));
    EXPECT_EQ(status.done, status.total);
    EXPECT_TRUE(trace.Contains("download success"));
}

TEST_F(ImageSending, ARefusedRecordIsSentAgainUntilItIsAcknowledged) {
    StartLoader();
    modem.refusals[4] = {Line("NOK1")};
    modem.refusals[9] = {Line("NOK1"), Line("NOK3"), Line("NOK")};
    const std::uint64_t start = Now();
    EXPECT_EQ(SendFirmware(image), 1) << trace.Text();
    EXPECT_EQ(modem.programmed, image) << "each record programmed once, in order";
    std::vector<std::string> sent = Lines(image);
    sent.insert(sent.begin() + 9, 3, sent[9]);
    sent.insert(sent.begin() + 4, 1, sent[4]);
    EXPECT_EQ(modem.firmwareLines, sent);
    const std::string text = trace.Text();
    std::size_t first = text.find("Resend 1. try!\n");
    std::size_t second = text.find("Resend 2. try!\n", first);
    std::size_t third = text.find("Resend 3. try!\n", second);
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_NE(text.find("Resend successfull!\n", third), std::string::npos);
    EXPECT_EQ(trace.Count("Resend successfull!\n"), 2u);
    EXPECT_EQ(trace.Count("Resend 4. try!\n"), 0u);
    // Four refusals: the pause before each resend, no 2 s time-out.
    EXPECT_LT(Now() - start, 4 * 500u + 1000u);
}

TEST_F(ImageSending, ARecordNeverAcknowledgedEndsTheFileThere) {
    StartLoader();
    modem.refusals[3] = std::vector<std::string>(20, Line("NOK1"));
    status.done = 0;
    EXPECT_EQ(SendFirmware(image), 0);
    std::vector<std::string> records = Lines(image);
    std::vector<std::string> sent(records.begin(), records.begin() + 3);
    sent.insert(sent.end(), 11, records[3]);
    EXPECT_EQ(modem.firmwareLines, sent) << "the first try and ten resends, nothing after";
    EXPECT_TRUE(trace.Contains("Resend 10. try!\n"));
    EXPECT_TRUE(trace.Contains("Resend failed!\n"));
    EXPECT_TRUE(trace.Contains("Error recovery failed!\n"));
    EXPECT_TRUE(trace.Contains("download failed"));
    EXPECT_LT(status.done, status.total);
}

TEST_F(ImageSending, ARecordRescuedAfterAFailedWriteIsNotSentOnceMore) {
    StartLoader();
    modem.failWriteAfterRecord = 6;  // the write of record 7 fails
    EXPECT_EQ(SendFirmware(image), 1) << trace.Text();
    EXPECT_TRUE(trace.Contains("NOK after serial write\n"));
    EXPECT_EQ(trace.Count("Resend 1. try!\n"), 1u);
    EXPECT_EQ(trace.Count("NOK after serial wait for\n"), 0u) << "no second wait";
    EXPECT_EQ(modem.firmwareLines, Lines(image)) << "the rescued copy is the only one";
    EXPECT_EQ(modem.programmed, image);
}

TEST_F(ImageSending, CharactersAfterTheLastRecordAreWrittenButNotWaitedFor) {
    StartLoader();
    device_->TakeWritten();
    status.done = 0;
    EXPECT_EQ(SendFirmware(image + "\x1A"), 1) << trace.Text();
    EXPECT_EQ(device_->Written(), image + "\x1A");
    EXPECT_EQ(trace.Count("FLASH: no acknowledgement"), 0u);
    EXPECT_EQ(status.done, status.total);
}

TEST_F(ImageSending, TheLoadersBannerSurvivesARescuedLastRecord) {
    modem.loaderEndRefusals = 1;
    StartLoader();
    EXPECT_TRUE(trace.Contains("Resend successfull!\n"));
}

TEST_F(ImageSending, TheFirstFiveFirmwareRecordsShowPleaseWait) {
    StartLoader();
    // What the page shows while record i - 1 is acknowledged, seen when
    // record i arrives.
    std::vector<std::string> texts;
    modem.onLine = [&](const std::string&) { texts.push_back(status.text); };
    ASSERT_EQ(SendFirmware(image), 1);
    ASSERT_EQ(texts.size(), Lines(image).size());
    for (std::size_t i = 1; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], i <= 5 ? "Please wait ..." : "Loading %d %%") << i;
    }
    EXPECT_STREQ(status.text, "Loading %d %%");
}

TEST_F(ImageSending, TheLoaderShowsPleaseWaitAndAFullBarNearItsEnd) {
    const std::string loader = test_support::FlashLoaderHex(40);
    std::vector<std::pair<std::string, double>> seen;
    modem.onLine = [&](const std::string&) {
        seen.emplace_back(status.text, static_cast<double>(status.done) / status.total);
    };
    StartLoader(loader);
    ASSERT_EQ(seen.size(), 40u);
    bool waiting = false;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].first == "Please wait ...") {
            waiting = true;
            EXPECT_DOUBLE_EQ(seen[i].second, 1.0) << i;
        } else {
            EXPECT_FALSE(waiting) << "the text stays once it switched, " << i;
            EXPECT_LE(seen[i].second, 0.975) << i;
        }
    }
    EXPECT_EQ(seen.back().first, "Please wait ...");
    EXPECT_EQ(seen[37].first, "Loading %d %%") << "not before 95 % were acknowledged";
}

TEST_F(ImageSending, AFileThatCannotBeOpenedSendsNothing) {
    EXPECT_EQ(flinta::SendImage(dir.File("none.hex"), &answer, SEND_RAW, line, &port, &status), 0);
    EXPECT_TRUE(trace.Contains("could not be opened --\n"));
    EXPECT_EQ(device_->Written().find(':'), std::string::npos);
}

TEST_F(ImageSending, RecoveryByEraseWaitsForTheLoaderToAnnounceItself) {
    StartLoader();
    EXPECT_EQ(flinta::RecoverLine(&port, 3, ":00000001FF\r\n"), 1);
    EXPECT_EQ(modem.erases, 1);
    EXPECT_TRUE(trace.Contains("FLASH: Failure to Erase\n"));
    EXPECT_TRUE(trace.Contains("Erase flash!\n"));
}

TEST_F(ImageSending, RecoveryCodesForColonAndChecksumResend) {
    StartLoader();
    const std::string record = test_support::HexRecord(0, 0, "data");
    EXPECT_EQ(flinta::RecoverLine(&port, 4, record), 1);
    EXPECT_TRUE(trace.Contains("FLASH: Failure to find COLON\n"));
    EXPECT_EQ(flinta::RecoverLine(&port, 5, record), 1);
    EXPECT_TRUE(trace.Contains("FLASH: Checksum Failure\n"));
    EXPECT_EQ(modem.firmwareLines, (std::vector<std::string>{record, record}));
}

}  // namespace
