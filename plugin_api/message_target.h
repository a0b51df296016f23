// A window handle is a message target: a small C structure of function
// pointers that the receiver fills in (the Qt pages, the text front end,
// the tests). Plug-ins reach the wizard's pages through it without linking
// to the wizard, so the structure keeps a plain C layout: add nothing.
#pragma once

#include "platform/types.h"

struct HWND__ {
    // Queues a message for the receiver; non-zero when it was queued.
    int (*post)(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    // Delivers a message and waits until the receiver has handled it.
    LRESULT (*send)(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the text of the control itemId; non-zero on success.
    int (*setItemText)(HWND__* target, int itemId, const char* text);
    // Shows (show non-zero) or hides the control itemId; non-zero on success.
    int (*showItem)(HWND__* target, int itemId, int show);
    // Shows a message box without caption; returns the button pressed
    // (IDOK, ...), 0 when no box could be shown.
    int (*messageBox)(HWND__* target, const char* text, UINT style);
    // Belongs to the receiver.
    void* context;
};

// Message-box styles: buttons and icon, combined with |.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

// Buttons a message box reports.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The calls below do nothing on a null handle or a receiver that leaves the
// function out, and then report failure (false / 0).

inline bool PostMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    return target != nullptr && target->post != nullptr &&
           target->post(target, message, wParam, lParam) != 0;
}

inline LRESULT SendMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    return (target != nullptr && target->send != nullptr)
               ? target->send(target, message, wParam, lParam)
               : 0;
}

inline bool SetDlgItemText(HWND target, int itemId, const char* text) {
    return target != nullptr && target->setItemText != nullptr &&
           target->setItemText(target, itemId, text != nullptr ? text : "") != 0;
}

inline bool ShowDlgItem(HWND target, int itemId, bool show) {
    return target != nullptr && target->showItem != nullptr &&
           target->showItem(target, itemId, show ? 1 : 0) != 0;
}

inline int MessageBox(HWND target, const char* text, UINT style) {
    return (target != nullptr && target->messageBox != nullptr)
               ? target->messageBox(target, text != nullptr ? text : "", style)
               : 0;
}

// A text pointer as a message argument, and back.
inline LPARAM TextParam(const char* text) {
    return reinterpret_cast<LPARAM>(text);
}
inline const char* ParamText(LPARAM param) {
    return reinterpret_cast<const char*>(param);
}
