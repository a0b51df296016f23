// The header of an image: modem type, sector size and load checksum at
// characters 65 to 72 of the text.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_api/messages.h"
#include "plugins/flash/image_info.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/recording_page.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

using flinta::AnalyseImage;
using flinta::ImageInfo;
using test_support::FlashImage;
using test_support::ImageHeader;

namespace {

class ImageAnalysis : public ::testing::Test {
  protected:
    // Analyses text written to a file; returns the result.
    int Analyse(const std::string& text) {
        std::memset(&info, 0x5A, sizeof info);  // whatever was there before
        return AnalyseImage(page.handle(), &info, dir.Write("image.hex", text).c_str());
    }

    test_support::TempDir dir{"flash-image"};
    test_support::RecordingPage page;
    test_support::TraceCapture trace;
    ImageInfo info;
};

TEST_F(ImageAnalysis, UsbImageWithSectorSizeAndLoadChecksum) {
    const std::string image = FlashImage(ImageHeader(0x1234, "55", "10"), 3);
    ASSERT_EQ(image.substr(65, 8), "34125510");
    ASSERT_EQ(Analyse(image), 1);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_USB);
    EXPECT_STREQ(info.typeName, "USB");
    EXPECT_EQ(info.sectorSize, 16);
    EXPECT_EQ(info.loadChecksum, 0x1234);
    EXPECT_TRUE(trace.Contains("Modem type is USB  \n"));
    EXPECT_TRUE(trace.Contains("Sectorsize: (0x10) \n"));
    EXPECT_TRUE(trace.Contains("Load chksum = 0x1234\n"));
    EXPECT_TRUE(page.Messages().empty());
}

TEST_F(ImageAnalysis, OldKindOfImageCarriesNoTypeWhateverFollows) {
    ASSERT_EQ(Analyse(FlashImage(ImageHeader(0xBEEF, "F5", "99"), 2)), 1);
    EXPECT_EQ(info.modemType, 0);
    EXPECT_EQ(info.sectorSize, 0);
    EXPECT_EQ(info.loadChecksum, 0);
    EXPECT_STREQ(info.typeName, "");
    EXPECT_TRUE(trace.Contains("Old firmware type does not contain type information.\n"));
}

TEST_F(ImageAnalysis, UnknownTypeValueAndNoSectorSizeMeanNoChecksum) {
    ASSERT_EQ(Analyse(FlashImage(ImageHeader(0x1234, "41", "00"), 2)), 1);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_UNKNOWN);
    EXPECT_STREQ(info.typeName, "an unknown");
    EXPECT_EQ(info.sectorSize, 0);
    EXPECT_EQ(info.loadChecksum, 0) << "no checksum without a sector size";
    EXPECT_TRUE(trace.Contains("No Checksum!\n"));
}

TEST_F(ImageAnalysis, EveryTypeValueOfTheTable) {
    const struct {
        const char* digits;
        std::int32_t code;
        const char* name;
    } rows[] = {{"43", 1, "Central Site"}, {"49", 2, "ISA"}, {"53", 3, "Serial"},
                {"50", 4, "PC Card"},      {"55", 5, "USB"}, {"56", 0, "an unknown"}};
    for (const auto& row : rows) {
        ASSERT_EQ(Analyse(FlashImage(ImageHeader(0x0001, row.digits, "08"), 1)), 1);
        EXPECT_EQ(info.modemType, row.code) << row.digits;
        EXPECT_STREQ(info.typeName, row.name) << row.digits;
        EXPECT_EQ(info.sectorSize, 8);
    }
}

TEST_F(ImageAnalysis, SeventyFiveCharactersAreEnoughSeventyFourAreNot) {
    std::string text = FlashImage(ImageHeader(0x1234, "55", "10"), 1).substr(0, 75);
    EXPECT_EQ(Analyse(text), 1);
    EXPECT_EQ(info.loadChecksum, 0x1234);
    EXPECT_EQ(Analyse(text.substr(0, 74)), 0);
    EXPECT_TRUE(trace.Contains("Error in reading file.\n"));
    EXPECT_TRUE(page.Messages().empty()) << "a short file is not reported to the user";
}

TEST_F(ImageAnalysis, AnImageThatCannotBeOpenedIsReportedToThePage) {
    EXPECT_EQ(AnalyseImage(page.handle(), &info, dir.File("missing.hex").c_str()), 0);
    std::vector<std::string> fatals = page.Texts(WM_WIZ_FATAL);
    ASSERT_EQ(fatals.size(), 1u);
    EXPECT_EQ(fatals[0],
              "An error has occurred during the initialization of the modem.\rPlease check the "
              "connections to your modem\rand ensure that the modem is switched on.\rNext, "
              "restart the wizard.");
}

TEST(HexWord, FourDigitsMostSignificantFirstInEitherCase) {
    EXPECT_EQ(flinta::HexWord("1234"), 0x1234);
    EXPECT_EQ(flinta::HexWord("beEF"), 0xBEEF);
    EXPECT_EQ(flinta::HexWord("0000"), 0);
    EXPECT_EQ(flinta::HexWord("FFFF"), 0xFFFF);
    EXPECT_EQ(flinta::HexWord("12G4"), -1);
    EXPECT_EQ(flinta::HexWord("12 4"), -1);
}

}  // namespace
