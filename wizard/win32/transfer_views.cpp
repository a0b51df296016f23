#include "wizard/win32/transfer_views.h"

#include "wizard/win32/page_handle.h"

namespace win32 {

std::unique_ptr<TransferProgressView> PageTransferViews::CreateTransferView(HINSTANCE, HWND owner) {
    NativeWindow window = PageHandle::WindowOf(owner);
    return window != nullptr ? CreateNativeTransferView(window) : nullptr;
}

}  // namespace win32
