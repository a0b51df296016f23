// Templates made by a real resource compiler (windres, from pages.rc):
// walked and grown like the ones the tests assemble.
#include <gtest/gtest.h>

#include "tests/win32/compiled_resources.h"
#include "wizard/win32/dialog_template_format.h"
#include "wizard/win32/page_template.h"

namespace {

using win32::DialogTemplateLayout;
using win32::PageTemplate;
using win32::TemplateFormat;

class CompiledTemplates : public win32_test::CompiledResources {
  protected:
    CompiledTemplates() : CompiledResources("pages.res") {}
};

TEST_F(CompiledTemplates, AClassicPageOfFourControlsGetsItsHeader) {
    PageTemplate page = Dialog(1108);
    const DialogTemplateLayout before = Walk(page);
    EXPECT_EQ(before.format, TemplateFormat::kClassic);
    EXPECT_EQ(before.typeface, u"MS Sans Serif");
    ASSERT_EQ(before.items.size(), 4u);
    EXPECT_EQ(before.items[2].title.name, u"Please click \"Next\" to continue.");
    EXPECT_EQ(before.end, page.size()) << "the walk ends where the compiler's template ends";

    std::string error;
    ASSERT_TRUE(page.AddPageHeader("Modem configuration", "Automatically or manually.", &error))
        << error;
    const DialogTemplateLayout after = Walk(page);
    EXPECT_EQ(after.cy, before.cy + 36);
    ASSERT_EQ(after.items.size(), 7u);
    for (std::size_t i = 0; i < before.items.size(); ++i) {
        EXPECT_EQ(after.items[i].y, before.items[i].y + 36) << "item " << i;
        EXPECT_EQ(after.items[i].id, before.items[i].id);
        EXPECT_EQ(after.items[i].title.name, before.items[i].title.name);
    }
    EXPECT_EQ(after.items[5].title.name, u"Automatically or manually.");
}

TEST_F(CompiledTemplates, AnExtendedPageKeepsItsIdsClassesAndCreationData) {
    PageTemplate page = Dialog(1112);
    const DialogTemplateLayout before = Walk(page);
    EXPECT_EQ(before.format, TemplateFormat::kExtended);
    EXPECT_EQ(before.weight, 400);
    ASSERT_EQ(before.items.size(), 5u);
    EXPECT_EQ(before.items[0].title.name, u"Gr\u00F6\u00DFe") << "the .rc is UTF-8";
    EXPECT_TRUE(before.items[2].title.isOrdinal);
    EXPECT_EQ(before.items[2].title.ordinal, 1000);
    EXPECT_EQ(before.items[3].id, 70000u);
    EXPECT_EQ(before.items[3].creationDataSize, 3u);
    EXPECT_EQ(before.items[4].id, 1046u) << "found behind the odd creation data";

    std::string error;
    ASSERT_TRUE(page.AddWelcomeBitmap(win32::kWelcomeBitmapResource, &error)) << error;
    const DialogTemplateLayout after = Walk(page);
    EXPECT_EQ(after.cy, before.cy - 14);
    ASSERT_EQ(after.items.size(), 6u);
    EXPECT_EQ(after.items[4].y, before.items[4].y - 7);
    EXPECT_EQ(after.items[3].creationDataSize, 3u);
    EXPECT_EQ(after.items[5].style, 0x5002080Eu);
    EXPECT_EQ(after.items[5].title.ordinal, 119);
}

TEST_F(CompiledTemplates, AClassicTemplateWithoutFontWithMenuAndClass) {
    PageTemplate page = Dialog(1200);
    const DialogTemplateLayout before = Walk(page);
    EXPECT_FALSE(before.hasFont);
    EXPECT_TRUE(before.menu.isOrdinal);
    EXPECT_EQ(before.menu.ordinal, 300);
    EXPECT_FALSE(before.windowClass.name.empty());
    ASSERT_EQ(before.items.size(), 1u);
    std::string error;
    ASSERT_TRUE(page.AddPageHeader("T", "S", &error)) << error;
    EXPECT_EQ(Walk(page).items.size(), 4u);
}

}  // namespace
