#include "wizard/win32/native/presentation.h"

#include <shlwapi.h>

#include "wizard/presentation/window_position.h"
#include "wizard/win32/wizard_look.h"

namespace win32 {
namespace {

constexpr int kHeaderFontPoints = 8;
constexpr int kBoldWeight = 700;

// The 40-byte monitor record and the two functions, as user32 exports them
// from Windows 98 and 2000 on; the program runs on systems without them.
struct MonitorRecord {
    DWORD size;
    RECT monitor;
    RECT work;
    DWORD flags;
};
using MonitorFromWindowFunction = HANDLE(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFunction = BOOL(WINAPI*)(HANDLE, MonitorRecord*);
constexpr DWORD kMonitorNearest = 2;

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    // GetProcAddress hands out a generic function pointer; the type is the
    // export's own.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

presentation::ScreenRect ScreenRectOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

bool NewLookSupportedHere() {
    LookFacts facts;
    facts.systemVersion = static_cast<std::uint32_t>(GetVersion());
    HMODULE controls = LoadLibraryA("comctl32.dll");
    if (controls != nullptr) {
        facts.commonControlsLoaded = true;
        auto getVersion = Lookup<DLLGETVERSIONPROC>(controls, "DllGetVersion");
        DLLVERSIONINFO version{};
        version.cbSize = sizeof version;  // the 20-byte record
        if (getVersion != nullptr && SUCCEEDED(getVersion(&version))) {
            facts.versionReported = true;
            facts.majorVersion = version.dwMajorVersion;
            facts.minorVersion = version.dwMinorVersion;
        }
        FreeLibrary(controls);
    }
    return NewLookSupported(facts);
}

PageTemplate CopyDialogTemplate(HMODULE module, WORD dialog) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5));
    if (found == nullptr) {
        return PageTemplate();
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    return PageTemplate::Copy(bytes, bytes != nullptr ? SizeofResource(module, found) : 0);
}

HFONT MakeFont(const char* face, int points, bool bold) {
    LOGFONTA font{};
    if (points > 0) {
        HDC screen = GetDC(nullptr);
        font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
    } else {
        font.lfHeight = -points;
    }
    font.lfWeight = bold ? kBoldWeight : FW_NORMAL;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

HFONT SetHeaderFont(HWND page) {
    HFONT font = MakeFont("MS Shell Dlg", kHeaderFontPoints, true);
    SendDlgItemMessageA(page, kHeaderTitleId, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return font;
}

HBITMAP BitmapOnCanvas(HWND window, HBITMAP bitmap, int width, int height, int x, int y) {
    HDC display = GetDC(window);
    HBITMAP canvas = CreateCompatibleBitmap(display, width, height);
    HDC target = CreateCompatibleDC(display);
    HDC source = CreateCompatibleDC(display);
    HGDIOBJ oldTarget = SelectObject(target, canvas);
    RECT all{0, 0, width, height};
    FillRect(target, &all, GetSysColorBrush(COLOR_WINDOW));
    BITMAP size{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof size, &size) != 0) {
        HGDIOBJ oldSource = SelectObject(source, bitmap);
        BitBlt(target, x, y, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
    }
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(window, display);
    return canvas;
}

RECT WorkArea(HWND window) {
    RECT area{};
    bool found = false;
    HMODULE user = LoadLibraryA("user32.dll");
    if (user != nullptr) {
        auto monitorFromWindow = Lookup<MonitorFromWindowFunction>(user, "MonitorFromWindow");
        auto getMonitorInfo = Lookup<GetMonitorInfoFunction>(user, "GetMonitorInfoA");
        if (monitorFromWindow != nullptr && getMonitorInfo != nullptr && window != nullptr) {
            MonitorRecord record{};
            record.size = sizeof record;
            HANDLE monitor = monitorFromWindow(window, kMonitorNearest);
            if (monitor != nullptr && getMonitorInfo(monitor, &record)) {
                area = record.work;
                found = true;
            }
        }
        FreeLibrary(user);
    }
    if (!found) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    return area;
}

void CentreWindow(HWND window, HWND reference) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const presentation::ScreenRect workArea = ScreenRectOf(WorkArea(window));
    presentation::ScreenRect referenceRect;
    const presentation::ScreenRect* referenceOrNone = nullptr;
    if (reference != nullptr) {
        RECT referenceFrame{};
        GetWindowRect(reference, &referenceFrame);
        referenceRect = ScreenRectOf(referenceFrame);
        referenceOrNone = &referenceRect;
    }
    const presentation::ScreenPoint corner =
        presentation::CentredPosition(ScreenRectOf(frame), workArea, referenceOrNone,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT CALLBACK ReleasePageTemplate(HWND, UINT notification, LPPROPSHEETPAGEA page) {
    return PageTemplateCallback(notification, page != nullptr ? page->pResource : nullptr);
}

}  // namespace win32
