// The transfer progress dialog as a Windows dialog: the text with the file
// name, the bar and Cancel, modeless on the page's thread while the
// transfer library's worker runs (Wait keeps it responsive).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <string>

#include "transfer/transfer_dialog.h"
#include "wizard/win32/native/test_hooks.h"
#include "wizard/win32/native_window.h"

namespace win32 {
namespace {

class NativeTransferDialog : public TransferProgressView {
  public:
    NativeTransferDialog(HINSTANCE instance, HWND owner) : instance_(instance) {
        dialog_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TRANSFER), owner, &Procedure,
                                     reinterpret_cast<LPARAM>(this));
        if (dialog_ != nullptr) {
            SendDlgItemMessageW(dialog_, IDC_TRANSFER_PROGRESS, PBM_SETRANGE, 0,
                                MAKELPARAM(0, 100));
            ShowWindow(dialog_, SW_SHOW);
        }
    }
    ~NativeTransferDialog() override {
        if (dialog_ != nullptr) {
            DestroyWindow(dialog_);
        }
    }
    bool Made() const { return dialog_ != nullptr; }

    std::string LoadText(int id) override {
        const wchar_t* text = nullptr;
        const int length =
            LoadStringW(instance_, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || text == nullptr) {
            return std::string();
        }
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
        return utf8;
    }
    void SetTitle(const std::string& title) override {
        SetWindowTextW(dialog_, Wide(title).c_str());
    }
    void SetText(const std::string& text) override {
        SetDlgItemTextW(dialog_, IDC_TRANSFER_TEXT, Wide(text).c_str());
    }
    void SetPercentage(int percent) override {
        SendDlgItemMessageW(dialog_, IDC_TRANSFER_PROGRESS, PBM_SETPOS,
                            static_cast<WPARAM>(percent), 0);
    }
    // Runs the thread's messages for ms milliseconds.
    void Wait(DWORD ms) override {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(dialog_, &message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            const DWORD passed = GetTickCount() - start;
            if (passed >= ms) {
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        }
    }
    bool CancelPressed() override { return cancelPressed_; }
    void Close(int) override {
        if (dialog_ != nullptr) {
            DestroyWindow(dialog_);
            dialog_ = nullptr;
        }
    }

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
            return TRUE;
        }
        auto* self =
            reinterpret_cast<NativeTransferDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // Cancel, Escape and the close box: the dialog stays until the
        // transfer has stopped.
        if (self != nullptr && message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            self->cancelPressed_ = true;
            EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    }

    HINSTANCE instance_;
    HWND dialog_ = nullptr;
    bool cancelPressed_ = false;
};

}  // namespace

std::unique_ptr<TransferProgressView> CreateNativeTransferView(NativeWindow owner) {
    HWND window = static_cast<HWND>(owner);
    if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        return nullptr;
    }
    auto dialog = std::make_unique<NativeTransferDialog>(GetModuleHandleW(nullptr), window);
    if (!dialog->Made()) {
        return nullptr;
    }
    return dialog;
}

}  // namespace win32
