#include "wizard/win32/native/autopilot.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "wizard/flow/wizard_flow.h"
#include "wizard/win32/native/sheet_pages.h"
#include "wizard/win32/native/test_hooks.h"

namespace win32 {
namespace {

// The sheet's wizard buttons.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr int kManualBoxId = 1002;
constexpr int kModelBoxId = 1024;
// Ticks a page is left alone after it appears or after a press, so that
// the texts and buttons it sets have arrived.
constexpr int kSettleTicks = 3;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool Offered(HWND button) {
    return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// A 24-bit bitmap file of what the screen shows of window's client area
// (its frame is the window manager's, where there is one).
bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r = {};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
        const DWORD size = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + size;
        if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
            saved = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                    std::fwrite(bits, size, 1, out) == 1;
            saved = std::fclose(out) == 0 && saved;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace

Autopilot::Autopilot(const SheetPages& pages)
    : pages_(pages),
      manual_(Variable("WIZARD_TEST_MANUAL")),
      model_(Variable("WIZARD_TEST_MODEL")),
      pictures_(Variable("WIZARD_TEST_SCREENSHOTS")) {}

void Autopilot::Report(int pageId, HWND page, HWND sheet) {
    TestLog("Report " + std::to_string(pageId));
    std::vector<HWND> children;
    EnumChildWindows(page, &CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (GetParent(child) != page) {
            continue;  // the parts of a combo box
        }
        std::string line = "Control " + std::to_string(GetDlgCtrlID(child)) +
                           (IsWindowVisible(child) ? " shown" : " hidden");
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Button") == 0) {
            line +=
                SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? " checked" : " unchecked";
        }
        // A picture's text is its resource number, not a text.
        const bool picture = lstrcmpiW(className, L"Static") == 0 &&
                             (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        TestLog(line + " " + (picture ? std::string() : WindowText(child)));
    }
    TestLog(std::string("Buttons") + (Offered(GetDlgItem(sheet, kBackButton)) ? " back" : "") +
            (Offered(GetDlgItem(sheet, kNextButton)) ? " next" : "") +
            (Offered(GetDlgItem(sheet, kFinishButton)) ? " finish" : "") +
            (IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)) ? " cancel" : ""));
}

void Autopilot::Picture(int pageId, HWND sheet) {
    if (pictures_.empty() || !pictured_.insert(pageId).second) {
        return;
    }
    const std::string path = pictures_ + "\\" + std::to_string(pageId) + ".bmp";
    TestLog((SaveWindowPicture(sheet, path) ? "Picture " : "No picture ") + path);
}

void Autopilot::Tick() {
    HWND sheet = pages_.Sheet();
    if (sheet == nullptr || done_) {
        return;
    }
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr) {
        return;
    }
    if (page != lastPage_) {
        lastPage_ = page;
        settled_ = 0;
    }
    if (++settled_ < kSettleTicks) {
        return;
    }
    const int id = pages_.PageId(page);
    if (Offered(GetDlgItem(sheet, kFinishButton))) {
        Report(id, page, sheet);
        Picture(id, sheet);
        TestLog("Press Finish");
        done_ = true;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    } else if (Offered(GetDlgItem(sheet, kNextButton))) {
        // The page as the user first sees it (the update page is pictured
        // while it works, see below).
        if (id != flow::kUpdatePage) {
            Picture(id, sheet);
        }
        if (id == flow::kConfigurationPage && !manual_.empty()) {
            CheckDlgButton(page, kManualBoxId, BST_CHECKED);
        }
        if (id == flow::kSelectionPage && !model_.empty()) {
            SendDlgItemMessageW(page, kModelBoxId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(Wide(model_).c_str()));
        }
        Report(id, page, sheet);
        TestLog("Press Next");
        settled_ = 0;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    } else if (Offered(GetDlgItem(sheet, kBackButton))) {
        // Nothing but Back: the autopilot goes no further.
        Report(id, page, sheet);
        Picture(id, sheet);
        TestLog("Press Cancel");
        done_ = true;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    } else if (id == flow::kUpdatePage && settled_ == 2 * kSettleTicks + 5) {
        Picture(id, sheet);
    }
}

}  // namespace win32
