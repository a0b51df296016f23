// Which brands a model section accepts.
#include <gtest/gtest.h>

#include "wizard/engine/brand_check.h"

namespace {

IniFile WithBrands(const std::string& list) {
    return IniFile::Parse("[M]\nModemBrand=" + list + "\n[Free]\nUploadFile=x\n");
}

TEST(Brands, ABlankAfterTheCommaStaysWithTheNextBrand) {
    IniFile ini = WithBrands("ALPHA, BETA");
    EXPECT_TRUE(BrandAccepted(ini, "M", "ALPHA"));
    EXPECT_FALSE(BrandAccepted(ini, "M", "BETA"));
    EXPECT_TRUE(BrandAccepted(ini, "M", " BETA"));
}

TEST(Brands, TrailingWhiteSpaceOfAFieldIsDropped) {
    IniFile ini = WithBrands("ALPHA \t,BETA");
    EXPECT_TRUE(BrandAccepted(ini, "M", "ALPHA"));
    EXPECT_TRUE(BrandAccepted(ini, "M", "BETA"));
    EXPECT_FALSE(BrandAccepted(ini, "M", "ALPHA "));
}

TEST(Brands, CaseMattersAndAnEmptyFieldEndsTheList) {
    IniFile ini = WithBrands("ALPHA,,BETA");
    EXPECT_FALSE(BrandAccepted(ini, "M", "alpha"));
    EXPECT_TRUE(BrandAccepted(ini, "M", "ALPHA"));
    EXPECT_FALSE(BrandAccepted(ini, "M", "BETA"));
    EXPECT_EQ(BrandFields("ALPHA,  ,BETA"), std::vector<std::string>{"ALPHA"});
    EXPECT_EQ(BrandFields(",ALPHA"), std::vector<std::string>{});
}

TEST(Brands, NoListOrNoBrandAcceptsAll) {
    IniFile ini = WithBrands("ALPHA");
    EXPECT_TRUE(BrandAccepted(ini, "M", ""));
    EXPECT_TRUE(BrandAccepted(ini, "Free", "ANYTHING"));
    EXPECT_TRUE(BrandAccepted(ini, "Absent", "ANYTHING"));
    EXPECT_TRUE(BrandAccepted(WithBrands(""), "M", "ANYTHING"));
    EXPECT_TRUE(HasModemBrand(ini, "M"));
    EXPECT_FALSE(HasModemBrand(ini, "Free"));
    EXPECT_FALSE(HasModemBrand(WithBrands(""), "M"));
}

TEST(Brands, AListTooLongToReadAcceptsNoBrandRatherThanACutOne) {
    // Cut at 255 characters the last field would read "GAMM" and accept a
    // brand that is not in the list.
    std::string list = std::string(246, 'A') + ",BETA,GAMMA";
    ASSERT_EQ(list.size(), 257u);
    IniFile ini = WithBrands(list);
    EXPECT_TRUE(HasModemBrand(ini, "M"));
    EXPECT_FALSE(BrandAccepted(ini, "M", "BETA"));
    EXPECT_FALSE(BrandAccepted(ini, "M", "GAMM"));
    EXPECT_TRUE(BrandAccepted(ini, "M", ""));
}

}  // namespace
