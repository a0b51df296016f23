// Upload mode: the boot loader's NAKs, its line speed, the firmware
// transfer and the reboot into the new firmware.
#include <gtest/gtest.h>

#include <filesystem>

#include "raw_port.h"
#include "sim_helpers.h"
#include "test_xmodem.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using test_support::ModemSim;
using test_support::TempDir;

constexpr int kNak = 0x15;
constexpr int kAck = 0x06;

TEST(ModemSimLoader, UploadCommandIsEchoedThenTheLoaderSendsNaks) {
    ModemSim sim({"--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("AT$UPLOAD\r");
    EXPECT_EQ(port.ReadUntil("\r", 2000), "AT$UPLOAD\r");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(port.ReadByte(2000), kNak);
    }
    EXPECT_TRUE(sim.WaitForLog("upload-mode", 2000));
    EXPECT_TRUE(sim.WaitForLog("loader-nak-start 115200", 2000));
}

TEST(ModemSimLoader, OwnUploadCommandInAnyCase) {
    ModemSim sim({"--upload-command", "AT**FLASH", "--nak-interval", "50", "--echo", "off"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    EXPECT_EQ(port.Command("AT$UPLOAD"), "\r\nERROR\r\n");
    port.Write("at**flash\r");
    EXPECT_EQ(port.ReadByte(2000), kNak);
}

TEST(ModemSimLoader, LoaderAtAnotherSpeedIsNoiseUntilTheHostFollows) {
    ModemSim sim({"--loader", "--loader-baud", "57600", "--nak-interval", "40"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath(), 115200));
    std::string noise = port.ReadFor(500);
    ASSERT_FALSE(noise.empty());
    for (char c : noise) {
        EXPECT_NE(static_cast<unsigned char>(c), kNak);
        EXPECT_NE(static_cast<unsigned char>(c), kAck);
    }
    ASSERT_TRUE(port.SetSpeed(57600));
    port.Purge();
    // A noise byte already on its way when the speed changed may still
    // come; after it, only clean NAKs.
    std::string after = port.ReadUntil(std::string(1, static_cast<char>(kNak)), 2000);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(static_cast<unsigned char>(after.back()), kNak);
    EXPECT_LE(after.size(), 2u);
    EXPECT_EQ(port.ReadByte(2000), kNak);
    EXPECT_TRUE(sim.WaitForLog("loader-nak-start 57600", 2000));
    EXPECT_TRUE(sim.WaitForLog("garbled", 3000));
}

TEST(ModemSimLoader, FirmwareArrivesByteExactAndTheModemRebootsWithItsVersion) {
    TempDir received;
    ModemSim sim({"--loader", "--received-dir", received.Path(), "--reboot-delay", "200",
                  "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    const std::string firmware = MakeFirmware(3000, "2.05");
    SendPlan plan;
    plan.use1k = true;
    SendReport report = XModemSend(port, firmware, plan);
    ASSERT_TRUE(report.ok) << report.failure;

    ASSERT_TRUE(sim.WaitForLog("received firmware 4096", 3000));
    EXPECT_TRUE(SameBytes(received.Read("firmware.bin"), Padded(firmware, 1024)));
    ASSERT_TRUE(sim.WaitForLog("ready", 5000));
    EXPECT_EQ(sim.CountLog("reboot"), 1);
    port.Purge();
    std::string answer = port.Command("ATI3");
    EXPECT_NE(answer.find("2.05"), std::string::npos) << answer;
}

TEST(ModemSimLoader, AReenumeratingModemComesBackUnderANewNameBehindItsLink) {
    TempDir dir;
    const std::string link = dir.File("usb-ORVA_56K_USB_0001-if00");
    ModemSim sim({"--loader", "--link", link, "--reenumerate", "--reboot-delay", "500",
                  "--nak-interval", "50"});
    const std::string before = sim.PortPath();
    {
        RawPort port;
        ASSERT_TRUE(port.Open(link));
        SendReport report = XModemSend(port, MakeFirmware(1000, "2.05"), SendPlan{});
        ASSERT_TRUE(report.ok) << report.failure;
    }
    ASSERT_TRUE(sim.WaitForLog("left-bus", 3000));
    // While it restarts, neither its old name nor its link leads anywhere.
    EXPECT_FALSE(std::filesystem::exists(link));
    EXPECT_FALSE(std::filesystem::exists(before));
    ASSERT_TRUE(sim.WaitForLog("reenumerated ", 3000));
    ASSERT_TRUE(sim.WaitForLog("ready", 3000));
    const std::string after = std::filesystem::read_symlink(link).string();
    EXPECT_NE(after, before);
    EXPECT_EQ(sim.CountLog("reenumerated " + after), 1);
    RawPort port;
    ASSERT_TRUE(port.Open(link));
    EXPECT_NE(port.Command("ATI3").find("2.05"), std::string::npos);
}

TEST(ModemSimLoader, OnlySmallBlocksMakesTheSenderFallBack) {
    TempDir received;
    ModemSim sim({"--loader", "--loader-128-only", "--received-dir", received.Path(),
                  "--reboot-delay", "0", "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    const std::string firmware = MakeFirmware(500, "1.10", "ORV", 'L');
    SendPlan plan;
    plan.use1k = true;
    SendReport report = XModemSend(port, firmware, plan);
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_TRUE(report.fellBackTo128);
    EXPECT_GE(report.naksPerBlock[1], 6);
    ASSERT_TRUE(sim.WaitForLog("received firmware 640", 3000));
    EXPECT_TRUE(SameBytes(received.Read("firmware.bin"), Padded(firmware, 128)));
}

TEST(ModemSimLoader, RepeatedBlockIsStoredOnce) {
    TempDir received;
    ModemSim sim({"--loader", "--received-dir", received.Path(), "--reboot-delay", "0",
                  "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    const std::string firmware = MakeFirmware(700, "1.20");
    SendPlan plan;
    plan.repeatBlock = 2;
    SendReport report = XModemSend(port, firmware, plan);
    ASSERT_TRUE(report.ok) << report.failure;
    ASSERT_TRUE(sim.WaitForLog("received firmware 896", 3000));
    EXPECT_TRUE(SameBytes(received.Read("firmware.bin"), Padded(firmware, 128)));
}

TEST(ModemSimLoader, BadHeaderKeepsTheModemInItsLoader) {
    TempDir received;
    ModemSim sim({"--loader", "--received-dir", received.Path(), "--reboot-delay", "0",
                  "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    SendReport report = XModemSend(port, MakeFirmware(300, "9.99", "XYZ"), SendPlan{});
    ASSERT_TRUE(report.ok) << report.failure;
    ASSERT_TRUE(sim.WaitForLog("firmware-bad no-magic", 3000));
    EXPECT_EQ(sim.CountLog("reboot"), 0);
    // Still the loader: NAKs, and no answer to AT.
    port.Purge();
    EXPECT_EQ(port.ReadByte(2000), kNak);
    port.Write("AT\r");
    EXPECT_EQ(port.ReadFor(300).find("OK"), std::string::npos);
}

TEST(ModemSimLoader, ImageShorterThanItsHeaderSaysIsRefused) {
    ModemSim sim({"--loader", "--reboot-delay", "0", "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    std::string firmware = MakeFirmware(2000, "1.30").substr(0, 1000);
    SendReport report = XModemSend(port, firmware, SendPlan{});
    ASSERT_TRUE(report.ok) << report.failure;
    EXPECT_TRUE(sim.WaitForLog("firmware-bad short-image", 3000));
    EXPECT_EQ(sim.CountLog("ready"), 0);
}

TEST(ModemSimLoader, FlashLoaderComesFirstOnUploadModems) {
    TempDir received;
    ModemSim sim({"--upload-modem", "--received-dir", received.Path(), "--reboot-delay", "100",
                  "--nak-interval", "50", "--version", "1.00"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("AT$UPLOAD\r");
    port.ReadUntil("\r", 2000);
    const std::string loader = RandomBytes(700, 3);
    SendReport first = XModemSend(port, loader, SendPlan{});
    ASSERT_TRUE(first.ok) << first.failure;
    ASSERT_TRUE(sim.WaitForLog("received loader 768", 3000));
    const std::string firmware = MakeFirmware(1500, "4.01");
    SendReport second = XModemSend(port, firmware, SendPlan{});
    ASSERT_TRUE(second.ok) << second.failure;
    ASSERT_TRUE(sim.WaitForLog("ready", 5000));
    EXPECT_TRUE(SameBytes(received.Read("loader.bin"), Padded(loader, 128)));
    EXPECT_TRUE(SameBytes(received.Read("firmware.bin"), Padded(firmware, 128)));
    EXPECT_EQ(sim.CountLog("loader-nak-start"), 2);
    port.Purge();
    EXPECT_NE(port.Command("ATI3").find("4.01"), std::string::npos);
}

TEST(ModemSimLoader, ModemWithoutInterpreterEntersItsLoaderAfterAPowerCycle) {
    ModemSim sim({"--no-at", "--power-cycle-delay", "100", "--nak-interval", "50"});
    RawPort port;
    ASSERT_TRUE(port.Open(sim.PortPath()));
    port.Write("AT\r");
    std::string seen = port.ReadUntil(std::string(1, static_cast<char>(kNak)), 5000);
    EXPECT_EQ(seen, std::string(1, static_cast<char>(kNak)));
    EXPECT_EQ(sim.CountLog("at AT"), 0);
    EXPECT_TRUE(sim.WaitForLog("upload-mode", 2000));
}

}  // namespace
}  // namespace modemsim_test
