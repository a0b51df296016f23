#include "wizard/win32/native/property_sheet.h"

#include <cstring>
#include <string>
#include <vector>

#include "wizard/win32/native/presentation.h"
#include "wizard/win32/page_template.h"

namespace win32 {
namespace {

constexpr WORD kHeaderBitmap = 101;
constexpr WORD kWatermarkBitmap = 118;

// A string of the program's table as UTF-8 (the old look's header takes
// UTF-8 into the template); empty for id 0 or a missing string.
std::string LoadUtf8(HINSTANCE instance, UINT id) {
    if (id == 0) {
        return std::string();
    }
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace

INT_PTR RunWizardSheet(HINSTANCE instance, HWND owner, bool oldLook,
                       const SheetPage (&pages)[kSheetPages], LPARAM lParam) {
    PROPSHEETPAGEA records[kSheetPages] = {};
    for (int i = 0; i < kSheetPages; ++i) {
        const SheetPage& page = pages[i];
        PROPSHEETPAGEA& record = records[i];
        // The short layout of the first interface in the old look.
        record.dwSize = oldLook ? PROPSHEETPAGEA_V1_SIZE : sizeof record;
        record.hInstance = instance;
        record.pfnDlgProc = page.procedure;
        record.lParam = lParam;
        record.dwFlags = PSP_DLGINDIRECT;
        PageTemplate prepared = CopyDialogTemplate(instance, page.dialog);
        if (oldLook) {
            std::string error;
            if (i == 0) {
                prepared.AddWelcomeBitmap(kWelcomeBitmapResource, &error);
            } else {
                prepared.AddPageHeader(LoadUtf8(instance, page.title),
                                       LoadUtf8(instance, page.subtitle), &error);
            }
            // A page that cannot take its header shows without it.
            record.dwFlags |= PSP_USECALLBACK;
            record.pfnCallback = &ReleasePageTemplate;
        } else if (i == 0) {
            record.dwFlags |= PSP_HIDEHEADER;
        } else {
            record.dwFlags |= PSP_USEHEADERTITLE | (page.subtitle != 0 ? PSP_USEHEADERSUBTITLE : 0);
            record.pszHeaderTitle = MAKEINTRESOURCEA(page.title);
            record.pszHeaderSubTitle = MAKEINTRESOURCEA(page.subtitle);
        }
        // The page template lives as long as its page (old look: freed by
        // the release callback; new look: until the process ends).
        record.pResource = static_cast<LPCDLGTEMPLATEA>(prepared.Release());
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = oldLook ? PROPSHEETHEADERA_V1_SIZE : sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = "";
    header.nPages = kSheetPages;
    header.nStartPage = 0;
    // The sheet walks the records by their dwSize: the short records of the
    // old look lie back to back.
    const std::size_t recordSize = records[0].dwSize;
    std::vector<unsigned char> packed(recordSize * kSheetPages);
    for (int i = 0; i < kSheetPages; ++i) {
        std::memcpy(&packed[recordSize * i], &records[i], recordSize);
    }
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(packed.data());
    if (!oldLook) {
        header.dwFlags |= PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_USEHBMHEADER |
                          PSH_USEHBMWATERMARK | PSH_STRETCHWATERMARK;
        HBITMAP watermark = LoadBitmapA(instance, MAKEINTRESOURCEA(kWatermarkBitmap));
        HBITMAP headerBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(kHeaderBitmap));
        header.hbmWatermark = BitmapOnCanvas(owner, watermark, 503, 313, 0, 0);
        header.hbmHeader = BitmapOnCanvas(owner, headerBitmap, 503, 58, 443, 5);
        DeleteObject(watermark);
        DeleteObject(headerBitmap);
    }
    return PropertySheetA(&header);
}

}  // namespace win32
