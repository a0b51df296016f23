// What the native sheet's pages do with the engine, its worker and the
// page flow, without <windows.h>: the engine's window handles are message
// targets (plugin_api/message_target.h), not the Windows ones, so the two
// never meet in one file. The native pages pass their windows and
// messages in, and do what the answers say.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wizard/flow/command_line.h"
#include "wizard/flow/page_actions.h"
#include "wizard/flow/wizard_flow.h"
#include "wizard/win32/native_window.h"

namespace win32 {

// What a message from the worker or a plug-in asks of a page.
struct PageEvent {
    enum Kind {
        kNone,
        kSetText,      // control gets text
        kFound,        // the search page's result: a suitable modem
        kNotFound,     // and none; text: the notice on a modem waiting in its boot loader
        kStep,         // step line `step` highlighted or not
        kProgress,     // the bar at position
        kKeptFiles,    // text names the folder that keeps the modem's files
        kFatal,        // the error box with text, then the end
        kWorkerEnded,  // nothing more will come
    };
    Kind kind = kNone;
    int control = 0;
    std::string text;
    int step = 0;
    bool highlight = false;
    int position = 0;
};

// The update page's progress at one tick of its timer.
struct ProgressSample {
    std::string text;
    int bar = 0;
    bool succeeded = false;
    bool failed = false;
};

class SheetSession {
  public:
    explicit SheetSession(flow::WizardOptions options);
    ~SheetSession();
    SheetSession(const SheetSession&) = delete;
    SheetSession& operator=(const SheetSession&) = delete;

    const flow::WizardOptions& Options() const { return options_; }

    // The program directory made current; false with *why.
    bool Locate(std::string* why);
    // Starts the worker; fatal errors outside a page go to fatal, which
    // does not return.
    void StartWorker(void (*fatal)(const std::string& text));

    // The page's window, for the worker's messages to it.
    void AttachPage(int pageId, NativeWindow window);
    // The search or the update, for the search or the update page.
    bool Request(int pageId);
    // True for the numbers of the worker's messages to a page.
    static bool IsWorkerMessage(unsigned message);
    // A worker's message to page pageId; sent is true when the sender waits
    // for the answer (its text is still its own), false for a posted one
    // (whose copy this takes over).
    PageEvent OnMessage(int pageId, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                        bool sent);

    std::string WelcomeBody() const;
    // The configuration page's first showing: false when the manual box is
    // to be hidden and checked.
    bool StartConfiguration();
    // Next on it: false when Wizard.inf names no model (string 50, fatal).
    bool LeaveConfiguration(flow::BoxState box);
    std::vector<std::string> Ports() const;
    std::vector<std::string> Models() const;
    void TakeSelection(const std::string& port, const std::string& model);
    int Next(int page) const;
    int Previous(int page) const;
    flow::FlowFlags& Flags() { return flags_; }
    // The update page shown: the status the update reports through, cleared.
    void PrepareUpdate();
    ProgressSample Sample();
    // The fatal text of the page: on the update page with the folder that
    // keeps the modem's files.
    std::string FatalText(int pageId, const std::string& text) const;

  private:
    struct Pages;
    flow::WizardOptions options_;
    flow::FlowFlags flags_;
    std::unique_ptr<Pages> pages_;
    std::string keptFolder_;
    std::string loaderPort_;  // the search's first port whose modem waits in its boot loader
};

}  // namespace win32
