// A native page as message target: the handle the worker and the plug-ins
// talk to. Every call goes to the page's window through the neutral native
// functions; Windows carries what another thread sends to the page's thread.
//
// A posted message whose lParam points to a text (MessageCarriesText) gets
// a copy of the text, since the sender reuses its buffer: the page takes it
// with TakePostedText when the message arrives.
#pragma once

#include <string>

#include "plugin_api/message_target.h"
#include "wizard/win32/native_window.h"

namespace win32 {

class PageHandle {
  public:
    PageHandle();
    PageHandle(const PageHandle&) = delete;
    PageHandle& operator=(const PageHandle&) = delete;

    // The page's window, once it exists; calls before go nowhere and fail.
    void Attach(NativeWindow window) { window_ = window; }
    NativeWindow Window() const { return window_; }

    HWND Handle() { return &target_; }

    // The text of a posted text message, taken over from lParam (empty for
    // a null lParam). Call once per such message.
    static std::string TakePostedText(LPARAM lParam);

    // The native window of a page's handle; null for any other handle (or
    // a page whose window does not exist yet).
    static NativeWindow WindowOf(HWND handle);

  private:
    static PageHandle* Of(HWND__* target);
    static int Post(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Send(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static int SetItemText(HWND__* target, int itemId, const char* text);
    static int ShowItem(HWND__* target, int itemId, int show);
    static int Box(HWND__* target, const char* text, UINT style);

    HWND__ target_;
    NativeWindow window_ = nullptr;
};

}  // namespace win32
