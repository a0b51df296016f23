// The wizard's property sheet: five pages from the program's dialog
// resources, in the old look (each page template with its own header, the
// welcome page with its bitmap) or the new look of the common controls
// (header title and subtitle drawn by the sheet, header bitmap and
// watermark), run modally.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace win32 {

struct SheetPage {
    WORD dialog;    // dialog resource
    UINT title;     // header title string, 0 for none (the welcome page)
    UINT subtitle;  // header subtitle string, 0 for none
    DLGPROC procedure;
};

constexpr int kSheetPages = 5;

// Runs the sheet owned by owner until it closes; PropertySheet's result.
// Every page gets lParam in its PROPSHEETPAGE. The first page is the welcome
// page (no header).
INT_PTR RunWizardSheet(HINSTANCE instance, HWND owner, bool oldLook,
                       const SheetPage (&pages)[kSheetPages], LPARAM lParam);

}  // namespace win32
