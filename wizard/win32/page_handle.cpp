#include "wizard/win32/page_handle.h"

#include <memory>

#include "plugin_api/messages.h"

namespace win32 {

PageHandle::PageHandle() : target_{&Post, &Send, &SetItemText, &ShowItem, &Box, this} {}

PageHandle* PageHandle::Of(HWND__* target) {
    return static_cast<PageHandle*>(target->context);
}

std::string PageHandle::TakePostedText(LPARAM lParam) {
    std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
    return text != nullptr ? *text : std::string();
}

NativeWindow PageHandle::WindowOf(HWND handle) {
    if (handle == nullptr || handle->post != &PageHandle::Post) {
        return nullptr;
    }
    return Of(handle)->window_;
}

int PageHandle::Post(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    PageHandle* page = Of(target);
    if (page->window_ == nullptr) {
        return 0;
    }
    if (!MessageCarriesText(message)) {
        return NativePost(page->window_, message, wParam, lParam) ? 1 : 0;
    }
    const char* text = ParamText(lParam);
    auto copy = std::make_unique<std::string>(text != nullptr ? text : "");
    if (!NativePost(page->window_, message, wParam, reinterpret_cast<LPARAM>(copy.get()))) {
        return 0;  // not queued: the copy is still ours
    }
    copy.release();  // the page takes it with TakePostedText
    return 1;
}

LRESULT PageHandle::Send(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    PageHandle* page = Of(target);
    return page->window_ != nullptr ? NativeSend(page->window_, message, wParam, lParam) : 0;
}

int PageHandle::SetItemText(HWND__* target, int itemId, const char* text) {
    PageHandle* page = Of(target);
    return page->window_ != nullptr && NativeSetItemText(page->window_, itemId, text) ? 1 : 0;
}

int PageHandle::ShowItem(HWND__* target, int itemId, int show) {
    PageHandle* page = Of(target);
    return page->window_ != nullptr && NativeShowItem(page->window_, itemId, show != 0) ? 1 : 0;
}

int PageHandle::Box(HWND__* target, const char* text, UINT style) {
    PageHandle* page = Of(target);
    return page->window_ != nullptr ? NativeMessageBox(page->window_, text, style) : 0;
}

}  // namespace win32
