#include "wizard/win32/sheet_session.h"

#include <algorithm>
#include <map>

#include "plugin_api/messages.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/progress_display.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/engine/worker.h"
#include "wizard/win32/page_handle.h"

namespace win32 {
namespace {

constexpr int kStateFailed = 3;
constexpr int kFullBar = 100;

// Never joined and never deleted: it ends with the process, which may end
// while the worker still talks to a modem.
Worker* g_worker = nullptr;

}  // namespace

struct SheetSession::Pages {
    std::map<int, PageHandle> handles;
};

SheetSession::SheetSession(flow::WizardOptions options)
    : options_(std::move(options)), pages_(std::make_unique<Pages>()) {}

SheetSession::~SheetSession() = default;

bool SheetSession::Locate(std::string* why) {
    ConfigLocation location;
    if (!flow::MakeProgramDirectoryCurrent(options_, &location, why)) {
        return false;
    }
    TheWizardState().config = location;
    return true;
}

void SheetSession::StartWorker(void (*fatal)(const std::string& text)) {
    if (g_worker == nullptr) {
        g_worker = new Worker(TheWizardState());
        g_worker->Start();
    }
    SetFatalHandler(fatal, false);
}

void SheetSession::AttachPage(int pageId, NativeWindow window) {
    pages_->handles[pageId].Attach(window);
}

bool SheetSession::Request(int pageId) {
    if (g_worker == nullptr) {
        return false;
    }
    const UINT request = pageId == flow::kSearchPage ? WM_WIZ_SEARCH : WM_WIZ_UPDATE;
    if (request == WM_WIZ_SEARCH) {
        loaderPort_.clear();
    }
    return g_worker->Post(request, 0, reinterpret_cast<LPARAM>(pages_->handles[pageId].Handle()));
}

bool SheetSession::IsWorkerMessage(unsigned message) {
    return message >= WM_WIZ_SETPROGRESS && message <= WM_WIZ_INLOADER;
}

PageEvent SheetSession::OnMessage(int pageId, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, bool sent) {
    PageEvent event;
    std::string text;
    if (MessageCarriesText(message)) {
        if (sent) {
            const char* own = ParamText(lParam);
            text = own != nullptr ? own : "";
        } else {
            text = PageHandle::TakePostedText(lParam);
        }
    }
    if (message == WM_WIZ_FATAL) {
        event.kind = PageEvent::kFatal;
        event.text = FatalText(pageId, text);
        return event;
    }
    switch (message) {
        case WM_WIZ_SEARCHPORT:
        case WM_WIZ_SEARCHSTATUS:
            event.kind = PageEvent::kSetText;
            event.control =
                message == WM_WIZ_SEARCHPORT ? IDC_SEARCH_PORT_LINE : IDC_SEARCH_STATUS_LINE;
            event.text = text;
            break;
        case WM_WIZ_FOUND:
            event.kind = PageEvent::kFound;
            break;
        case WM_WIZ_INLOADER:
            if (loaderPort_.empty()) {
                loaderPort_ = text;
            }
            break;
        case WM_WIZ_NOTFOUND:
            event.kind = PageEvent::kNotFound;
            if (!loaderPort_.empty()) {
                event.text = flow::LoaderNotice(TheWizardState(), loaderPort_);
            }
            break;
        case WM_WIZ_STEP:
            if (wParam < static_cast<std::uintptr_t>(kMaxStepLines)) {
                event.kind = PageEvent::kStep;
                event.step = static_cast<int>(wParam);
                event.highlight = lParam != 0;
            }
            break;
        case WM_WIZ_SETPROGRESS:
            event.kind = PageEvent::kProgress;
            event.position = static_cast<int>(std::min<std::uintptr_t>(wParam, kFullBar));
            break;
        case WM_WIZ_KEPTFILES:
            keptFolder_ = text;
            event.kind = PageEvent::kKeptFiles;
            event.text = text;
            break;
        case WM_WIZ_WORKER:
            if (lParam == 0) {
                event.kind = PageEvent::kWorkerEnded;
            }
            break;
        default:
            break;
    }
    return event;
}

std::string SheetSession::WelcomeBody() const {
    return flow::WelcomeBody(TheWizardState());
}

bool SheetSession::StartConfiguration() {
    return flow::StartConfiguration(TheWizardState(), options_.ports, flags_);
}

bool SheetSession::LeaveConfiguration(flow::BoxState box) {
    return flow::LeaveConfiguration(TheWizardState(), box, flags_);
}

std::vector<std::string> SheetSession::Ports() const {
    return TheWizardState().portList.Entries();
}

std::vector<std::string> SheetSession::Models() const {
    return TheWizardState().modelList.Entries();
}

void SheetSession::TakeSelection(const std::string& port, const std::string& model) {
    flow::TakeSelection(TheWizardState(), port, model);
}

int SheetSession::Next(int page) const {
    return flow::NextPage(page, flags_, TheWizardState().hasAtInterpreter);
}

int SheetSession::Previous(int page) const {
    return flow::PreviousPage(page, flags_, TheWizardState().hasAtInterpreter);
}

void SheetSession::PrepareUpdate() {
    ClearStatus(&TheWizardState().status);
}

ProgressSample SheetSession::Sample() {
    _Status& status = TheWizardState().status;
    const ProgressDisplay display = SampleProgress(&status);
    ProgressSample sample;
    sample.text = display.text;
    sample.bar = display.barPosition;
    sample.succeeded = display.succeeded;
    sample.failed = status.state == kStateFailed;
    return sample;
}

std::string SheetSession::FatalText(int pageId, const std::string& text) const {
    return pageId == flow::kUpdatePage ? flow::UpdateFatalText(text, keptFolder_) : text;
}

}  // namespace win32
