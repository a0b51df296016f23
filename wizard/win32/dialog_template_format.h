// The two in-memory dialog template formats of the Windows dialog manager,
// read and written as plain little-endian bytes (no Windows headers), so
// that the page templates can be prepared and tested on every platform.
//
// Classic: an 18-byte header (style, extended style, item count, x, y, cx,
// cy) and items with an 18-byte header and a 16-bit id. Extended: a 26-byte
// header that starts with version 1 and the signature 0xFFFF, and items
// with a 24-byte header and a 32-bit id. Both: menu, class and title after
// the header, each an ordinal (0xFFFF and a number) or a NUL-terminated
// UTF-16 text; the font when the style has DS_SETFONT; every item starts on
// a 4-byte boundary, with its class, title and creation data (a 16-bit byte
// count and that many bytes, the count not counting itself: what resource
// compilers write and the dialog manager reads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

enum class TemplateFormat { kClassic, kExtended };

// A menu, class or title field: a number, or a text (empty for none).
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::u16string name;

    static NameOrOrdinal Ordinal(std::uint16_t number);
    static NameOrOrdinal Name(std::u16string text);
};

// One control of a template, where it is and what it says.
struct DialogItemLayout {
    std::size_t offset = 0;  // its fixed header, from the start of the template
    std::size_t end = 0;     // one past its creation data
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;  // 16 bits in the classic format
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::size_t creationDataSize = 0;
};

// A whole template as WalkDialogTemplate found it.
struct DialogTemplateLayout {
    TemplateFormat format = TemplateFormat::kClassic;
    std::uint32_t style = 0;
    std::uint16_t itemCount = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, windowClass, title;
    bool hasFont = false;
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;  // extended format only
    std::uint8_t italic = 0;   // extended format only
    std::uint8_t charset = 0;  // extended format only
    std::u16string typeface;
    std::vector<DialogItemLayout> items;
    std::size_t end = 0;  // one past the last item (or past the header without items)
};

// The dialog style bit (DS_SETFONT) that announces the font fields.
constexpr std::uint32_t kSetFontStyle = 0x40;
// Class ordinal of the static control.
constexpr std::uint16_t kStaticClass = 0x0082;

// Reads the template in data[0, size). False, with *error, when the bytes
// end before the template does (nothing past size is read) or its header
// cannot be a template.
bool WalkDialogTemplate(const std::uint8_t* data, std::size_t size, DialogTemplateLayout* layout,
                        std::string* error);

// Where the fields that the page preparation changes lie.
std::size_t ItemCountOffset(TemplateFormat format);
std::size_t DialogHeightOffset(TemplateFormat format);
std::size_t ItemYOffset(TemplateFormat format);  // from the item's offset

// A control to append to a template: a predefined class by ordinal, a text
// or resource ordinal as title, no creation data.
struct NewDialogItem {
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint16_t id = 0;  // written as 32 bits in the extended format
    std::uint16_t classOrdinal = kStaticClass;
    NameOrOrdinal title;
};

// Appends item to out in the layout of format, starting at the next 4-byte
// boundary of out (out begins at the start of the template).
void AppendDialogItem(TemplateFormat format, const NewDialogItem& item,
                      std::vector<std::uint8_t>* out);

// The 16-bit little-endian word at data + offset, and its writer.
std::uint16_t ReadWord(const std::uint8_t* data, std::size_t offset);
void WriteWord(std::uint8_t* data, std::size_t offset, std::uint16_t value);

}  // namespace win32
