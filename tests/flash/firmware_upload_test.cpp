// The whole firmware step of the flash plug-in on a simulated flash-loader
// modem, on the virtual clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "flash_fixture.h"
#include "plugin_api/messages.h"
#include "plugins/flash/firmware_upload.h"
#include "tests/support/intel_hex_image.h"

using test_support::FlashImage;
using test_support::FlashLoaderHex;
using test_support::ImageHeader;

namespace {

const std::vector<std::string> kProbe = {"AT", "AT", "AT&&FE", "ATE1", "AT+GCI?"};

class FlashUpload : public FlashFixture {
  protected:
    FlashUpload() {
        Config("ModemType=USB\n");
        CopyText(status.text, "Loading firmware to modem (%d %% complete)");
    }
    int Upload(const std::string& image, const std::string& loader) {
        return flinta::FirmwareUpload(page.handle(), &port, Files(image, loader), &status);
    }
    // The commands before the loader's records.
    std::vector<std::string> CommandsBeforeLoader() const {
        std::vector<std::string> before;
        for (const std::string& command : modem.commands) {
            if (command.compare(0, 5, "at&&f") == 0) {
                break;
            }
            before.push_back(command);
        }
        return before;
    }

    const std::string usbImage = FlashImage(ImageHeader(0x1234, "55", "10"), 60);
    const std::string loader = FlashLoaderHex(12);
};

TEST_F(FlashUpload, AUsbModemIsProgrammedAndItsCountrySetAgain) {
    modem.countryAnswer = "\r\n+GCI: B5\r\n\r\nOK\r\n";
    ASSERT_EQ(Upload(usbImage, loader), 1) << trace.Text();
    EXPECT_EQ(CommandsBeforeLoader(), kProbe);
    EXPECT_EQ(modem.loaderLines.size(), 12u);
    EXPECT_EQ(modem.programmed, usbImage);
    EXPECT_EQ(modem.commandsAfterFirmware, (std::vector<std::string>{"AT+GCI= B5", "AT"}));
    const std::uint64_t countryAfter = modem.timesAfterFirmware[0] - modem.firmwareDoneAt;
    EXPECT_GE(countryAfter, 5000u) << "the new firmware was given five seconds";
    EXPECT_LT(countryAfter, 5500u);
    EXPECT_TRUE(page.Messages().empty());
    EXPECT_TRUE(trace.Contains("Downloading succeeded.\n"));
}

TEST_F(FlashUpload, TheProgressTextNamesTheFileAndItsNumber) {
    std::vector<std::string> texts;
    modem.onLine = [&](const std::string&) { texts.push_back(status.text); };
    ASSERT_EQ(Upload(usbImage, loader), 1) << trace.Text();
    EXPECT_EQ(texts[1], "Loading firmware to modem (%d %% complete file 1 of 2)");
    EXPECT_EQ(texts[12 + 1], "Please wait ...") << "while the first firmware records go";
    EXPECT_EQ(texts[12 + 7], "Loading firmware to modem (%d %% complete file 2 of 2)");
}

TEST_F(FlashUpload, ANewFirmwareAnsweringOnlyAfterThreeMinutesIsWaitedFor) {
    modem.answersAfterMs = 180000;
    ASSERT_EQ(Upload(usbImage, loader), 1) << trace.Text();
    // The country command and two "AT" time out after a minute each; the
    // fourth request is answered.
    EXPECT_EQ(modem.commandsAfterFirmware,
              (std::vector<std::string>{"AT+GCI= 3D", "AT", "AT", "AT"}));
    EXPECT_GE(Now() - modem.firmwareDoneAt, 180000u);
}

TEST_F(FlashUpload, AModemThatNeverComesBackFailsAfterTwelveTries) {
    modem.answersAfterMs = 24 * 3600 * 1000;
    EXPECT_EQ(Upload(usbImage, loader), 0);
    EXPECT_EQ(modem.commandsAfterFirmware.size(), 1u + 12u);
    EXPECT_EQ(modem.programmed, usbImage) << "programmed all the same";
}

TEST_F(FlashUpload, WithoutACountryAnswerNoCountryCommandIsSent) {
    modem.countryAnswer = "\r\nERROR\r\n";
    ASSERT_EQ(Upload(usbImage, loader), 1) << trace.Text();
    EXPECT_EQ(modem.commandsAfterFirmware, (std::vector<std::string>{"AT"}));
}

TEST_F(FlashUpload, AnOlderLoaderCannotProgramAUsbModem) {
    modem.loaderVersion = "4.3";
    EXPECT_EQ(Upload(usbImage, loader), 0);
    EXPECT_TRUE(trace.Contains("Comparing "));
    EXPECT_TRUE(trace.Contains("Wrong Flash Loader...\n"));
    EXPECT_TRUE(modem.firmwareLines.empty()) << "no firmware record is sent";
    EXPECT_TRUE(modem.commandsAfterFirmware.empty());
    EXPECT_TRUE(page.Messages().empty()) << "the wizard reports the failure";
}

TEST_F(FlashUpload, AnImageForAnotherTypeIsRefusedBeforeTheLoader) {
    Config("ModemType=EXTERNAL\n");
    EXPECT_EQ(Upload(usbImage, loader), 0);
    EXPECT_EQ(modem.commands, (std::vector<std::string>{"AT", "AT", "AT&&FE", "ATE1"}));
    EXPECT_TRUE(trace.Contains("Something went wrong, no compatibility found!\n"));
}

TEST_F(FlashUpload, AnOldKindOfImageFitsOnlyAModelWithoutType) {
    const std::string old = FlashImage(ImageHeader(0, "F0", "00"), 30);
    EXPECT_EQ(Upload(old, loader), 0) << "the model is USB";
    EXPECT_TRUE(modem.loaderLines.empty());
    Config("");
    ASSERT_EQ(Upload(old, loader), 1) << trace.Text();
    EXPECT_EQ(modem.programmed, old);
}

TEST_F(FlashUpload, ACorruptImageOrLoaderLeavesTheModemUntouched) {
    std::string badImage = usbImage;
    const std::size_t third = badImage.find(':', badImage.find(':', 1) + 1);
    badImage[third + 12] = badImage[third + 12] == '0' ? '1' : '0';
    EXPECT_EQ(Upload(badImage, loader), 0);
    EXPECT_TRUE(trace.Contains("line 3: checksum does not match")) << trace.Text();

    std::string lfLoader = loader;
    for (std::size_t at = lfLoader.find('\r'); at != std::string::npos; at = lfLoader.find('\r')) {
        lfLoader.erase(at, 1);
    }
    EXPECT_EQ(Upload(usbImage, lfLoader), 0);
    EXPECT_TRUE(trace.Contains("loader.hex refused: line 1:")) << trace.Text();

    EXPECT_EQ(Upload(usbImage, ""), 0) << "no FlashLoader";
    EXPECT_EQ(device_->Written(), "") << "not even \"AT\"";
    EXPECT_TRUE(page.Messages().empty());
}

TEST_F(FlashUpload, AnImageThatCannotBeReadIsReportedWithTheInitialisationText) {
    char* files = Files(usbImage, loader);
    std::remove(dir.File("image.hex").c_str());
    EXPECT_EQ(flinta::FirmwareUpload(page.handle(), &port, files, &status), 0);
    std::vector<std::string> fatals = page.Texts(WM_WIZ_FATAL);
    ASSERT_EQ(fatals.size(), 1u);
    EXPECT_EQ(fatals[0].rfind("An error has occurred during the initialization of the modem.", 0),
              0u);
    EXPECT_EQ(device_->Written(), "");
}

TEST_F(FlashUpload, ASettingsRecordWithoutFilesIsRefused) {
    std::memset(settings.files, 'x', sizeof settings.files);  // no end within the field
    EXPECT_EQ(
        flinta::FirmwareUpload(page.handle(), &port, reinterpret_cast<char*>(&settings), &status),
        0);
    EXPECT_EQ(device_->Written(), "");
}

TEST(LoaderVersion, Ver44ServesEveryTypeVer43AllButUsb) {
    for (int type = 0; type <= 5; ++type) {
        EXPECT_TRUE(flinta::LoaderAccepted("\r\nFlash Loader Ver:4.4\r\n", type)) << type;
        EXPECT_EQ(flinta::LoaderAccepted("\r\nFlash Loader Ver:4.3\r\n", type), type != 5) << type;
        EXPECT_FALSE(flinta::LoaderAccepted("\r\nFlash Loader Ver:4.2\r\n", type)) << type;
    }
}

}  // namespace
