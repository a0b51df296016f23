#include "wizard/win32/page_template.h"

#include <cstring>
#include <limits>
#include <vector>

#include "wizard/win32/dialog_template_format.h"
#include "wizard/win32/utf16_text.h"

namespace win32 {
namespace {

// Styles of the added controls: child, visible, group, and the kind of
// static control.
constexpr std::uint32_t kChildVisibleGroup = 0x50020000;
constexpr std::uint32_t kLeftNoWordWrap = 0x000C;
constexpr std::uint32_t kLeftText = 0x0000;
constexpr std::uint32_t kSunkenBlackFrame = 0x1007;
constexpr std::uint32_t kRealSizeBitmap = 0x080E;

bool FitsShort(int value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

// The header text as the template carries it. False when it would not fit
// the page's text buffer or would end the template's text early.
bool HeaderText(const std::string& text, const char* what, std::u16string* out,
                std::string* error) {
    if (text.size() >= kHeaderTextCapacity) {
        *error = std::string("the ") + what + " of the page header has " +
                 std::to_string(text.size()) + " bytes; it must be shorter than " +
                 std::to_string(kHeaderTextCapacity);
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        *error = std::string("the ") + what + " of the page header holds a NUL";
        return false;
    }
    *out = Utf16FromUtf8(text);
    return true;
}

// Shifts every control by dy, changes the control count and the dialog
// height, and appends the new controls, all into *grown: a refusal leaves
// the template as it was.
bool GrownTemplate(const std::uint8_t* data, std::size_t size, int dy, int heightChange,
                   const std::vector<NewDialogItem>& added, std::vector<std::uint8_t>* grown,
                   std::string* error) {
    DialogTemplateLayout layout;
    if (!WalkDialogTemplate(data, size, &layout, error)) {
        return false;
    }
    const std::size_t count = layout.itemCount + added.size();
    if (count > std::numeric_limits<std::uint16_t>::max()) {
        *error = "the dialog template would have " + std::to_string(count) + " controls";
        return false;
    }
    const int height = layout.cy + heightChange;
    if (height < 0 || !FitsShort(height)) {
        *error = "the dialog height " + std::to_string(layout.cy) + " cannot change by " +
                 std::to_string(heightChange);
        return false;
    }
    for (const DialogItemLayout& item : layout.items) {
        if (!FitsShort(item.y + dy)) {
            *error = "control " + std::to_string(item.id) + " at y " + std::to_string(item.y) +
                     " cannot move by " + std::to_string(dy);
            return false;
        }
    }

    std::vector<std::uint8_t> out(data, data + layout.end);
    WriteWord(out.data(), ItemCountOffset(layout.format), static_cast<std::uint16_t>(count));
    WriteWord(out.data(), DialogHeightOffset(layout.format), static_cast<std::uint16_t>(height));
    for (const DialogItemLayout& item : layout.items) {
        WriteWord(out.data(), item.offset + ItemYOffset(layout.format),
                  static_cast<std::uint16_t>(item.y + dy));
    }
    for (const NewDialogItem& item : added) {
        AppendDialogItem(layout.format, item, &out);
    }
    *grown = std::move(out);
    return true;
}

NewDialogItem StaticItem(std::uint32_t kind, int x, int y, int cx, int cy, std::uint16_t id,
                         NameOrOrdinal title) {
    NewDialogItem item;
    item.style = kChildVisibleGroup | kind;
    item.x = static_cast<std::int16_t>(x);
    item.y = static_cast<std::int16_t>(y);
    item.cx = static_cast<std::int16_t>(cx);
    item.cy = static_cast<std::int16_t>(cy);
    item.id = id;
    item.classOrdinal = kStaticClass;
    item.title = std::move(title);
    return item;
}

}  // namespace

void PageTemplate::Deleter::operator()(std::uint8_t* block) const {
    delete[] block;
}

PageTemplate PageTemplate::Copy(const void* resource, std::size_t size) {
    PageTemplate copy;
    if (resource != nullptr && size != 0) {
        copy.Adopt(static_cast<const std::uint8_t*>(resource), size);
    }
    return copy;
}

void PageTemplate::Adopt(const std::uint8_t* bytes, std::size_t size) {
    bytes_.reset(new std::uint8_t[size]);
    std::memcpy(bytes_.get(), bytes, size);
    size_ = size;
}

bool PageTemplate::AddPageHeader(const std::string& title, const std::string& subtitle,
                                 std::string* error) {
    std::u16string title16, subtitle16;
    if (!HeaderText(title, "title", &title16, error) ||
        !HeaderText(subtitle, "subtitle", &subtitle16, error)) {
        return false;
    }
    const std::vector<NewDialogItem> header = {
        StaticItem(kLeftNoWordWrap, 7, 0, 310, 8, kHeaderTitleId,
                   NameOrOrdinal::Name(std::move(title16))),
        StaticItem(kLeftText, 21, 9, 296, 16, kHeaderSubtitleId,
                   NameOrOrdinal::Name(std::move(subtitle16))),
        StaticItem(kSunkenBlackFrame, 0, 28, 317, 1, kHeaderLineId, NameOrOrdinal()),
    };
    std::vector<std::uint8_t> grown;
    if (!GrownTemplate(data(), size(), kHeaderHeight, kHeaderHeight, header, &grown, error)) {
        return false;
    }
    Adopt(grown.data(), grown.size());
    return true;
}

bool PageTemplate::AddWelcomeBitmap(std::uint16_t bitmap, std::string* error) {
    const std::vector<NewDialogItem> added = {
        StaticItem(kRealSizeBitmap, 0, 0, 95, 179, kWelcomeBitmapId,
                   NameOrOrdinal::Ordinal(bitmap)),
    };
    std::vector<std::uint8_t> grown;
    if (!GrownTemplate(data(), size(), -kWelcomeLift, -2 * kWelcomeLift, added, &grown, error)) {
        return false;
    }
    Adopt(grown.data(), grown.size());
    return true;
}

const void* PageTemplate::Release() {
    size_ = 0;
    return bytes_.release();
}

void FreePageTemplate(const void* block) {
    delete[] static_cast<const std::uint8_t*>(block);
}

unsigned PageTemplateCallback(unsigned notification, const void* pageTemplate) {
    if (notification != kPageReleased) {
        return 1;
    }
    FreePageTemplate(pageTemplate);
    return 0;
}

}  // namespace win32
