// The native sheet's presentation helpers: the look the system supports,
// the page templates from the program's resources, the bold header font,
// the bitmaps of the new look, and the centring on the right monitor.
// The byte work and the arithmetic are portable (page_template,
// wizard_look, window_position); this is what asks Windows.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

#include "wizard/win32/page_template.h"

namespace win32 {

// The new look by default: from the common controls' DllGetVersion (4.0
// when it does not answer) and GetVersion.
bool NewLookSupportedHere();

// A copy of dialog resource `dialog` of module; empty when it is missing
// or empty.
PageTemplate CopyDialogTemplate(HMODULE module, WORD dialog);

// Gives control kHeaderTitleId of page a bold "MS Shell Dlg" font of 8
// points; the font is returned for the page to delete.
HFONT SetHeaderFont(HWND page);

// A font of `points` points (or a cell height when points is negative),
// converted with the screen's vertical resolution.
HFONT MakeFont(const char* face, int points, bool bold);

// A new bitmap of width x height, compatible with window's display, in the
// system's window colour, with bitmap at (x, y) in its own size.
HBITMAP BitmapOnCanvas(HWND window, HBITMAP bitmap, int width, int height, int x, int y);

// The work area of the monitor nearest to window; the system's work area
// where the monitor functions are missing (looked up at run time).
RECT WorkArea(HWND window);

// Centres window on reference (or on its work area when reference is null)
// and keeps it inside the work area, without resizing or activating it.
void CentreWindow(HWND window, HWND reference);

// The page release callback of the old look: frees the page's template.
UINT CALLBACK ReleasePageTemplate(HWND window, UINT notification, LPPROPSHEETPAGEA page);

}  // namespace win32
