// The dialogs Wizard.exe ships (wizard/win32/wizard_pages.rc), compiled by
// windres into its resources and read back: every control the pages and the worker address is
// there, hidden where the worker shows it later, and the old look's header
// and welcome bitmap fit without covering or pushing out a control.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/win32/compiled_resources.h"
#include "wizard/win32/dialog_template_format.h"
#include "wizard/win32/page_template.h"

namespace {

using win32::DialogItemLayout;
using win32::DialogTemplateLayout;
using win32::PageTemplate;

constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kSortsEntries = 0x0100;  // CBS_SORT

struct PageCase {
    std::uint16_t dialog;
    std::vector<std::uint32_t> ids;
    bool welcome;
};

const PageCase kPages[] = {
    {1105, {1201, 1001, 1200}, true},
    {1108, {65534, 1003, 1004, 1002}, false},
    {1109, {1005, 1011, 1012, 1013, 1023, 1024}, false},
    {1106, {1014, 1015, 1016, 1025, 1026, 1017}, false},
    {1112,
     {1019, 1021, 1020, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1039, 1040, 1041, 1042,
      1043, 1044, 1045, 1046},
     false},
};

class WizardPages : public win32_test::CompiledResources {
  protected:
    WizardPages() : CompiledResources("Wizard.res") {}

    static const DialogItemLayout* Item(const DialogTemplateLayout& layout, std::uint32_t id) {
        auto found = std::find_if(layout.items.begin(), layout.items.end(),
                                  [id](const DialogItemLayout& item) { return item.id == id; });
        return found == layout.items.end() ? nullptr : &*found;
    }

    // Window classes are named without regard to case; the resource
    // compiler may also store the predefined ones by ordinal.
    static bool IsComboBox(const DialogItemLayout& item) {
        return item.windowClass.isOrdinal ? item.windowClass.ordinal == 0x0085
                                          : Upper(item.windowClass.name) == u"COMBOBOX";
    }
    static std::u16string Upper(std::u16string text) {
        for (char16_t& c : text) {
            if (c >= u'a' && c <= u'z') {
                c = static_cast<char16_t>(c - u'a' + u'A');
            }
        }
        return text;
    }
};

TEST_F(WizardPages, EveryPageHasItsControlsAndCaption) {
    for (const PageCase& page : kPages) {
        SCOPED_TRACE("dialog " + std::to_string(page.dialog));
        const DialogTemplateLayout layout = Walk(Dialog(page.dialog));
        EXPECT_EQ(layout.title.name, u"ORVA Varrona Firmware Wizard");
        std::set<std::uint32_t> ids;
        for (const DialogItemLayout& item : layout.items) {
            EXPECT_TRUE(ids.insert(item.id).second) << "id " << item.id << " twice";
        }
        EXPECT_EQ(ids, std::set<std::uint32_t>(page.ids.begin(), page.ids.end()));
    }
}

TEST_F(WizardPages, WhatTheWorkerShowsLaterIsHiddenAtFirst) {
    const DialogTemplateLayout update = Walk(Dialog(1112));
    for (std::uint32_t id = 1020; id <= 1046; ++id) {
        const DialogItemLayout* item = Item(update, id);
        if (item == nullptr) {
            continue;
        }
        const bool hidden = id == 1020 || (id >= 1029 && id <= 1036) || id >= 1039;
        EXPECT_EQ((item->style & kVisible) == 0, hidden) << "control " << id;
    }
    for (std::uint32_t bullet = 1029; bullet <= 1036; ++bullet) {
        ASSERT_NE(Item(update, bullet), nullptr);
        EXPECT_TRUE(Item(update, bullet)->title.isOrdinal);
        EXPECT_EQ(Item(update, bullet)->title.ordinal, 1000) << "bullet " << bullet;
    }

    const DialogTemplateLayout search = Walk(Dialog(1106));
    EXPECT_EQ(Item(search, 1025)->title.name, u"COM1");
    EXPECT_EQ(Item(search, 1026)->title.name, u"Suche Modem ...");

    const DialogTemplateLayout selection = Walk(Dialog(1109));
    EXPECT_NE(Item(selection, 1023)->style & kSortsEntries, 0u) << "ports in alphabetical order";
    EXPECT_EQ(Item(selection, 1024)->style & kSortsEntries, 0u) << "models in file order";
}

TEST_F(WizardPages, TheOldLookAddsFitOnEveryPage) {
    for (const PageCase& page : kPages) {
        SCOPED_TRACE("dialog " + std::to_string(page.dialog));
        PageTemplate grown = Dialog(page.dialog);
        std::string error;
        ASSERT_TRUE(page.welcome ? grown.AddWelcomeBitmap(win32::kWelcomeBitmapResource, &error)
                                 : grown.AddPageHeader("Title", "Subtitle", &error))
            << error;
        const DialogTemplateLayout layout = Walk(grown);
        const std::size_t added = page.welcome ? 1 : 3;
        ASSERT_EQ(layout.items.size(), page.ids.size() + added);
        for (std::size_t i = 0; i < page.ids.size(); ++i) {
            const DialogItemLayout& item = layout.items[i];
            if (IsComboBox(item)) {
                continue;  // a combo box's height is its open list
            }
            EXPECT_LE(item.y + item.cy, layout.cy) << "control " << item.id << " below the page";
            if (page.welcome) {
                EXPECT_GE(item.y, 0) << "control " << item.id << " lifted off the page";
                EXPECT_GE(item.x, 95) << "control " << item.id << " on the welcome bitmap";
            }
        }
        if (page.welcome) {
            EXPECT_GE(layout.cy, 179) << "the welcome bitmap fits the page";
        }
    }
}

TEST_F(WizardPages, TheTransferDialogHasTextBarAndCancel) {
    const DialogTemplateLayout layout = Walk(Dialog(2000));
    EXPECT_EQ(layout.format, win32::TemplateFormat::kExtended);
    ASSERT_NE(Item(layout, 2001), nullptr);
    EXPECT_EQ(Upper(Item(layout, 2001)->windowClass.name), u"MSCTLS_PROGRESS32");
    ASSERT_NE(Item(layout, 2002), nullptr);
    ASSERT_NE(Item(layout, 2), nullptr);
    EXPECT_EQ(Item(layout, 2)->title.name, u"Cancel");
}

}  // namespace
