// The demonstration's flash files are what the plug-in accepts for a USB
// model.
#include <gtest/gtest.h>

#include <algorithm>

#include "plugins/flash/hex_check.h"
#include "plugins/flash/image_info.h"
#include "tests/support/recording_page.h"
#include "tests/support/temp_dir.h"
#include "wizard/cli/demo_hex_image.h"

namespace {

TEST(DemoFlashFiles, TheImageIsAUsbImageAndBothFilesPassTheCheck) {
    test_support::TempDir dir("flash-demo");
    test_support::RecordingPage page;
    const std::string image = dir.Write("firmware.hex", cli::MakeDemoHexImage(256 * 1024));
    const std::string loader = dir.Write("flashldr.hex", cli::MakeDemoFlashLoader(2048));
    std::string problem;
    EXPECT_TRUE(flinta::CheckHexFile(image, &problem)) << problem;
    EXPECT_TRUE(flinta::CheckHexFile(loader, &problem)) << problem;
    flinta::ImageInfo info;
    ASSERT_EQ(flinta::AnalyseImage(page.handle(), &info, image.c_str()), 1);
    EXPECT_EQ(info.modemType, flinta::MODEM_TYPE_USB);
    EXPECT_EQ(info.sectorSize, 16);
    EXPECT_EQ(info.loadChecksum, 0x5AC3);
    const std::string text = test_support::ReadFileBytes(image);
    EXPECT_EQ(std::count(text.begin(), text.end(), ':'), 8192 + 3 + 1)
        << "32 data bytes a record, an address record at each further 64 KB, the end record";
}

}  // namespace
