// The check of image and loader files before anything reaches the modem.
#include <gtest/gtest.h>

#include "plugins/flash/hex_check.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

using test_support::FlashImage;
using test_support::HexRecord;
using test_support::ImageHeader;

namespace {

class HexCheck : public ::testing::Test {
  protected:
    bool Check(const std::string& text) {
        return flinta::CheckHexFile(dir.Write("file.hex", text), &problem);
    }
    // The image with its line number n (from 1) replaced.
    static std::string WithLine(const std::string& text, int n, const std::string& line) {
        std::size_t begin = 0;
        for (int i = 1; i < n; ++i) {
            begin = text.find("\r\n", begin) + 2;
        }
        std::size_t end = text.find("\r\n", begin) + 2;
        return text.substr(0, begin) + line + text.substr(end);
    }

    test_support::TempDir dir{"flash-hex"};
    test_support::TraceCapture trace;
    std::string problem;
    const std::string image = FlashImage(ImageHeader(0x1234, "55", "10"), 10);
};

TEST_F(HexCheck, AWellFormedImageAndLoaderPass) {
    EXPECT_TRUE(Check(image)) << problem;
    EXPECT_TRUE(Check(test_support::FlashLoaderHex(20))) << problem;
    EXPECT_TRUE(Check(FlashImage(ImageHeader(1, "55", "10"), 3000, 32))) << "with address records";
    EXPECT_TRUE(trace.Contains("records"));
}

TEST_F(HexCheck, LowerCaseDigitsAreHexDigitsToo) {
    std::string lower = image;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_TRUE(Check(lower)) << problem;
}

TEST_F(HexCheck, LineFeedOnlyLineEndsAreRefusedAtTheFirstLine) {
    std::string lf = image;
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at)) {
        lf.erase(at, 1);
    }
    EXPECT_FALSE(Check(lf));
    EXPECT_NE(problem.find("line 1:"), std::string::npos) << problem;
    EXPECT_NE(problem.find("CR LF"), std::string::npos) << problem;
    EXPECT_TRUE(trace.Contains("line 1:")) << trace.Text();
}

TEST_F(HexCheck, ABadChecksumNamesItsLine) {
    std::string record = HexRecord(0x0100, 0, "ABCDEFGH");
    record[record.size() - 3] = record[record.size() - 3] == '0' ? '1' : '0';
    EXPECT_FALSE(Check(WithLine(image, 7, record)));
    EXPECT_NE(problem.find("line 7: checksum"), std::string::npos) << problem;
}

TEST_F(HexCheck, RecordsLongerThanTheLineBufferAreRefused) {
    const std::string longest = HexRecord(0, 0, std::string(118, 'x'));
    EXPECT_TRUE(Check(WithLine(image, 2, longest))) << problem;
    EXPECT_FALSE(Check(WithLine(image, 2, HexRecord(0, 0, std::string(119, 'x')))));
    EXPECT_NE(problem.find("line 2: 119 data bytes"), std::string::npos) << problem;
}

TEST_F(HexCheck, BrokenFramingIsRefused) {
    const std::string good = HexRecord(0x0040, 0, "0123456789abcdef");
    const struct {
        std::string line;
        const char* why;
    } cases[] = {
        {"\r\n" + good, "does not begin with a colon"},            // an empty line first
        {good.substr(1), "does not begin with a colon"},           // no colon
        {":1G" + good.substr(3), "no hexadecimal record length"},  // length not hex
        {good.substr(0, 20) + "X" + good.substr(21), "no hexadecimal digit"},
        {good.substr(0, good.size() - 2) + " \r\n", "does not end with CR LF"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Check(WithLine(image, 4, c.line))) << c.line;
        EXPECT_NE(problem.find("line 4"), std::string::npos) << problem;
        EXPECT_NE(problem.find(c.why), std::string::npos) << problem;
    }
}

TEST_F(HexCheck, TheEndOfFileRecordMustComeLast) {
    const std::string end = HexRecord(0, 1, "");
    std::string withoutEnd = image.substr(0, image.size() - end.size());
    EXPECT_FALSE(Check(withoutEnd));
    EXPECT_EQ(problem, "no end-of-file record");
    EXPECT_FALSE(Check(image + HexRecord(0x0200, 0, "late")));
    EXPECT_NE(problem.find("after the end-of-file record"), std::string::npos) << problem;
    EXPECT_FALSE(Check(image.substr(0, image.size() - 5)));
    EXPECT_NE(problem.find("ends inside the record"), std::string::npos) << problem;
}

TEST_F(HexCheck, AnEmptyOrMissingFileIsRefused) {
    EXPECT_FALSE(Check(""));
    EXPECT_EQ(problem, "no record at all");
    EXPECT_FALSE(flinta::CheckHexFile(dir.File("none.hex"), &problem));
    EXPECT_EQ(problem, "cannot be opened");
    EXPECT_FALSE(flinta::CheckHexFile("", &problem));
}

TEST_F(HexCheck, CharactersWithoutColonAfterTheLastRecordAreAccepted) {
    EXPECT_TRUE(Check(image + "\x1A")) << problem;
    EXPECT_TRUE(Check(image + "\r\n\r\n")) << problem;
    EXPECT_FALSE(Check(image + "\r\n:")) << "a colon starts a record that is not there";
}

}  // namespace
