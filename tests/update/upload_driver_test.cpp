// The wizard's own firmware upload up to the XModem transfer, and the
// flash loader inside the firmware file. (Whole uploads run against modemsim
// in the integration tests.)
#include <gtest/gtest.h>

#include <cstdio>

#include "serial/serial.h"
#include "tests/update/update_fixture.h"
#include "wizard/engine/upload_driver.h"
#include "wizard/resources/strings.h"

namespace {

// A firmware file: header with magic, type L, version and image length,
// then fileSize bytes in all.
std::string Firmware(std::uint32_t imageLength, std::size_t fileSize) {
    std::string file(fileSize, '\0');
    for (std::size_t i = 128; i < fileSize; ++i) {
        file[i] = static_cast<char>(i * 7 + 3);
    }
    file[54] = static_cast<char>(imageLength >> 24);
    file[55] = static_cast<char>(imageLength >> 16);
    file[56] = static_cast<char>(imageLength >> 8);
    file[57] = static_cast<char>(imageLength);
    file.replace(62, 4, "ORVL");
    file.replace(80, 4, "2.31");
    return file;
}

std::FILE* Open(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

std::string ReadAll(std::FILE* file) {
    std::string bytes;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
    }
    return bytes;
}

TEST(FlashLoader, StartsBehindTheImageItsBlockHeadersAndA256ByteBlock) {
    test_support::TempDir dir;
    // 100,000 bytes round to 100,352, two started blocks of 63 KB: the loader
    // starts at 100,352 + 2 * 128 + 128 + 256.
    std::string file = Firmware(100000, 100992 + 500);
    dir.Write("fw.bin", file);
    std::FILE* firmware = Open(dir.File("fw.bin"));
    ASSERT_NE(firmware, nullptr);
    std::FILE* loader = ExtractLoader(firmware);
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(ReadAll(loader), file.substr(100992));
    std::fclose(loader);
    std::fclose(firmware);
}

TEST(FlashLoader, IsMissingWithoutHeaderOrWhenItWouldStartPastTheEnd) {
    test_support::TempDir dir;
    std::uint64_t start = 0;
    dir.Write("short.bin", Firmware(100000, 100992));  // ends where the loader would start
    dir.Write("noheader.bin", std::string(200000, 'x'));
    dir.Write("huge.bin", Firmware(0xFFFFFFFFu, 4096));  // would wrap in 32 bits
    for (const char* name : {"short.bin", "noheader.bin", "huge.bin"}) {
        std::FILE* firmware = Open(dir.File(name));
        ASSERT_NE(firmware, nullptr);
        std::fseek(firmware, 0, SEEK_END);
        EXPECT_FALSE(
            FindFlashLoader(firmware, static_cast<std::uint64_t>(std::ftell(firmware)), &start))
            << name;
        EXPECT_EQ(ExtractLoader(firmware), nullptr) << name;
        std::fclose(firmware);
    }
}

class UploadDriver : public UpdateFixture {
  protected:
    int Upload(const std::string& keys) {
        WriteConfig("[ORVA]\n" + keys);
        Choose(port.name(), "ORVA");
        EXPECT_TRUE(serial.SetPortName(port.name()) && serial.Open());
        port.device().TakeWritten();
        eventsBefore = port.device().Events().size();
        return UploadFirmware(state, page.handle(), &serial, nullptr);
    }
    std::vector<std::string> NewEvents() {
        std::vector<std::string> events = port.device().Events();
        return std::vector<std::string>(events.begin() + static_cast<long>(eventsBefore),
                                        events.end());
    }
    CSerial serial;
    std::size_t eventsBefore = 0;
};

TEST_F(UploadDriver, AModemFirmwareWithoutItsLoaderFailsBeforeAnythingIsSent) {
    dir.Write("fw.bin", Firmware(100000, 100992));
    EXPECT_EQ(Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\nUploadType=UPLOAD_MODEM\n"), 0);
    EXPECT_EQ(Fatals(), std::vector<std::string>{wizard::LoadText(wizard::IDS_UPLOAD_ERROR)});
    EXPECT_EQ(port.device().Written(), "");
}

TEST_F(UploadDriver, AMissingFirmwareFileAndAnEmptyUploadFileAreReported) {
    EXPECT_EQ(Upload("UploadFile=nothere.bin\nUploadCommand=AT$UP\n"), 0);
    EXPECT_EQ(Fatals(),
              std::vector<std::string>{wizard::LoadText(wizard::IDS_FIRMWARE_FILE_MISSING)});
    serial.Close();
    EXPECT_EQ(Upload("UploadCommand=AT$UP\n"), 0);
    EXPECT_EQ(Fatals().back(), wizard::LoadText(wizard::IDS_INI_ERROR));
    EXPECT_EQ(port.device().Written(), "");
}

TEST_F(UploadDriver, TheUploadCommandGoesOutAtTheConfiguredSpeed) {
    dir.Write("fw.bin", Firmware(1000, 2000));
    port.modem().Answer("AT$UP", "");  // the loader then stays silent
    EXPECT_EQ(Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\nBaudrate=40000\n"), 0);
    std::vector<std::string> events = NewEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "speed 38400") << "snapped down to a table speed";
    EXPECT_EQ(port.device().Written().substr(0, 6), "AT$UP\r");
    EXPECT_EQ(state.status.total, 2000) << "the firmware file's size";
}

TEST_F(UploadDriver, ASpeedOfNoughtUses115200) {
    dir.Write("fw.bin", Firmware(1000, 2000));
    port.modem().Answer("AT$UP", "");
    Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\nBaudrate=0\n");
    for (const std::string& event : NewEvents()) {
        EXPECT_EQ(event.rfind("speed ", 0), std::string::npos) << event;
    }
    EXPECT_EQ(port.device().Settings().BaudRate, 115200u);
}

TEST_F(UploadDriver, AnUploadCommandThatIsNotEchoedIsShownInABox) {
    dir.Write("fw.bin", Firmware(1000, 2000));
    port.modem().silent = true;
    EXPECT_EQ(Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\n"), 0);
    ASSERT_EQ(page.MessageBoxes().size(), 1u);
    EXPECT_EQ(page.MessageBoxes()[0].first, "Cannot send Upload Command: AT$UP");
    EXPECT_EQ(Fatals(), std::vector<std::string>{wizard::LoadText(wizard::IDS_UPLOAD_ERROR)});
}

TEST_F(UploadDriver, WithoutAnAtInterpreterTheUserIsAskedToSwitchTheModemOffAndOn) {
    dir.Write("fw.bin", Firmware(1000, 2000));
    std::string shownWhileWaiting;
    port.device().OnWrite([&](platform::testing::ScriptedSerial&, const std::string& bytes) {
        if (bytes == "\r" && shownWhileWaiting.empty()) {
            shownWhileWaiting = state.status.text;
        }
    });
    state.hasAtInterpreter = false;
    std::uint64_t start = port.Now();
    EXPECT_EQ(Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\n"), 0);
    EXPECT_EQ(shownWhileWaiting, wizard::LoadText(wizard::IDS_SWITCH_OFF_AND_ON));
    std::string written = port.device().Written();
    EXPECT_EQ(written.find("AT$UP"), std::string::npos)
        << "no command to a modem without interpreter";
    EXPECT_EQ(written, std::string(written.size(), '\r'));
    EXPECT_GE(port.Now() - start, 60000u)
        << "a minute for the user, then the upload tries all the same";
}

TEST_F(UploadDriver, AModemThatVanishesWhileTheUserSwitchesItOffEndsTheWaitAtOnce) {
    dir.Write("fw.bin", Firmware(1000, 2000));
    // A USB modem switched off is gone: its handle will never answer again.
    port.device().OnWrite([](platform::testing::ScriptedSerial& device, const std::string& bytes) {
        if (bytes == "\r") {
            device.Vanish();
        }
    });
    state.hasAtInterpreter = false;
    std::uint64_t start = port.Now();
    EXPECT_EQ(Upload("UploadFile=fw.bin\nUploadCommand=AT$UP\n"), 0);
    EXPECT_LT(port.Now() - start, 1000u) << "not the minute for the user";
    EXPECT_EQ(Fatals(), std::vector<std::string>{wizard::LoadText(wizard::IDS_UPLOAD_ERROR)});
    EXPECT_EQ(port.device().Written(), "\r");
}

}  // namespace
