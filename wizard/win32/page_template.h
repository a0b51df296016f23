// A wizard page's own copy of its dialog template, and what the old look
// adds to it: the page header (title, subtitle, separator line) on the
// inner pages, the welcome bitmap on the first page. Both template formats.
//
// The page owns its copy: Release() hands the block over to the page record
// (its template pointer), and the page release callback frees it from that
// pointer alone with FreePageTemplate (PageTemplateCallback does both
// answers of the callback).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace win32 {

// Ids of the controls the old look adds.
constexpr std::uint16_t kHeaderTitleId = 65520;
constexpr std::uint16_t kHeaderSubtitleId = 65521;
constexpr std::uint16_t kHeaderLineId = 65535;     // the separator line of an inner page
constexpr std::uint16_t kWelcomeBitmapId = 65535;  // the bitmap of the welcome page
// The bitmap resource of the welcome page.
constexpr std::uint16_t kWelcomeBitmapResource = 119;

// Dialog units the header takes above an inner page's controls, and the
// welcome bitmap's lift of the welcome page's controls.
constexpr int kHeaderHeight = 36;
constexpr int kWelcomeLift = 7;
// The header texts come in buffers of this many bytes (NUL included).
constexpr std::size_t kHeaderTextCapacity = 1024;

class PageTemplate {
  public:
    PageTemplate() = default;

    // A copy of the dialog resource of `size` bytes at `resource`; an empty
    // PageTemplate when there is none (null or 0 bytes).
    static PageTemplate Copy(const void* resource, std::size_t size);

    bool empty() const { return size_ == 0; }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }

    // Moves every control down by kHeaderHeight dialog units, makes the page
    // that much taller, and appends the title (kHeaderTitleId), the
    // subtitle (kHeaderSubtitleId) and the separator line
    // (kHeaderLineId) as static controls. The texts are UTF-8, as all the
    // wizard's texts are (so a Russian title shows on a system whose ANSI
    // code page is a Western one), and go in as UTF-16. False, with
    // *error and the template unchanged, when it cannot be walked, a text
    // does not fit kHeaderTextCapacity or holds a NUL, or a coordinate or
    // the control count would leave its 16 bits.
    bool AddPageHeader(const std::string& title, const std::string& subtitle, std::string* error);

    // Moves every control up by kWelcomeLift dialog units, makes the page
    // 2 * kWelcomeLift lower, and appends the bitmap control
    // kWelcomeBitmapId (95 x 179 units at 0, 0) showing bitmap resource
    // `bitmap`. False, with *error and the template unchanged, as above or
    // when the page is lower than 2 * kWelcomeLift.
    bool AddWelcomeBitmap(std::uint16_t bitmap, std::string* error);

    // Hands the block over (never null for a non-empty template); this
    // object is empty afterwards. Free it with FreePageTemplate.
    const void* Release();

  private:
    // Takes a copy of size bytes as the template.
    void Adopt(const std::uint8_t* bytes, std::size_t size);

    struct Deleter {
        void operator()(std::uint8_t* block) const;
    };
    std::unique_ptr<std::uint8_t[], Deleter> bytes_;
    std::size_t size_ = 0;
};

// Frees a block that PageTemplate::Release handed out; null is ignored.
void FreePageTemplate(const void* block);

// The page release callback's work. The notification codes are those of
// the property sheet (PSPCB_ADDREF 0, PSPCB_RELEASE 1, PSPCB_CREATE 2; named
// apart from the Windows macros, which the native code includes beside this).
// On release it frees the page's template and answers 0; every other
// notification answers 1, which lets the page be created.
constexpr unsigned kPageAddRef = 0;
constexpr unsigned kPageReleased = 1;
constexpr unsigned kPageCreated = 2;
unsigned PageTemplateCallback(unsigned notification, const void* pageTemplate);

}  // namespace win32
