// The neutral window functions (wizard/win32/native_window.h) on Windows.
#include "wizard/win32/native_window.h"

#include <windows.h>

#include "wizard/win32/native/test_hooks.h"
#include "wizard/win32/utf16_text.h"

namespace win32 {
namespace {

HWND WindowOf(NativeWindow window) {
    return static_cast<HWND>(window);
}

const wchar_t* Wide(const std::u16string& text) {
    // wchar_t is the 16-bit UTF-16 unit on Windows.
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

bool NativePost(NativeWindow window, unsigned message, std::uintptr_t wParam,
                std::intptr_t lParam) {
    return PostMessageA(WindowOf(window), message, wParam, lParam) != FALSE;
}

std::intptr_t NativeSend(NativeWindow window, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    return SendMessageA(WindowOf(window), message, wParam, lParam);
}

bool NativeSetItemText(NativeWindow window, int itemId, const char* text) {
    const std::u16string wide = Utf16FromUtf8(text != nullptr ? text : "");
    return SetDlgItemTextW(WindowOf(window), itemId, Wide(wide)) != FALSE;
}

bool NativeShowItem(NativeWindow window, int itemId, bool show) {
    HWND item = GetDlgItem(WindowOf(window), itemId);
    if (item == nullptr) {
        return false;
    }
    ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    return true;
}

int NativeMessageBox(NativeWindow window, const char* text, unsigned style) {
    if (AnswerBoxesForTests()) {
        TestLog(std::string("Message box: ") + (text != nullptr ? text : ""));
        return (style & 0x0F) == MB_YESNO ? IDYES : IDOK;
    }
    const std::u16string wide = Utf16FromUtf8(text != nullptr ? text : "");
    return MessageBoxW(WindowOf(window), Wide(wide), nullptr, style);
}

}  // namespace win32
