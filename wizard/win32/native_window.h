// What the wizard's Windows-free code needs of a native window, as plain
// functions: the engine and the plug-ins see a page as a message target
// (plugin_api/message_target.h), whose HWND is not the Windows one, so the
// two never meet in one file. Defined by the native code (which includes
// windows.h); the tests define them too, to see what a page handle asks.
#pragma once

#include <cstdint>

namespace win32 {

// A Windows window handle, opaque here.
using NativeWindow = void*;

// PostMessage to the window; true when it was queued.
bool NativePost(NativeWindow window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// SendMessage to the window (Windows carries it to the window's thread).
std::intptr_t NativeSend(NativeWindow window, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam);
// The text (UTF-8) of control itemId of the window; true on success.
bool NativeSetItemText(NativeWindow window, int itemId, const char* text);
// Shows or hides control itemId of the window; true on success.
bool NativeShowItem(NativeWindow window, int itemId, bool show);
// A message box without caption owned by the window (text UTF-8); the
// button pressed, 0 when none could be shown.
int NativeMessageBox(NativeWindow window, const char* text, unsigned style);

}  // namespace win32
