#include "wizard/cli/update_flow.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/private_directory.h"
#include "platform/stop_signal.h"
#include "plugin_api/messages.h"
#include "serial/answer_text.h"
#include "wizard/cli/confirmation.h"
#include "wizard/cli/console_page.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/update_report.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/progress_display.h"
#include "wizard/engine/recover_command.h"
#include "wizard/engine/upload_settings_builder.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/engine/worker.h"
#include "wizard/resources/strings.h"

namespace cli {
namespace {

constexpr DWORD kTickMs = 250;
constexpr DWORD kLastWordsMs = 1000;
// How long the worker may take to answer its last request once the flow ends.
constexpr DWORD kWorkerGoneMs = 3000;

ConsolePage* g_page = nullptr;
bool g_workerStillBusy = false;

// Fatal errors outside the page messages (plug-in binding) reach the page
// like any other fatal error, so the flow can clean up and say it.
void FatalToPage(const std::string& text) {
    if (g_page != nullptr) {
        g_page->Post(WM_WIZ_FATAL, 0, text);
    }
}

// The firmware version in a modem's ATI3 text: the last word of its first
// line ("ORVA 56K Serial Firmware 1.00" gives "1.00"); empty without one.
std::string ReportedVersion(const std::string& modemInfo) {
    std::string line = modemInfo.substr(0, modemInfo.find_first_of("\r\n"));
    Trim(line, " \t");
    const std::size_t blank = line.find_last_of(" \t");
    return blank == std::string::npos ? std::string() : line.substr(blank + 1);
}

bool Prepare(const UpdateOptions& options, WizardState& state, UpdateReport& report) {
    const IniFile ini = IniFile::Read(options.config.iniPath);
    if (ini.status() != IniFile::Status::kRead) {
        report.Error(options.config.iniPath + ": " + ini.StatusText());
        return false;
    }
    state.config = options.config;
    state.hasAtInterpreter = HasAtInterpreter(ini);
    state.modelList = ReadModelList(ini);
    state.portList = options.ports.empty() ? ReadPortList(ini) : DiscoveredPortList(options.ports);
    if (state.modelList.empty()) {
        report.Error(options.config.iniPath + " describes no modem model");
        return false;
    }
    if (options.port.empty() != options.model.empty()) {
        report.Error("--port and --model go together");
        return false;
    }
    if (options.port.empty() || (options.searchOnly && !state.hasAtInterpreter)) {
        if (!state.hasAtInterpreter) {
            report.Error(
                "this modem has no AT interpreter and cannot be found by a search;"
                " name it with --port DEV --model NAME");
            return false;
        }
        if (state.portList.empty()) {
            report.Error(
                "no serial port found on this system; name one with --port DEV --model NAME");
            return false;
        }
        return true;
    }
    for (const std::string& section : state.modelList.Entries()) {
        if (EqualsNoCase(section, options.model)) {
            state.modelList = ModelList();
            state.modelList.Append(section);
            state.portList = PortList();
            if (!state.portList.Append(options.port)) {
                report.Error("the port name is too long");
                return false;
            }
            return true;
        }
    }
    std::string described;
    for (const std::string& section : state.modelList.Entries()) {
        described += "\n  " + section;
    }
    report.Error("no model \"" + options.model + "\" in " + options.config.iniPath +
                 "; it describes:" + described);
    return false;
}

// The ports of names that another program holds or the user may not open.
void ReportRefusedPorts(const std::vector<std::string>& names, UpdateReport& report) {
    for (const std::string& name : names) {
        PortFailure failure;
        if (RefusedPort(name, &failure)) {
            report.PortRefused(name, failure);
        }
    }
}

// A fatal error, and why the port did not open when that was the error.
void ReportFatal(const std::string& text, const WizardState& state, UpdateReport& report) {
    report.Fatal(text);
    if (text == wizard::LoadText(wizard::IDS_PORT_CANNOT_BE_OPENED) &&
        !state.portList.Entries().empty()) {
        ReportRefusedPorts({state.portList.Entries().front()}, report);
    }
}

// The search, as the search page shows it. True when a modem was found.
bool Search(ConsolePage& page, Worker& worker, UpdateReport& report) {
    // The search posts one port line per port, in the list's order.
    const std::vector<std::string> ports = TheWizardState().portList.Entries();
    std::size_t checked = 0;
    std::string port;
    worker.Post(WM_WIZ_SEARCH, 0, reinterpret_cast<LPARAM>(page.Handle()));
    PageMessage message;
    for (;;) {
        if (!page.Next(&message, kTickMs)) {
            if (platform::StopRequested()) {
                report.Interrupted();
                return false;
            }
            continue;
        }
        page.Handled();
        switch (message.message) {
            case WM_WIZ_SEARCHPORT:
                port = checked < ports.size() ? ports[checked] : std::string();
                ++checked;
                report.SearchPort(port, message.text);
                break;
            case WM_WIZ_SEARCHSTATUS:
                report.SearchStatus(port, message.text);
                break;
            case WM_WIZ_INLOADER:
                report.InLoader(message.text, RecoverCommand(TheWizardState(), message.text));
                break;
            case WM_WIZ_FOUND:
                return true;
            case WM_WIZ_NOTFOUND:
                report.NotFound(wizard::LoadText(wizard::IDS_SEARCH_NOT_FOUND));
                // A modem behind a port that another program holds is not
                // found either: say which.
                ReportRefusedPorts(ports, report);
                return false;
            case WM_WIZ_FATAL:
                report.Fatal(message.text);
                return false;
            default:
                break;
        }
    }
}

// The version the model's firmware file carries in its header, if any.
std::string NewVersion(const WizardState& state) {
    UploadSettingsBuffer settings;
    std::string why;
    if (BuildUploadSettings(IniFile::Read(state.config.iniPath), state.config.programDir,
                            state.modelList.Entries().front(), &settings, &why)) {
        FirmwareHeader header;
        if (ReadFirmwareHeader(settings.Files().front(), &header, &why) != FIRMWARE_NO_HEADER) {
            return header.version;
        }
    }
    return {};
}

bool Confirm(bool yes, UpdateReport& report) {
    if (yes) {
        return true;
    }
    const Answer answer = AskBeforeUpdate("Update now?");
    if (answer == Answer::kNoTerminal) {
        report.Error(kNoConfirmation);
    }
    return answer == Answer::kYes;
}

// The update, as the update page shows it. Returns the exit code;
// *keptFolder gets the folder where the plug-in keeps the modem's files.
int Update(ConsolePage& page, Worker& worker, WizardState& state, UpdateReport& report,
           std::string* keptFolder, UINT request) {
    ClearStatus(&state.status);
    worker.Post(request, 0, reinterpret_cast<LPARAM>(page.Handle()));
    bool warnedAboutStop = false;
    std::vector<std::string> steps;
    PageMessage message;
    for (;;) {
        if (!page.Next(&message, kTickMs)) {
            if (platform::StopRequested() && !warnedAboutStop) {
                report.StopRefused(
                    "The firmware is being written: stopping now could leave the modem without "
                    "working firmware. The update goes on.");
                warnedAboutStop = true;
            }
            ProgressDisplay display = SampleProgress(&state.status);
            if (display.succeeded) {
                report.Succeeded(display.text);
                return 0;
            }
            report.Progress(display);
            continue;
        }
        page.Handled();
        switch (message.message) {
            case WM_WIZ_STEP:
                if (message.lParam == 1) {
                    if (steps.empty()) {
                        // The worker has shown the step lines before the first mark.
                        for (int i = 0;
                             i < kMaxStepLines && page.ItemShown(IDC_STEP_LINE_FIRST + i); ++i) {
                            steps.push_back(page.ItemText(IDC_STEP_LINE_FIRST + i));
                        }
                        report.Steps(steps);
                    }
                    report.Step(static_cast<int>(message.wParam), steps);
                }
                break;
            case WM_WIZ_FATAL:
                ReportFatal(message.text, state, report);
                return 1;
            case WM_WIZ_NOTICE:
                report.Notice(message.text);
                break;
            case WM_WIZ_KEPTFILES:
                *keptFolder = message.text;
                break;
            case WM_WIZ_WORKER:
                if (message.lParam == 0) {
                    // The worker gave up; its error text may still be on the way.
                    PageMessage last;
                    while (page.Next(&last, kLastWordsMs)) {
                        page.Handled();
                        if (last.message == WM_WIZ_FATAL) {
                            ReportFatal(last.text, state, report);
                            return 1;
                        }
                    }
                    report.Fatal("The update stopped before it was complete.");
                    return 1;
                }
                break;
            default:
                break;
        }
    }
}

// What the search found, or what was chosen without one.
void Chosen(const WizardState& state, UpdateResult* result) {
    result->port = state.portList.Entries().front();
    result->model = state.modelList.Entries().front();
    result->modemInfo = state.modemInfo;
    result->oldVersion = ReportedVersion(state.modemInfo);
}

// Runs the search and, unless only searching, the update; fills *result.
void Run(const UpdateOptions& options, ConsolePage& page, Worker& worker, WizardState& state,
         UpdateReport& report, UpdateResult* result) {
    if (state.hasAtInterpreter && !options.recover) {
        if (!Search(page, worker, report)) {
            result->outcome = platform::StopRequested() ? kOutcomeNotStarted : kOutcomeNoModem;
            return;
        }
        Chosen(state, result);
        report.Found(*result);
    } else {
        Chosen(state, result);
    }
    if (options.searchOnly) {
        result->outcome = kOutcomeFound;
        result->exitCode = 0;
        return;
    }
    result->newVersion = NewVersion(state);
    report.Plan(*result);
    if (!Confirm(options.yes, report)) {
        return;
    }
    std::string keptFolder;
    result->exitCode = Update(page, worker, state, report, &keptFolder,
                              options.recover ? WM_WIZ_RECOVER : WM_WIZ_UPDATE);
    result->outcome = result->exitCode == 0 ? kOutcomeUpdated : kOutcomeFailed;
    if (result->exitCode != 0) {
        if (!keptFolder.empty() && platform::DirectoryHoldsFiles(keptFolder)) {
            result->keptFiles = keptFolder;
        }
    }
}

}  // namespace

int RunUpdateFlow(const UpdateOptions& options) {
    const DWORD start = platform::GetTickCount();
    std::unique_ptr<UpdateReport> report =
        options.json ? MakeJsonReport()
                     : MakeTextReport(options.searchOnly ? "search" : "update", options.quiet);
    UpdateReport* out = report.get();
    UpdateResult result;
    auto finish = [&](int code) {
        result.exitCode = code;
        result.seconds = (platform::GetTickCount() - start) / 1000.0;
        out->Finished(result);
        return code;
    };
    if (options.json && !options.yes && !options.searchOnly) {
        // Nobody can answer a question: refuse before the line is touched.
        report->Error("--json asks no questions: add --yes to update");
        return finish(2);
    }
    WizardState& state = TheWizardState();
    if (!Prepare(options, state, *report)) {
        return finish(1);
    }
    platform::InstallStopSignals();
    auto page = std::make_unique<ConsolePage>();
    g_page = page.get();
    page->SetBoxHandler([out](const std::string& text) { out->Box(text); });
    SetFatalHandler(&FatalToPage, false);
    auto worker = std::make_unique<Worker>(state);
    worker->Start();
    Run(options, *page, *worker, state, *report, &result);
    worker->Quit();
    SetFatalHandler(nullptr);
    // The worker still posts its last messages to the page after an error
    // has been shown: neither may go before it has finished.
    for (DWORD waited = 0; worker->Running() && waited < kWorkerGoneMs; waited += 10) {
        platform::Sleep(10);
    }
    if (worker->Running()) {
        g_workerStillBusy = true;
        page.release();
        worker.release();
        report.release();  // the page may still show a box through it
    } else {
        worker->Join();
        g_page = nullptr;
    }
    return finish(result.exitCode);
}

bool WorkerStillBusy() {
    return g_workerStillBusy;
}

}  // namespace cli
