// The five pages of Wizard.exe over the engine's worker: their dialog
// procedures, and what the autopilot of the tests reads of them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wizard/win32/sheet_session.h"

namespace win32 {

class SheetPages {
  public:
    SheetPages(SheetSession& session, HINSTANCE instance);
    SheetPages(const SheetPages&) = delete;
    SheetPages& operator=(const SheetPages&) = delete;

    // Runs the sheet modally, owned by owner; returns when it has closed.
    void Run(HWND owner);

    // The sheet's window once its first page exists, else null.
    HWND Sheet() const { return sheet_; }
    // The dialog id of the page with window page; 0 for none.
    int PageId(HWND page) const;
    // True while the update runs (Cancel is then disabled).
    bool UpdateRunning() const { return updateRunning_; }

  private:
    struct Page {
        int id = 0;
        HWND window = nullptr;
        std::vector<std::string> entries;  // the entries of the selection page's boxes
    };
    template <int Index>
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(Page& page, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(Page& page);
    // A PSN_ notification; true with *result when the page answers it.
    bool OnNotify(Page& page, UINT code, LRESULT* result);
    void OnWorkerEvent(Page& page, const PageEvent& event);
    void SetButtons(DWORD buttons);
    // Leaves page for the flow's next (or previous) page; the page's answer.
    LRESULT GoTo(Page& page, int target);
    void FillSelection(Page& page);
    void TakeSelection(Page& page);
    void StartUpdate(Page& page);
    void Tick(Page& page);
    void MarkStep(Page& page, WPARAM index, bool highlight);
    void CancelEnabled(bool enabled);
    bool IsCurrent(const Page& page) const;
    std::wstring Text(UINT id) const;
    void SetText(HWND window, int control, UINT textId) const;
    [[noreturn]] void Fatal(HWND owner, const std::string& text);

    SheetSession& session_;
    HINSTANCE instance_;
    Page pages_[5];
    HWND sheet_ = nullptr;
    bool updateStarted_ = false;
    bool updateSucceeded_ = false;
    bool updateRunning_ = false;
    HFONT boldFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT stepFonts_[2] = {};  // plain and bold
};

// The fatal error box (error icon, no caption, owned by owner), then the
// end of the process with exit code 1. Any thread; the first one wins.
[[noreturn]] void ShowFatalAndEnd(HWND owner, const std::string& text);

// Ends the process now with code, without static destructors: the worker
// may still talk to a modem.
[[noreturn]] void EndProcess(int code);

}  // namespace win32
