// The progress dialogs of the file-store transfers that the native pages
// start: each one a dialog of the program's resources (2000), owned by
// the page, on the page's thread.
#pragma once

#include <memory>

#include "transfer/transfer_dialog.h"
#include "wizard/win32/native_window.h"

namespace win32 {

// The dialog owned by the window, shown; null off the window's thread
// (the transfer then ends as cancelled) or when it cannot be made. Defined
// by the native code.
std::unique_ptr<TransferProgressView> CreateNativeTransferView(NativeWindow owner);

// For CXModemTransfer::SetViewFactory: owner is a native page's handle.
class PageTransferViews : public TransferViewFactory {
  public:
    std::unique_ptr<TransferProgressView> CreateTransferView(HINSTANCE instance,
                                                             HWND owner) override;
};

}  // namespace win32
