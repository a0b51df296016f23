// Wizard.exe: the firmware update wizard as a Windows property sheet. A
// hidden main window owns the sheet; its creation starts the worker and
// runs the sheet modally, and the process ends when the sheet closes.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <string>

#include "serial/trace.h"
#include "wizard/flow/command_line.h"
#include "wizard/resources/strings.h"
#include "wizard/win32/native/autopilot.h"
#include "wizard/win32/native/presentation.h"
#include "wizard/win32/native/sheet_pages.h"
#include "wizard/win32/native/test_hooks.h"

namespace {

constexpr const wchar_t* kMainWindowClass = L"Orva Firmware Wizard";
constexpr int kMainWindowWidth = 620;
constexpr int kMainWindowHeight = 460;
constexpr int kMainWindowGrey = 85;
constexpr UINT_PTR kAutopilotTimer = 1;

struct Program {
    HINSTANCE instance = nullptr;
    std::unique_ptr<win32::SheetSession> session;
    std::unique_ptr<win32::SheetPages> pages;
    std::unique_ptr<win32::Autopilot> autopilot;
};

Program* g_program = nullptr;

void FatalFromAnyThread(const std::string& text) {
    win32::ShowFatalAndEnd(nullptr, text);
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            Program& program = *g_program;
            program.session->StartWorker(&FatalFromAnyThread);
            program.pages = std::make_unique<win32::SheetPages>(*program.session, program.instance);
            if (!win32::AutopilotLog().empty()) {
                win32::TestLog(program.session->Options().oldLook ? "Look old" : "Look new");
                program.autopilot = std::make_unique<win32::Autopilot>(*program.pages);
                SetTimer(window, kAutopilotTimer, win32::Autopilot::kEveryMs, nullptr);
            }
            program.pages->Run(window);
            win32::TestLog("Exit 0");
            win32::EndProcess(0);
        }
        case WM_TIMER:
            if (wParam == kAutopilotTimer && g_program->autopilot) {
                g_program->autopilot->Tick();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    xdebug_StartFromEnvironment();
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Starte Programm\n");
    static Program program;
    g_program = &program;
    program.instance = instance;

    flow::WizardOptions options;
    std::string error;
    if (!flow::ParseCommandLine(flow::SplitAtBlanks(commandLine != nullptr ? commandLine : ""),
                                win32::NewLookSupportedHere(), &options, &error)) {
        win32::ShowFatalAndEnd(nullptr, error);
    }
    program.session = std::make_unique<win32::SheetSession>(options);
    std::string why;
    if (!program.session->Locate(&why)) {
        win32::TestLog("Start: " + why);
        win32::ShowFatalAndEnd(nullptr, wizard::LoadText(wizard::IDS_PROGRAM_PATH));
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(117));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground =
        CreateSolidBrush(RGB(kMainWindowGrey, kMainWindowGrey, kMainWindowGrey));
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);
    // Never shown: its creation runs the sheet, and the process ends there.
    CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                    CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance,
                    nullptr);
    // Only when the window could not be made.
    win32::ShowFatalAndEnd(nullptr, wizard::LoadText(wizard::IDS_PROGRAM_PATH));
}
