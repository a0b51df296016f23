#include "tests/win32/sample_templates.h"

namespace win32_test {
namespace {

constexpr std::uint16_t kButton = 0x0080;
constexpr std::uint16_t kStatic = 0x0082;

void ClassicItem(TemplateBytes* t, SampleTemplate* sample, std::uint32_t style, std::int16_t x,
                 std::int16_t y, std::int16_t cx, std::int16_t cy, std::uint16_t id) {
    t->Align();
    sample->itemOffsets.push_back(t->size());
    t->Dword(style).Dword(0);
    t->Word(static_cast<std::uint16_t>(x)).Word(static_cast<std::uint16_t>(y));
    t->Word(static_cast<std::uint16_t>(cx)).Word(static_cast<std::uint16_t>(cy));
    t->Word(id);
}

void ExtendedItem(TemplateBytes* t, SampleTemplate* sample, std::uint32_t style, std::int16_t x,
                  std::int16_t y, std::int16_t cx, std::int16_t cy, std::uint32_t id) {
    t->Align();
    sample->itemOffsets.push_back(t->size());
    t->Dword(0).Dword(0).Dword(style);  // help id, extended style, style
    t->Word(static_cast<std::uint16_t>(x)).Word(static_cast<std::uint16_t>(y));
    t->Word(static_cast<std::uint16_t>(cx)).Word(static_cast<std::uint16_t>(cy));
    t->Dword(id);
}

}  // namespace

SampleTemplate ClassicPage() {
    SampleTemplate sample;
    TemplateBytes t;
    t.Dword(0x40C00040).Dword(0);  // child, caption, DS_SETFONT
    t.Word(4).Word(0).Word(0).Word(317).Word(143);
    t.Word(0).Word(0).Text(u"ORVA Varrona Firmware Wizard");  // no menu, default class
    t.Word(8).Text(u"MS Sans Serif");
    ClassicItem(&t, &sample, 0x50020000, 21, 1, 275, 8, 65534);
    t.Ordinal(kStatic).Text(u"The Firmware Wizard is now looking for your modem. ").Word(0);
    ClassicItem(&t, &sample, 0x50020000, 21, 21, 275, 58, 1003);
    t.Ordinal(kStatic).Text(u"Before you continue:\r\r1. Switch the modem on.").Word(0);
    ClassicItem(&t, &sample, 0x50020000, 21, 95, 275, 8, 1004);
    t.Ordinal(kStatic).Text(u"Please click \"Next\" to continue.").Word(0);
    ClassicItem(&t, &sample, 0x50010003, 21, 120, 275, 10, 1002);
    t.Ordinal(kButton).Text(u"Do not perform automatic recognition").Word(0);
    sample.bytes = t.bytes();
    return sample;
}

SampleTemplate ExtendedPage() {
    SampleTemplate sample;
    TemplateBytes t;
    t.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(0x40000048);  // child, DS_SHELLFONT
    t.Word(4).Word(0).Word(0).Word(317).Word(143);
    t.Ordinal(300).Text(u"WizardPage").Text(u"Firmware update");
    t.Word(8).Word(400).Bytes({0, 1}).Text(u"MS Shell Dlg");  // weight, not italic, charset 1
    ExtendedItem(&t, &sample, 0x50020000, 21, 1, 275, 60, 1019);
    t.Ordinal(kStatic).Text(u"The Firmware Wizard can now start the firmware update.").Word(0);
    ExtendedItem(&t, &sample, 0x50800000, 21, 100, 275, 10, 1020);
    t.Text(u"msctls_progress32").Word(0).Word(0);
    ExtendedItem(&t, &sample, 0x5000000E, 7, 20, 8, 8, 1029);
    t.Ordinal(kStatic).Ordinal(1000).Word(0);
    ExtendedItem(&t, &sample, 0x50000000, 21, 30, 200, 8, 70000);
    t.Text(u"MyClass").Text(u"x").Word(3).Bytes({1, 2, 3});
    sample.bytes = t.bytes();
    return sample;
}

SampleTemplate ClassicWithoutFont() {
    SampleTemplate sample;
    TemplateBytes t;
    t.Dword(0x40000000).Dword(0);  // child, no DS_SETFONT
    t.Word(2).Word(0).Word(0).Word(100).Word(50);
    t.Text(u"PAGEMENU").Word(0).Text(u"Odd");  // 4 + 1 units: the items need padding
    ClassicItem(&t, &sample, 0x50010000, 1, 5, 30, 12, 7);
    t.Text(u"Gauge").Text(u"").Word(5).Bytes({9, 8, 7, 6, 5});
    ClassicItem(&t, &sample, 0x50020000, 1, 40, 90, 8, 8);
    t.Ordinal(kStatic).Text(u"Text").Word(0);
    sample.bytes = t.bytes();
    return sample;
}

}  // namespace win32_test
