// The probe of the modem and the compatibility of image and modem.
#include <gtest/gtest.h>

#include "flash_fixture.h"
#include "plugins/flash/modem_probe.h"

using flinta::CheckCompatibility;
using flinta::ImageInfo;

namespace {

ImageInfo Info(std::int32_t type, std::int32_t sectorSize = 0, std::uint16_t checksum = 0) {
    ImageInfo info{};
    info.modemType = type;
    info.sectorSize = sectorSize;
    info.loadChecksum = checksum;
    return info;
}

class Compatibility : public ::testing::Test {
  protected:
    test_support::TraceCapture trace;
};

TEST_F(Compatibility, TheTypeAloneDecidesWhileTheModemsSectorSizeIsUnknown) {
    EXPECT_EQ(CheckCompatibility(Info(5), Info(5, 16, 0x1234)), 0);
    EXPECT_TRUE(trace.Contains("Wrong check sum\n")) << "traced, but not a finding";
    EXPECT_TRUE(trace.Contains("No verified compatibility problem.\n"));
    EXPECT_EQ(CheckCompatibility(Info(3), Info(5, 16, 0x1234)), flinta::COMPAT_MODEM_TYPE);
    EXPECT_TRUE(trace.Contains("Wrong type of modem\n"));
    EXPECT_EQ(CheckCompatibility(Info(0), Info(0)), 0) << "old image, model without type";
    EXPECT_EQ(CheckCompatibility(Info(5), Info(0)), flinta::COMPAT_MODEM_TYPE);
}

TEST_F(Compatibility, KnownSectorSizesAreComparedWithTheChecksum) {
    EXPECT_EQ(CheckCompatibility(Info(5, 16, 0x1234), Info(5, 16, 0x1234)), 0);
    EXPECT_EQ(CheckCompatibility(Info(5, 16, 0x1111), Info(5, 16, 0x1234)),
              flinta::COMPAT_CHECKSUM);
    EXPECT_EQ(CheckCompatibility(Info(5, 8, 0x1234), Info(5, 16, 0x1234)),
              flinta::COMPAT_SECTOR_SIZE);
    EXPECT_EQ(CheckCompatibility(Info(2, 8, 0x1111), Info(5, 16, 0x1234)),
              flinta::COMPAT_SECTOR_SIZE | flinta::COMPAT_CHECKSUM | flinta::COMPAT_MODEM_TYPE);
}

TEST(ModemTypeKey, ValuesAreComparedWithoutCase) {
    EXPECT_EQ(flinta::ModemTypeFromKey("usb"), flinta::MODEM_TYPE_USB);
    EXPECT_EQ(flinta::ModemTypeFromKey("Internal"), flinta::MODEM_TYPE_ISA);
    EXPECT_EQ(flinta::ModemTypeFromKey("EXTERNAL"), flinta::MODEM_TYPE_SERIAL);
    EXPECT_EQ(flinta::ModemTypeFromKey("pcmcia"), flinta::MODEM_TYPE_PC_CARD);
    EXPECT_EQ(flinta::ModemTypeFromKey("USB2"), flinta::MODEM_TYPE_UNKNOWN);
    EXPECT_EQ(flinta::ModemTypeFromKey(""), flinta::MODEM_TYPE_UNKNOWN);
}

using ModemProbe = FlashFixture;

TEST_F(ModemProbe, TheTypeComesFromTheModelsSectionOfWizardInf) {
    ImageInfo info;
    Config("ModemType=usb\n");
    flinta::ReadModemType(&info, &status);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_USB);
    Config("ModemType=EXTERNAL\n");
    flinta::ReadModemType(&info, &status);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_SERIAL);
    Config("");
    flinta::ReadModemType(&info, &status);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_UNKNOWN);
    Config("ModemType=" + std::string(300, 'U') + "\n");
    flinta::ReadModemType(&info, &status);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_UNKNOWN) << "a value too long is not read";
    Config("ModemType=USB\n");
    CopyText(status.model, "Another Modem");
    flinta::ReadModemType(&info, &status);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_UNKNOWN) << "only the chosen model's section";
}

TEST_F(ModemProbe, AFlashableModemIsAskedInOrderAndLeftWithEchoOn) {
    Config("ModemType=USB\n");
    ImageInfo info;
    EXPECT_EQ(flinta::ProbeModem(&port, &info, &status), flinta::PROBE_NEEDS_LOADER);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_USB);
    EXPECT_EQ(info.sectorSize, 0);
    EXPECT_EQ(info.loadChecksum, 0);
    EXPECT_EQ(modem.commands, (std::vector<std::string>{"AT", "AT", "AT&&FE", "ATE1"}));
    EXPECT_TRUE(trace.Contains("Got Lucent Flashable modem.\n"));
}

TEST_F(ModemProbe, TheFirstAtMayGoUnansweredWhenTheSecondIsAnswered) {
    modem.unansweredCommands = 1;
    ImageInfo info;
    const std::uint64_t start = Now();
    EXPECT_EQ(flinta::ProbeModem(&port, &info, &status), flinta::PROBE_NEEDS_LOADER);
    EXPECT_GE(Now() - start, 10000u) << "the first AT waited its ten seconds";
}

TEST_F(ModemProbe, AModemThatIsNotFlashableFailsTheProbe) {
    modem.flashable = false;
    ImageInfo info;
    EXPECT_EQ(flinta::ProbeModem(&port, &info, &status), flinta::PROBE_FAILED);
    EXPECT_TRUE(trace.Contains("Not a Lucent Flashable modem! No answer on AT&&FE!\n"));
    EXPECT_EQ(modem.commands.back(), "AT&&FE") << "nothing after the refusal";
}

TEST_F(ModemProbe, NoModemFailsTheProbe) {
    modem.silent = true;
    ImageInfo info;
    EXPECT_EQ(flinta::ProbeModem(&port, &info, &status), flinta::PROBE_FAILED);
    EXPECT_TRUE(trace.Contains("No answer on AT!\n"));
}

}  // namespace
