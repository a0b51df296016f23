// The old look's additions to the page templates: the page header of the
// inner pages and the welcome bitmap, on both formats, and the templates
// left alone when they cannot take them.
#include <gtest/gtest.h>

#include "tests/win32/sample_templates.h"
#include "wizard/win32/dialog_template_format.h"
#include "wizard/win32/page_template.h"
#include "wizard/win32/utf16_text.h"

namespace {

using win32::DialogTemplateLayout;
using win32::PageTemplate;
using win32::TemplateFormat;
using win32_test::SampleTemplate;
using win32_test::TemplateBytes;

PageTemplate CopyOf(const std::vector<std::uint8_t>& bytes) {
    return PageTemplate::Copy(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> BytesOf(const PageTemplate& page) {
    return std::vector<std::uint8_t>(page.data(), page.data() + page.size());
}

DialogTemplateLayout Walk(const PageTemplate& page) {
    DialogTemplateLayout layout;
    std::string error;
    EXPECT_TRUE(win32::WalkDialogTemplate(page.data(), page.size(), &layout, &error)) << error;
    return layout;
}

std::size_t AlignedEnd(const SampleTemplate& sample) {
    return (sample.bytes.size() + 3) / 4 * 4;
}

// One added control as the format lays it out, for the bytes behind the
// old ones.
void AddedItem(TemplateBytes* t, TemplateFormat format, std::uint32_t style, std::uint16_t x,
               std::uint16_t y, std::uint16_t cx, std::uint16_t cy, std::uint16_t id) {
    t->Align();
    if (format == TemplateFormat::kExtended) {
        t->Dword(0).Dword(0).Dword(style);
    } else {
        t->Dword(style).Dword(0);
    }
    t->Word(x).Word(y).Word(cx).Word(cy);
    if (format == TemplateFormat::kExtended) {
        t->Dword(id);
    } else {
        t->Word(id);
    }
    t->Ordinal(0x0082);
}

// The old bytes are kept except the count, the height and each control's
// y, which are as expected.
void ExpectOldPartMoved(const SampleTemplate& sample, const PageTemplate& page,
                        TemplateFormat format, int count, int height, int dy) {
    const std::vector<std::uint8_t> grown = BytesOf(page);
    ASSERT_GE(grown.size(), sample.bytes.size());
    std::vector<std::uint8_t> expected = sample.bytes;
    win32::WriteWord(expected.data(), win32::ItemCountOffset(format),
                     static_cast<std::uint16_t>(count));
    win32::WriteWord(expected.data(), win32::DialogHeightOffset(format),
                     static_cast<std::uint16_t>(height));
    for (std::size_t offset : sample.itemOffsets) {
        const std::size_t at = offset + win32::ItemYOffset(format);
        win32::WriteWord(expected.data(), at,
                         static_cast<std::uint16_t>(win32::ReadWord(expected.data(), at) + dy));
    }
    EXPECT_EQ(std::vector<std::uint8_t>(grown.begin(), grown.begin() + sample.bytes.size()),
              expected);
}

std::vector<std::uint8_t> HeaderItems(TemplateFormat format, std::size_t start,
                                      const std::u16string& title, const std::u16string& subtitle) {
    // Built behind `start` bytes of nothing so that the alignment is the
    // template's own.
    TemplateBytes t;
    t.Bytes(std::vector<std::uint8_t>(start, 0));
    AddedItem(&t, format, 0x5002000C, 7, 0, 310, 8, 65520);
    t.Text(title).Word(0);
    AddedItem(&t, format, 0x50020000, 21, 9, 296, 16, 65521);
    t.Text(subtitle).Word(0);
    AddedItem(&t, format, 0x50021007, 0, 28, 317, 1, 65535);
    t.Word(0).Word(0);
    return std::vector<std::uint8_t>(t.bytes().begin() + start, t.bytes().end());
}

std::vector<std::uint8_t> Tail(const PageTemplate& page, std::size_t from) {
    const std::vector<std::uint8_t> bytes = BytesOf(page);
    return std::vector<std::uint8_t>(bytes.begin() + from, bytes.end());
}

TEST(PageHeader, BothFormatsGainThreeControlsAnd36Units) {
    struct Case {
        SampleTemplate sample;
        TemplateFormat format;
        const char* subtitle;  // a page without subtitle gets an empty one
        std::uint32_t lastOldId;
    };
    const Case cases[] = {
        {win32_test::ClassicPage(), TemplateFormat::kClassic, "Use this dialog.", 1002},
        {win32_test::ExtendedPage(), TemplateFormat::kExtended, "", 70000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format == TemplateFormat::kExtended ? "extended" : "classic");
        PageTemplate page = CopyOf(c.sample.bytes);
        std::string error;
        ASSERT_TRUE(page.AddPageHeader("Modem configuration", c.subtitle, &error)) << error;

        // Four controls gain three; the page is 36 units taller and every
        // old control's y grows by 36.
        ExpectOldPartMoved(c.sample, page, c.format, 7, 143 + 36, 36);
        EXPECT_EQ(Tail(page, AlignedEnd(c.sample)),
                  HeaderItems(c.format, AlignedEnd(c.sample), u"Modem configuration",
                              win32::Utf16FromUtf8(c.subtitle)))
            << "the new controls in the format's own layout (32-bit ids when extended)";

        const DialogTemplateLayout layout = Walk(page);
        ASSERT_EQ(layout.items.size(), 7u);
        EXPECT_EQ(layout.items[3].id, c.lastOldId) << "the old ids are kept";
        EXPECT_EQ(layout.items[6].id, 65535u);
        EXPECT_EQ(layout.items[6].creationDataSize, 0u);
    }
}

TEST(PageHeader, TheTextsGoInAsUtf16) {
    struct Case {
        const char* utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"Modemkonfiguration", u"Modemkonfiguration"},
        {"Manuelle Modemauswahl \xC3\xBC\xC3\x9F", u"Manuelle Modemauswahl \u00FC\u00DF"},
        {"\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBC", u"\u041C\u043E\u0434\u0435\u043C"},
        {"line\rbreak", u"line\rbreak"},
    };
    for (const Case& c : cases) {
        PageTemplate page = CopyOf(win32_test::ClassicPage().bytes);
        std::string error;
        ASSERT_TRUE(page.AddPageHeader(c.utf8, c.utf8, &error)) << error;
        const DialogTemplateLayout layout = Walk(page);
        EXPECT_EQ(layout.items[4].title.name, c.utf16) << c.utf8;
        EXPECT_EQ(layout.items[5].title.name, c.utf16) << c.utf8;
    }
}

TEST(WelcomeBitmap, BothFormatsGainTheBitmapAndLoseFourteenUnits) {
    for (const SampleTemplate& sample : {win32_test::ClassicPage(), win32_test::ExtendedPage()}) {
        const DialogTemplateLayout before = [&] {
            DialogTemplateLayout layout;
            std::string error;
            win32::WalkDialogTemplate(sample.bytes.data(), sample.bytes.size(), &layout, &error);
            return layout;
        }();
        SCOPED_TRACE(before.format == TemplateFormat::kExtended ? "extended" : "classic");
        PageTemplate page = CopyOf(sample.bytes);
        std::string error;
        ASSERT_TRUE(page.AddWelcomeBitmap(win32::kWelcomeBitmapResource, &error)) << error;

        ExpectOldPartMoved(sample, page, before.format, 5, 143 - 14, -7);
        TemplateBytes expected;
        expected.Bytes(std::vector<std::uint8_t>(AlignedEnd(sample), 0));
        AddedItem(&expected, before.format, 0x5002080E, 0, 0, 95, 179, 65535);
        expected.Ordinal(119).Word(0);
        EXPECT_EQ(Tail(page, AlignedEnd(sample)),
                  std::vector<std::uint8_t>(expected.bytes().begin() + AlignedEnd(sample),
                                            expected.bytes().end()));
        EXPECT_EQ(Walk(page).items[0].y, 1 - 7);
    }
}

TEST(PageTemplate, WhatCannotBeAddedLeavesTheTemplateAsItWas) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string title;
        bool welcome;
        const char* error;
    };
    std::vector<std::uint8_t> cut = win32_test::ClassicPage().bytes;
    cut.resize(cut.size() - 1);
    std::vector<std::uint8_t> low = win32_test::ClassicWithoutFont().bytes;
    win32::WriteWord(low.data(), win32::DialogHeightOffset(TemplateFormat::kClassic), 13);
    SampleTemplate deep = win32_test::ClassicWithoutFont();
    win32::WriteWord(deep.bytes.data(),
                     deep.itemOffsets[1] + win32::ItemYOffset(TemplateFormat::kClassic),
                     32767 - 35);
    const Case cases[] = {
        {"a template cut short", cut, "Title", false, "ends inside item 4 of 4"},
        {"a title of 1024 bytes", win32_test::ClassicPage().bytes, std::string(1024, 't'), false,
         "the title of the page header has 1024 bytes; it must be shorter than 1024"},
        {"a title holding a NUL", win32_test::ClassicPage().bytes, std::string("Ti\0tle", 6), false,
         "holds a NUL"},
        {"a control that would move past y 32767", deep.bytes, "Title", false,
         "control 8 at y 32732 cannot move by 36"},
        {"a welcome page lower than 14 units", low, "", true,
         "the dialog height 13 cannot change by -14"},
        {"no template at all", {}, "Title", false, "empty"},
    };
    for (const Case& c : cases) {
        PageTemplate page = CopyOf(c.bytes);
        std::string error;
        const bool added = c.welcome ? page.AddWelcomeBitmap(119, &error)
                                     : page.AddPageHeader(c.title, "Subtitle", &error);
        EXPECT_FALSE(added) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(BytesOf(page), c.bytes) << c.what;
    }
    PageTemplate page = CopyOf(win32_test::ClassicPage().bytes);
    std::string error;
    EXPECT_TRUE(page.AddPageHeader(std::string(1023, 't'), "", &error))
        << "1023 bytes and the NUL fill the buffer: " << error;
}

TEST(PageTemplate, ThePageOwnsItsCopyAndTheReleaseCallbackFreesIt) {
    const SampleTemplate sample = win32_test::ClassicPage();
    EXPECT_TRUE(PageTemplate::Copy(nullptr, 10).empty());
    EXPECT_TRUE(PageTemplate::Copy(sample.bytes.data(), 0).empty());

    PageTemplate page = CopyOf(sample.bytes);
    ASSERT_NE(page.data(), sample.bytes.data()) << "a copy, not the resource itself";
    const void* block = page.Release();
    EXPECT_TRUE(page.empty());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(
        std::vector<std::uint8_t>(static_cast<const std::uint8_t*>(block),
                                  static_cast<const std::uint8_t*>(block) + sample.bytes.size()),
        sample.bytes);
    // The sheet asks first whether it may create the page; only the release
    // frees (the sanitizer build reports a leak or a double free).
    EXPECT_EQ(win32::PageTemplateCallback(win32::kPageAddRef, block), 1u);
    EXPECT_EQ(win32::PageTemplateCallback(win32::kPageCreated, block), 1u);
    EXPECT_EQ(win32::PageTemplateCallback(win32::kPageReleased, block), 0u);
    win32::FreePageTemplate(nullptr);
}

}  // namespace
