#include "wizard/win32/dialog_template_format.h"

namespace win32 {
namespace {

constexpr std::size_t kClassicHeaderSize = 18;
constexpr std::size_t kExtendedHeaderSize = 26;
constexpr std::uint16_t kOrdinalMark = 0xFFFF;

std::size_t AlignTo4(std::size_t offset) {
    return (offset + 3) & ~static_cast<std::size_t>(3);
}

// Reads fields in order and stops at the end of the bytes: every read
// checks that what it reads is there.
class TemplateReader {
  public:
    TemplateReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t at() const { return at_; }
    bool Has(std::size_t count) const { return count <= size_ - at_; }

    bool Skip(std::size_t count) {
        if (!Has(count)) {
            return false;
        }
        at_ += count;
        return true;
    }
    bool AlignTo4() { return Skip(win32::AlignTo4(at_) - at_); }
    bool Byte(std::uint8_t* value) {
        if (!Has(1)) {
            return false;
        }
        *value = data_[at_++];
        return true;
    }
    bool Word(std::uint16_t* value) {
        if (!Has(2)) {
            return false;
        }
        *value = ReadWord(data_, at_);
        at_ += 2;
        return true;
    }
    bool Short(std::int16_t* value) {
        std::uint16_t word;
        if (!Word(&word)) {
            return false;
        }
        *value = static_cast<std::int16_t>(word);
        return true;
    }
    bool Dword(std::uint32_t* value) {
        std::uint16_t low, high;
        if (!Word(&low) || !Word(&high)) {
            return false;
        }
        *value = static_cast<std::uint32_t>(high) << 16 | low;
        return true;
    }
    // A NUL-terminated UTF-16 text; the NUL is consumed.
    bool Text(std::u16string* text) {
        text->clear();
        for (;;) {
            std::uint16_t unit;
            if (!Word(&unit)) {
                return false;
            }
            if (unit == 0) {
                return true;
            }
            text->push_back(static_cast<char16_t>(unit));
        }
    }
    bool NameOrOrdinal(win32::NameOrOrdinal* field) {
        if (!Has(2)) {
            return false;
        }
        *field = win32::NameOrOrdinal();
        if (ReadWord(data_, at_) == kOrdinalMark) {
            field->isOrdinal = true;
            return Skip(2) && Word(&field->ordinal);
        }
        return Text(&field->name);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool ReadHeader(TemplateReader* in, DialogTemplateLayout* layout) {
    std::uint32_t ignored;
    if (layout->format == TemplateFormat::kExtended) {
        // Version and signature, help id, extended style, style.
        if (!in->Skip(4) || !in->Dword(&ignored) || !in->Dword(&ignored) ||
            !in->Dword(&layout->style)) {
            return false;
        }
    } else if (!in->Dword(&layout->style) || !in->Dword(&ignored)) {
        return false;
    }
    if (!in->Word(&layout->itemCount) || !in->Short(&layout->x) || !in->Short(&layout->y) ||
        !in->Short(&layout->cx) || !in->Short(&layout->cy)) {
        return false;
    }
    if (!in->NameOrOrdinal(&layout->menu) || !in->NameOrOrdinal(&layout->windowClass) ||
        !in->NameOrOrdinal(&layout->title)) {
        return false;
    }
    layout->hasFont = (layout->style & kSetFontStyle) != 0;
    if (!layout->hasFont) {
        return true;
    }
    if (!in->Word(&layout->pointSize)) {
        return false;
    }
    if (layout->format == TemplateFormat::kExtended &&
        (!in->Word(&layout->weight) || !in->Byte(&layout->italic) || !in->Byte(&layout->charset))) {
        return false;
    }
    return in->Text(&layout->typeface);
}

bool ReadItem(TemplateReader* in, TemplateFormat format, DialogItemLayout* item) {
    if (!in->AlignTo4()) {
        return false;
    }
    item->offset = in->at();
    std::uint32_t ignored;
    if (format == TemplateFormat::kExtended) {
        // Help id, extended style, style.
        if (!in->Dword(&ignored) || !in->Dword(&ignored) || !in->Dword(&item->style)) {
            return false;
        }
    } else if (!in->Dword(&item->style) || !in->Dword(&ignored)) {
        return false;
    }
    if (!in->Short(&item->x) || !in->Short(&item->y) || !in->Short(&item->cx) ||
        !in->Short(&item->cy)) {
        return false;
    }
    if (format == TemplateFormat::kExtended) {
        if (!in->Dword(&item->id)) {
            return false;
        }
    } else {
        std::uint16_t id;
        if (!in->Word(&id)) {
            return false;
        }
        item->id = id;
    }
    std::uint16_t dataSize;
    if (!in->NameOrOrdinal(&item->windowClass) || !in->NameOrOrdinal(&item->title) ||
        !in->Word(&dataSize) || !in->Skip(dataSize)) {
        return false;
    }
    item->creationDataSize = dataSize;
    item->end = in->at();
    return true;
}

void PutWord(std::vector<std::uint8_t>* out, std::uint16_t value) {
    out->push_back(static_cast<std::uint8_t>(value & 0xFF));
    out->push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDword(std::vector<std::uint8_t>* out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

void PutNameOrOrdinal(std::vector<std::uint8_t>* out, const NameOrOrdinal& field) {
    if (field.isOrdinal) {
        PutWord(out, kOrdinalMark);
        PutWord(out, field.ordinal);
        return;
    }
    for (char16_t unit : field.name) {
        PutWord(out, static_cast<std::uint16_t>(unit));
    }
    PutWord(out, 0);
}

}  // namespace

NameOrOrdinal NameOrOrdinal::Ordinal(std::uint16_t number) {
    NameOrOrdinal field;
    field.isOrdinal = true;
    field.ordinal = number;
    return field;
}

NameOrOrdinal NameOrOrdinal::Name(std::u16string text) {
    NameOrOrdinal field;
    field.name = std::move(text);
    return field;
}

std::uint16_t ReadWord(const std::uint8_t* data, std::size_t offset) {
    return static_cast<std::uint16_t>(data[offset] | data[offset + 1] << 8);
}

void WriteWord(std::uint8_t* data, std::size_t offset, std::uint16_t value) {
    data[offset] = static_cast<std::uint8_t>(value & 0xFF);
    data[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::size_t ItemCountOffset(TemplateFormat format) {
    return format == TemplateFormat::kExtended ? 16 : 8;
}

std::size_t DialogHeightOffset(TemplateFormat format) {
    return ItemCountOffset(format) + 8;
}

std::size_t ItemYOffset(TemplateFormat format) {
    return format == TemplateFormat::kExtended ? 14 : 10;
}

bool WalkDialogTemplate(const std::uint8_t* data, std::size_t size, DialogTemplateLayout* layout,
                        std::string* error) {
    *layout = DialogTemplateLayout();
    if (data == nullptr || size < 4) {
        *error = "the dialog template is empty or shorter than its header";
        return false;
    }
    layout->format =
        ReadWord(data, 2) == kOrdinalMark ? TemplateFormat::kExtended : TemplateFormat::kClassic;
    const std::size_t headerSize =
        layout->format == TemplateFormat::kExtended ? kExtendedHeaderSize : kClassicHeaderSize;
    TemplateReader in(data, size);
    if (size < headerSize || !ReadHeader(&in, layout)) {
        *error = "the dialog template ends inside its header (" + std::to_string(size) + " bytes)";
        return false;
    }
    layout->items.reserve(layout->itemCount);
    for (std::uint16_t i = 0; i < layout->itemCount; ++i) {
        DialogItemLayout item;
        if (!ReadItem(&in, layout->format, &item)) {
            *error = "the dialog template ends inside item " + std::to_string(i + 1) + " of " +
                     std::to_string(layout->itemCount) + " (" + std::to_string(size) + " bytes)";
            return false;
        }
        layout->items.push_back(std::move(item));
    }
    layout->end = in.at();
    return true;
}

void AppendDialogItem(TemplateFormat format, const NewDialogItem& item,
                      std::vector<std::uint8_t>* out) {
    out->resize(AlignTo4(out->size()), 0);
    if (format == TemplateFormat::kExtended) {
        PutDword(out, 0);  // help id
        PutDword(out, 0);  // extended style
        PutDword(out, item.style);
    } else {
        PutDword(out, item.style);
        PutDword(out, 0);  // extended style
    }
    PutWord(out, static_cast<std::uint16_t>(item.x));
    PutWord(out, static_cast<std::uint16_t>(item.y));
    PutWord(out, static_cast<std::uint16_t>(item.cx));
    PutWord(out, static_cast<std::uint16_t>(item.cy));
    if (format == TemplateFormat::kExtended) {
        PutDword(out, item.id);
    } else {
        PutWord(out, item.id);
    }
    PutNameOrOrdinal(out, NameOrOrdinal::Ordinal(item.classOrdinal));
    PutNameOrOrdinal(out, item.title);
    PutWord(out, 0);  // no creation data
}

}  // namespace win32
