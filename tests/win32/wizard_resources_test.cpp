// The resources of Wizard.exe as windres compiles them: the bitmaps and the
// icon rendered from the artwork, the version and the string tables beside
// the dialogs.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/win32/compiled_resources.h"

namespace {

using win32_test::kEnglishUs;

constexpr std::uint16_t kBitmapType = 2;
constexpr std::uint16_t kIconGroupType = 14;
constexpr std::uint16_t kVersionType = 16;

class WizardResources : public win32_test::CompiledResources {
  protected:
    WizardResources() : CompiledResources("Wizard.res") {}
};

std::int32_t Int32At(const std::vector<std::uint8_t>& data, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | data.at(at + i);
    }
    return static_cast<std::int32_t>(value);
}

TEST_F(WizardResources, TheBitmapsAreTheArtworkInItsOwnSize) {
    struct Case {
        std::uint16_t id;
        std::int32_t width, height;
    };
    // The sizes of the SVGs in wizard/gui/artwork, which the Qt wizard shows
    // in the same sizes.
    for (const Case& bitmap :
         {Case{101, 49, 49}, Case{118, 164, 404}, Case{119, 143, 370}, Case{1000, 12, 12}}) {
        SCOPED_TRACE("bitmap " + std::to_string(bitmap.id));
        const win32_test::Resource* found =
            win32_test::FindResource(resources_, kBitmapType, bitmap.id, kEnglishUs);
        ASSERT_NE(found, nullptr);
        ASSERT_GE(found->data.size(), 40u);
        EXPECT_EQ(Int32At(found->data, 0), 40) << "a BITMAPINFOHEADER";
        EXPECT_EQ(Int32At(found->data, 4), bitmap.width);
        EXPECT_EQ(Int32At(found->data, 8), bitmap.height);
        const std::size_t row = (bitmap.width * 3 + 3) / 4 * 4;
        EXPECT_EQ(found->data.size(), 40 + row * bitmap.height) << "24-bit pixels, every row";
    }
}

TEST_F(WizardResources, TheIconHasItsThreeSizes) {
    const win32_test::Resource* group =
        win32_test::FindResource(resources_, kIconGroupType, 117, kEnglishUs);
    ASSERT_NE(group, nullptr);
    ASSERT_GE(group->data.size(), 6u + 3 * 14);
    EXPECT_EQ(group->data[4], 3) << "images in the group";
    std::vector<int> sizes;
    for (int i = 0; i < 3; ++i) {
        sizes.push_back(group->data[6 + 14 * i]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{48, 32, 16}));
}

TEST_F(WizardResources, TheVersionAndTheStringTablesAreThere) {
    const win32_test::Resource* version =
        win32_test::FindResource(resources_, kVersionType, 1, kEnglishUs);
    ASSERT_NE(version, nullptr);
    const std::u16string name = u"OriginalFilename";
    const std::u16string value = u"Wizard.exe";
    std::u16string text;
    for (std::size_t at = 0; at + 1 < version->data.size(); at += 2) {
        text.push_back(static_cast<char16_t>(version->data[at] | version->data[at + 1] << 8));
    }
    const std::size_t key = text.find(name);
    ASSERT_NE(key, std::u16string::npos);
    EXPECT_NE(text.find(value, key), std::u16string::npos);
    EXPECT_EQ(win32_test::StringTableLanguages(resources_).size(), 14u);
}

}  // namespace
