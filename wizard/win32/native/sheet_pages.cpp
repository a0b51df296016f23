#include "wizard/win32/native/sheet_pages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "plugin_api/messages.h"
#include "wizard/engine/page_controls.h"
#include "wizard/resources/strings.h"
#include "wizard/win32/native/presentation.h"
#include "wizard/win32/native/property_sheet.h"
#include "wizard/win32/native/test_hooks.h"
#include "wizard/win32/native_window.h"

namespace win32 {
namespace {

// The pages in the order of the sheet, with their dialogs' controls.
constexpr int kPageIds[kSheetPages] = {flow::kWelcomePage, flow::kConfigurationPage,
                                       flow::kSelectionPage, flow::kSearchPage, flow::kUpdatePage};
constexpr int kGreetingId = 1201;
constexpr int kTitleId = 1001;
constexpr int kBodyId = 1200;
constexpr int kTopTextId = 65534;
constexpr int kObserveId = 1003;
constexpr int kClickNextId = 1004;
constexpr int kManualBoxId = 1002;
constexpr int kSelectTextId = 1005;
constexpr int kPortLabelId = 1011;
constexpr int kModelLabelId = 1012;
constexpr int kSelectClickNextId = 1013;
constexpr int kPortBoxId = 1023;
constexpr int kModelBoxId = 1024;
constexpr int kLookingId = 1014;
constexpr int kSearchPortLabelId = 1015;
constexpr int kSearchStatusLabelId = 1016;

constexpr UINT_PTR kUpdateTimer = 1;
constexpr UINT kUpdateTickMs = 250;
constexpr int kStateFailed = 3;
constexpr int kTitlePoints = 14;
// Sent to a page of its own: the sheet exists and is centred now.
constexpr UINT kPlaceSheet = WM_APP + 1;

int IndexOf(int pageId) {
    for (int i = 0; i < kSheetPages; ++i) {
        if (kPageIds[i] == pageId) {
            return i;
        }
    }
    return -1;
}

HFONT BoldVersionOf(HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW face = {};
    if (font == nullptr || GetObjectW(font, sizeof face, &face) == 0) {
        return nullptr;
    }
    face.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&face);
}

std::atomic<bool> g_ending{false};

}  // namespace

void EndProcess(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

void ShowFatalAndEnd(HWND owner, const std::string& text) {
    if (g_ending.exchange(true)) {
        // Another fatal error is on the screen; its box ends the process.
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
    if (AnswerBoxesForTests()) {
        TestLog("Error box: " + text);
    } else {
        MessageBoxW(owner, Wide(text).c_str(), nullptr, MB_OK | MB_ICONERROR);
    }
    TestLog("Exit 1");
    EndProcess(1);
}

SheetPages::SheetPages(SheetSession& session, HINSTANCE instance)
    : session_(session), instance_(instance) {
    for (int i = 0; i < kSheetPages; ++i) {
        pages_[i].id = kPageIds[i];
    }
}

void SheetPages::Run(HWND owner) {
    const SheetPage pages[kSheetPages] = {
        {flow::kWelcomePage, 0, 0, &Procedure<0>},
        {flow::kConfigurationPage, wizard::IDS_CONFIG_HEADER_TITLE,
         wizard::IDS_CONFIG_HEADER_SUBTITLE, &Procedure<1>},
        {flow::kSelectionPage, wizard::IDS_MANUAL_HEADER_TITLE, wizard::IDS_MANUAL_HEADER_SUBTITLE,
         &Procedure<2>},
        {flow::kSearchPage, wizard::IDS_SEARCH_HEADER_TITLE, 0, &Procedure<3>},
        {flow::kUpdatePage, wizard::IDS_UPDATE_HEADER_TITLE, 0, &Procedure<4>},
    };
    RunWizardSheet(instance_, owner, session_.Options().oldLook, pages,
                   reinterpret_cast<LPARAM>(this));
}

int SheetPages::PageId(HWND page) const {
    for (const Page& p : pages_) {
        if (p.window != nullptr && p.window == page) {
            return p.id;
        }
    }
    return 0;
}

template <int Index>
INT_PTR CALLBACK SheetPages::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        auto* self = reinterpret_cast<SheetPages*>(record->lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        Page& page = self->pages_[Index];
        page.window = window;
        self->session_.AttachPage(page.id, window);
        if (self->sheet_ == nullptr) {
            self->sheet_ = GetParent(window);
            PostMessageW(window, kPlaceSheet, 0, 0);
        }
        self->OnCreate(page);
        return TRUE;
    }
    auto* self = reinterpret_cast<SheetPages*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return FALSE;
    }
    return self->OnMessage(self->pages_[Index], message, wParam, lParam);
}

std::wstring SheetPages::Text(UINT id) const {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

void SheetPages::SetText(HWND window, int control, UINT textId) const {
    SetDlgItemTextW(window, control, Text(textId).c_str());
}

void SheetPages::OnCreate(Page& page) {
    HWND w = page.window;
    if (session_.Options().oldLook && page.id != flow::kWelcomePage) {
        SetHeaderFont(w);  // kept for the life of the process, like the page
    }
    switch (page.id) {
        case flow::kWelcomePage:
            SetText(w, kGreetingId, wizard::IDS_WELCOME_GREETING);
            SetText(w, kTitleId, wizard::IDS_TITLE);
            SetDlgItemTextW(w, kBodyId, Wide(session_.WelcomeBody()).c_str());
            boldFont_ = BoldVersionOf(w);
            SendDlgItemMessageW(w, kGreetingId, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_),
                                FALSE);
            titleFont_ = MakeFont("Times New Roman", kTitlePoints, true);
            SendDlgItemMessageW(w, kTitleId, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_),
                                FALSE);
            break;
        case flow::kConfigurationPage:
            SetText(w, kTopTextId, wizard::IDS_CONFIG_TOP);
            SetText(w, kObserveId, wizard::IDS_CONFIG_OBSERVE);
            SetText(w, kClickNextId, wizard::IDS_CLICK_NEXT);
            SetText(w, kManualBoxId, wizard::IDS_NO_AUTOMATIC_RECOGNITION);
            if (!session_.StartConfiguration()) {
                CheckDlgButton(w, kManualBoxId, BST_CHECKED);
                ShowWindow(GetDlgItem(w, kManualBoxId), SW_HIDE);
            }
            break;
        case flow::kSelectionPage:
            SetText(w, kSelectTextId, wizard::IDS_MANUAL_SELECT);
            SetText(w, kPortLabelId, wizard::IDS_MANUAL_PORT);
            SetText(w, kModelLabelId, wizard::IDS_MANUAL_MODEL);
            SetText(w, kSelectClickNextId, wizard::IDS_MANUAL_CLICK_NEXT);
            break;
        case flow::kSearchPage:
            SetText(w, kLookingId, wizard::IDS_SEARCH_LOOKING);
            SetText(w, kSearchPortLabelId, wizard::IDS_SEARCH_PORT);
            SetText(w, kSearchStatusLabelId, wizard::IDS_SEARCH_STATUS);
            break;
        case flow::kUpdatePage:
            stepFonts_[0] = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
            stepFonts_[1] = BoldVersionOf(w);
            break;
        default:
            break;
    }
}

bool SheetPages::IsCurrent(const Page& page) const {
    return sheet_ != nullptr && reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND,
                                                                    0, 0)) == page.window;
}

void SheetPages::SetButtons(DWORD buttons) {
    PostMessageW(sheet_, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

void SheetPages::CancelEnabled(bool enabled) {
    EnableWindow(GetDlgItem(sheet_, IDCANCEL), enabled ? TRUE : FALSE);
}

INT_PTR SheetPages::OnMessage(Page& page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kPlaceSheet:
            CentreWindow(sheet_, nullptr);
            return TRUE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(page, reinterpret_cast<const NMHDR*>(lParam)->code, &result)) {
                SetWindowLongPtrW(page.window, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        case WM_TIMER:
            if (wParam == kUpdateTimer) {
                Tick(page);
            }
            return TRUE;
        default:
            break;
    }
    if (SheetSession::IsWorkerMessage(message)) {
        // A sent text is the sender's (another thread waits for the
        // answer); a posted one is a copy that the page takes over.
        OnWorkerEvent(
            page, session_.OnMessage(page.id, message, wParam, lParam, InSendMessage() != FALSE));
        SetWindowLongPtrW(page.window, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

bool SheetPages::OnNotify(Page& page, UINT code, LRESULT* result) {
    HWND w = page.window;
    switch (code) {
        case PSN_SETACTIVE:
            TestLog("Page " + std::to_string(page.id));
            switch (page.id) {
                case flow::kWelcomePage:
                    SetButtons(PSWIZB_NEXT);
                    break;
                case flow::kConfigurationPage:
                    session_.Flags().updateStarted = false;
                    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
                    break;
                case flow::kSelectionPage:
                    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
                    if (session_.Flags().modelListFresh) {
                        FillSelection(page);
                        session_.Flags().modelListFresh = false;
                    }
                    break;
                case flow::kSearchPage:
                    SetButtons(0);
                    SetDlgItemTextW(w, IDC_SEARCH_RESULT, L"");
                    session_.Request(page.id);
                    break;
                case flow::kUpdatePage:
                    SetButtons(updateSucceeded_ ? PSWIZB_FINISH : PSWIZB_BACK | PSWIZB_NEXT);
                    if (!updateStarted_) {
                        SetText(w, IDC_UPDATE_INTRO, wizard::IDS_UPDATE_INTRO);
                        SetDlgItemTextW(w, IDC_PROGRESS_TEXT, L"");
                        SendDlgItemMessageW(w, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                                            MAKELPARAM(0, 100));
                        SendDlgItemMessageW(w, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
                        session_.PrepareUpdate();
                    }
                    break;
                default:
                    break;
            }
            *result = 0;
            return true;
        case PSN_WIZNEXT:
            if (page.id == flow::kConfigurationPage) {
                const UINT box = IsDlgButtonChecked(w, kManualBoxId);
                const flow::BoxState state = box == BST_CHECKED ? flow::BoxState::kChecked
                                             : box == BST_UNCHECKED
                                                 ? flow::BoxState::kUnchecked
                                                 : flow::BoxState::kIndeterminate;
                if (!session_.LeaveConfiguration(state)) {
                    Fatal(w, wizard::LoadText(wizard::IDS_INI_ERROR));
                }
            } else if (page.id == flow::kSelectionPage) {
                TakeSelection(page);
            } else if (page.id == flow::kUpdatePage) {
                if (!updateStarted_) {
                    StartUpdate(page);
                }
                *result = -1;  // the update page is left by Finish only
                return true;
            }
            *result = GoTo(page, session_.Next(page.id));
            return true;
        case PSN_WIZBACK:
            *result = GoTo(page, session_.Previous(page.id));
            return true;
        case PSN_WIZFINISH:
            session_.Flags().updateStarted = true;
            *result = 0;
            return true;
        case PSN_QUERYCANCEL:
            // Closing while the firmware is written could leave the modem
            // without working firmware.
            *result = updateRunning_ ? TRUE : FALSE;
            return true;
        default:
            return false;
    }
}

LRESULT SheetPages::GoTo(Page& page, int target) {
    const int from = IndexOf(page.id);
    const int to = IndexOf(target);
    if (to < 0) {
        return -1;
    }
    if (to == from + 1 || to == from - 1) {
        // The sheet's own step: Next and Back go to the neighbour.
        return 0;
    }
    // Over a skipped page: the page stays, and the sheet is sent on.
    PostMessageW(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(to), 0);
    return -1;
}

void SheetPages::FillSelection(Page& page) {
    HWND w = page.window;
    page.entries.clear();
    SendDlgItemMessageW(w, kPortBoxId, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageW(w, kModelBoxId, CB_RESETCONTENT, 0, 0);
    // Each entry's own bytes stay with the page: the box holds their index,
    // and the list gets back exactly what it held (the port box sorts).
    auto add = [&](int box, const std::string& entry) {
        const LRESULT at = SendDlgItemMessageW(w, box, CB_ADDSTRING, 0,
                                               reinterpret_cast<LPARAM>(Wide(entry).c_str()));
        if (at >= 0) {
            SendDlgItemMessageW(w, box, CB_SETITEMDATA, static_cast<WPARAM>(at),
                                static_cast<LPARAM>(page.entries.size()));
            page.entries.push_back(entry);
        }
    };
    for (const std::string& port : session_.Ports()) {
        add(kPortBoxId, port);
    }
    for (const std::string& model : session_.Models()) {
        add(kModelBoxId, model);
    }
    SendDlgItemMessageW(w, kPortBoxId, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(w, kModelBoxId, CB_SETCURSEL, 0, 0);
}

void SheetPages::TakeSelection(Page& page) {
    auto selected = [&](int box) {
        const LRESULT at = SendDlgItemMessageW(page.window, box, CB_GETCURSEL, 0, 0);
        if (at < 0) {
            return std::string();
        }
        const LRESULT entry =
            SendDlgItemMessageW(page.window, box, CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
        return entry >= 0 && static_cast<std::size_t>(entry) < page.entries.size()
                   ? page.entries[static_cast<std::size_t>(entry)]
                   : std::string();
    };
    session_.TakeSelection(selected(kPortBoxId), selected(kModelBoxId));
}

void SheetPages::StartUpdate(Page& page) {
    updateStarted_ = true;
    updateRunning_ = true;
    session_.Flags().updateStarted = true;
    SetButtons(0);
    SetTimer(page.window, kUpdateTimer, kUpdateTickMs, nullptr);
    session_.Request(page.id);
    SendMessageW(sheet_, PSM_CANCELTOCLOSE, 0, 0);
    CancelEnabled(false);
}

void SheetPages::Tick(Page& page) {
    const ProgressSample sample = session_.Sample();
    SetDlgItemTextW(page.window, IDC_PROGRESS_TEXT, Wide(sample.text).c_str());
    SendDlgItemMessageW(page.window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(sample.bar),
                        0);
    if (sample.succeeded) {
        updateSucceeded_ = true;
        updateRunning_ = false;
        KillTimer(page.window, kUpdateTimer);
        SetButtons(PSWIZB_FINISH);
        CancelEnabled(true);
    } else if (sample.failed) {
        updateRunning_ = false;
        CancelEnabled(true);
    }
}

void SheetPages::MarkStep(Page& page, WPARAM index, bool highlight) {
    if (index >= static_cast<WPARAM>(kMaxStepLines)) {
        return;  // a step beyond the page's lines is not shown
    }
    const int i = static_cast<int>(index);
    SendDlgItemMessageW(page.window, IDC_STEP_LINE_FIRST + i, WM_SETFONT,
                        reinterpret_cast<WPARAM>(stepFonts_[highlight ? 1 : 0]), TRUE);
    ShowWindow(GetDlgItem(page.window, IDC_STEP_BULLET_FIRST + i), highlight ? SW_SHOW : SW_HIDE);
    TestLog("Step " + std::to_string(i) + (highlight ? " on " : " off ") +
            WindowText(GetDlgItem(page.window, IDC_STEP_LINE_FIRST + i)));
}

void SheetPages::OnWorkerEvent(Page& page, const PageEvent& event) {
    HWND w = page.window;
    if (event.kind == PageEvent::kFatal) {
        Fatal(w, event.text);
    }
    if (page.id == flow::kSearchPage) {
        // The worker may still be finishing a search the user has left.
        if (!IsCurrent(page)) {
            return;
        }
        switch (event.kind) {
            case PageEvent::kSetText:
                SetDlgItemTextW(w, event.control, Wide(event.text).c_str());
                break;
            case PageEvent::kFound:
                SetText(w, IDC_SEARCH_RESULT, wizard::IDS_SEARCH_FOUND);
                SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
                break;
            case PageEvent::kNotFound:
                SetText(w, IDC_SEARCH_RESULT, wizard::IDS_SEARCH_NOT_FOUND);
                SetButtons(PSWIZB_BACK);
                if (!event.text.empty()) {
                    NativeMessageBox(w, event.text.c_str(), MB_OK | MB_ICONINFORMATION);
                }
                break;
            default:
                break;
        }
    } else if (page.id == flow::kUpdatePage) {
        switch (event.kind) {
            case PageEvent::kStep:
                MarkStep(page, static_cast<WPARAM>(event.step), event.highlight);
                break;
            case PageEvent::kProgress:
                SendDlgItemMessageW(w, IDC_PROGRESS_BAR, PBM_SETPOS,
                                    static_cast<WPARAM>(event.position), 0);
                break;
            case PageEvent::kWorkerEnded:
                updateRunning_ = false;
                CancelEnabled(true);
                break;
            default:
                break;
        }
    }
}

void SheetPages::Fatal(HWND owner, const std::string& text) {
    ShowFatalAndEnd(owner, text);
}

}  // namespace win32
