// The 128-byte firmware header and the version the welcome page announces.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "wizard/engine/firmware_header.h"

namespace {

std::string Header(char type, const char* version, std::uint32_t imageLength = 100000) {
    std::string bytes(128, '\xFF');
    bytes.replace(62, 3, "ORV");
    bytes[65] = type;
    bytes.replace(80, 4, version, 4);
    bytes[54] = static_cast<char>(imageLength >> 24);
    bytes[55] = static_cast<char>(imageLength >> 16);
    bytes[56] = static_cast<char>(imageLength >> 8);
    bytes[57] = static_cast<char>(imageLength);
    return bytes;
}

class FirmwareHeaderTest : public ::testing::Test {
  protected:
    int Read(const std::string& bytes, FirmwareHeader* header = nullptr) {
        FirmwareHeader scratch;
        return ReadFirmwareHeader(dir.Write("fw.bin", bytes), header ? header : &scratch, &why);
    }
    test_support::TempDir dir;
    std::string why;
};

TEST_F(FirmwareHeaderTest, TypeVersionAndImageLengthOfAValidHeader) {
    FirmwareHeader header;
    EXPECT_EQ(Read(Header('F', "0312") + std::string(500, 'i'), &header), FIRMWARE_TYPE_F);
    EXPECT_STREQ(header.version, "0312");
    EXPECT_EQ(header.typeLetter, 'F');
    EXPECT_EQ(header.imageLength, 100000u);
    EXPECT_EQ(header.fileSize, 628u);
    EXPECT_EQ(Read(Header('L', "2.31", 0x01020304), &header), FIRMWARE_TYPE_L);
    EXPECT_EQ(header.imageLength, 0x01020304u) << "most significant byte first";
}

TEST_F(FirmwareHeaderTest, AnyOtherTypeLetterOrMagicIsNoHeader) {
    EXPECT_EQ(Read(Header('X', "0312")), FIRMWARE_NO_HEADER);
    EXPECT_EQ(Read(Header('l', "0312")), FIRMWARE_NO_HEADER);
    std::string wrongMagic = Header('L', "0312");
    wrongMagic[64] = 'v';
    EXPECT_EQ(Read(wrongMagic), FIRMWARE_NO_HEADER);
    EXPECT_NE(why.find("ORV"), std::string::npos) << why;
}

TEST_F(FirmwareHeaderTest, ShortFilesHaveNoHeaderUntilTheVersionIsComplete) {
    std::string header = Header('L', "0312");
    FirmwareHeader read;
    EXPECT_EQ(Read(header.substr(0, 83)), FIRMWARE_NO_HEADER) << "the version's last byte missing";
    EXPECT_EQ(Read(header.substr(0, 66)), FIRMWARE_NO_HEADER);
    EXPECT_EQ(Read(header.substr(0, 84), &read), FIRMWARE_TYPE_L);
    EXPECT_STREQ(read.version, "0312");
    EXPECT_EQ(Read(""), FIRMWARE_NO_HEADER);
    FirmwareHeader missing;
    EXPECT_EQ(ReadFirmwareHeader(dir.File("absent.bin"), &missing, &why), FIRMWARE_NO_HEADER);
    EXPECT_EQ(ReadFirmwareHeader(dir.Path(), &missing, &why), FIRMWARE_NO_HEADER);
}

TEST_F(FirmwareHeaderTest, VersionInfoNamesTheFileOpenedAsGiven) {
    std::string path = dir.Write("announce.bin", Header('F', "4.12"));
    char version[5] = "old";
    EXPECT_EQ(ReadFirmwareVersion(IniFile::Parse("[Common]\nVersionInfo=" + path + "\n"), version),
              FIRMWARE_TYPE_F);
    EXPECT_STREQ(version, "4.12");

    // A relative name is taken from the current directory.
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(ReadFirmwareVersion(IniFile::Parse("[Common]\nVersionInfo=announce.bin\n"), version),
              FIRMWARE_TYPE_F);
    std::filesystem::current_path(previous);

    EXPECT_EQ(ReadFirmwareVersion(IniFile::Parse("[Common]\nVersionInfo=\n"), version),
              FIRMWARE_NO_HEADER);
    EXPECT_STREQ(version, "");
    EXPECT_EQ(
        ReadFirmwareVersion(IniFile::Parse("[Common]\nVersionInfo=" + dir.File("no.bin")), version),
        FIRMWARE_NO_HEADER);
    EXPECT_EQ(ReadFirmwareVersion(IniFile(), version), FIRMWARE_NO_HEADER);
}

TEST(FlashLoaderOffset, ImageRoundedToKilobytesPlusBlockHeadersHeaderAndOneBlock) {
    EXPECT_EQ(FlashLoaderOffset(100000), 100992u);
    EXPECT_EQ(FlashLoaderOffset(64512), 64512u + 128 + 128 + 256);
    EXPECT_EQ(FlashLoaderOffset(64513), 65536u + 2 * 128 + 128 + 256);
    EXPECT_EQ(FlashLoaderOffset(0xFFFFFFFFu), 4294967296u + 66577u * 128 + 384)
        << "no 32-bit overflow";
}

}  // namespace
