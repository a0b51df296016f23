// Walking the two dialog template formats: every field where the format
// puts it, and a template that ends too early refused without a read past
// its end.
#include <gtest/gtest.h>

#include <memory>

#include "tests/win32/sample_templates.h"
#include "wizard/win32/dialog_template_format.h"

namespace {

using win32::DialogTemplateLayout;
using win32::TemplateFormat;
using win32_test::SampleTemplate;

DialogTemplateLayout Walk(const std::vector<std::uint8_t>& bytes) {
    DialogTemplateLayout layout;
    std::string error;
    EXPECT_TRUE(win32::WalkDialogTemplate(bytes.data(), bytes.size(), &layout, &error)) << error;
    return layout;
}

struct ItemSeen {
    std::uint32_t id;
    std::int16_t y;
    std::uint32_t style;
};

void ExpectItems(const DialogTemplateLayout& layout, const SampleTemplate& sample,
                 const std::vector<ItemSeen>& expected) {
    ASSERT_EQ(layout.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(layout.items[i].offset, sample.itemOffsets[i]);
        EXPECT_EQ(layout.items[i].id, expected[i].id);
        EXPECT_EQ(layout.items[i].y, expected[i].y);
        EXPECT_EQ(layout.items[i].style, expected[i].style);
    }
    EXPECT_EQ(layout.end, sample.bytes.size()) << "the walk ends where the last item ends";
}

TEST(DialogTemplateFormat, AClassicPageWithFontAndFourControls) {
    const SampleTemplate sample = win32_test::ClassicPage();
    const DialogTemplateLayout layout = Walk(sample.bytes);
    EXPECT_EQ(layout.format, TemplateFormat::kClassic);
    EXPECT_EQ(layout.style, 0x40C00040u);
    EXPECT_EQ(layout.itemCount, 4);
    EXPECT_EQ(layout.cx, 317);
    EXPECT_EQ(layout.cy, 143);
    EXPECT_EQ(layout.title.name, u"ORVA Varrona Firmware Wizard");
    EXPECT_TRUE(layout.hasFont);
    EXPECT_EQ(layout.pointSize, 8);
    EXPECT_EQ(layout.typeface, u"MS Sans Serif");
    EXPECT_EQ(sample.itemOffsets[0], 112u) << "the first item starts on the boundary after 110";
    ExpectItems(layout, sample,
                {{65534, 1, 0x50020000},
                 {1003, 21, 0x50020000},
                 {1004, 95, 0x50020000},
                 {1002, 120, 0x50010003}});
    EXPECT_EQ(layout.items[1].title.name, u"Before you continue:\r\r1. Switch the modem on.");
    EXPECT_TRUE(layout.items[3].windowClass.isOrdinal);
    EXPECT_EQ(layout.items[3].windowClass.ordinal, 0x0080);
}

TEST(DialogTemplateFormat, AnExtendedPageWithNamesOrdinalsAndCreationData) {
    const SampleTemplate sample = win32_test::ExtendedPage();
    const DialogTemplateLayout layout = Walk(sample.bytes);
    EXPECT_EQ(layout.format, TemplateFormat::kExtended);
    EXPECT_EQ(layout.style, 0x40000048u);
    EXPECT_EQ(layout.cy, 143);
    EXPECT_TRUE(layout.menu.isOrdinal);
    EXPECT_EQ(layout.menu.ordinal, 300);
    EXPECT_EQ(layout.windowClass.name, u"WizardPage");
    EXPECT_EQ(layout.title.name, u"Firmware update");
    EXPECT_EQ(layout.weight, 400);
    EXPECT_EQ(layout.italic, 0);
    EXPECT_EQ(layout.charset, 1);
    EXPECT_EQ(layout.typeface, u"MS Shell Dlg");
    ExpectItems(layout, sample,
                {{1019, 1, 0x50020000},
                 {1020, 100, 0x50800000},
                 {1029, 20, 0x5000000E},
                 {70000, 30, 0x50000000}});
    EXPECT_EQ(layout.items[1].windowClass.name, u"msctls_progress32");
    EXPECT_TRUE(layout.items[1].title.name.empty());
    EXPECT_TRUE(layout.items[2].title.isOrdinal);
    EXPECT_EQ(layout.items[2].title.ordinal, 1000);
    EXPECT_EQ(layout.items[3].creationDataSize, 3u);
}

TEST(DialogTemplateFormat, AClassicTemplateWithoutFontAndWithOddLengths) {
    const SampleTemplate sample = win32_test::ClassicWithoutFont();
    const DialogTemplateLayout layout = Walk(sample.bytes);
    EXPECT_FALSE(layout.hasFont);
    EXPECT_EQ(layout.menu.name, u"PAGEMENU");
    EXPECT_EQ(layout.title.name, u"Odd");
    EXPECT_EQ(sample.itemOffsets[0], 48u) << "two bytes of padding after the title";
    EXPECT_EQ(sample.itemOffsets[1], 88u) << "the creation data ends on an odd byte";
    ExpectItems(layout, sample, {{7, 5, 0x50010000}, {8, 40, 0x50020000}});
    EXPECT_EQ(layout.items[0].windowClass.name, u"Gauge");
    EXPECT_EQ(layout.items[0].creationDataSize, 5u);
}

TEST(DialogTemplateFormat, EveryTemplateCutShortIsRefusedWithoutReadingPastItsEnd) {
    for (const SampleTemplate& sample : {win32_test::ClassicPage(), win32_test::ExtendedPage(),
                                         win32_test::ClassicWithoutFont()}) {
        for (std::size_t size = 0; size < sample.bytes.size(); ++size) {
            // A block of exactly `size` bytes, so that a read past it is a
            // heap overflow the sanitizer build reports.
            std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size == 0 ? 1 : size]);
            std::copy(sample.bytes.begin(), sample.bytes.begin() + size, block.get());
            DialogTemplateLayout layout;
            std::string error;
            EXPECT_FALSE(win32::WalkDialogTemplate(block.get(), size, &layout, &error))
                << size << " of " << sample.bytes.size() << " bytes";
            EXPECT_NE(error.find("dialog template"), std::string::npos) << error;
        }
    }
}

TEST(DialogTemplateFormat, AnItemCountBeyondTheItemsOrATextWithoutEndIsRefused) {
    SampleTemplate sample = win32_test::ClassicPage();
    sample.bytes[8] = 5;  // five items, four present
    DialogTemplateLayout layout;
    std::string error;
    EXPECT_FALSE(
        win32::WalkDialogTemplate(sample.bytes.data(), sample.bytes.size(), &layout, &error));
    EXPECT_EQ(error, "the dialog template ends inside item 5 of 5 (" +
                         std::to_string(sample.bytes.size()) + " bytes)");

    // A title whose NUL is missing runs to the end of the bytes.
    std::vector<std::uint8_t> endless = win32_test::TemplateBytes()
                                            .Dword(0x40000000)
                                            .Dword(0)
                                            .Word(0)
                                            .Word(0)
                                            .Word(0)
                                            .Word(10)
                                            .Word(10)
                                            .Word(0)
                                            .Word(0)
                                            .Word('a')
                                            .Word('b')
                                            .bytes();
    EXPECT_FALSE(win32::WalkDialogTemplate(endless.data(), endless.size(), &layout, &error));
    EXPECT_EQ(error, "the dialog template ends inside its header (26 bytes)");
}

}  // namespace
