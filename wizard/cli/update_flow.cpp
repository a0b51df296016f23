#include "wizard/cli/update_flow.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "platform/clock.h"
#include "platform/private_directory.h"
#include "platform/stop_signal.h"
#include "platform/terminal.h"
#include "plugin_api/messages.h"
#include "wizard/cli/console_page.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/progress_line.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/progress_display.h"
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

void PrintError(const std::string& text) {
    std::cerr << "\n" << TerminalText(text) << "\n";
}

// A fatal error, and why the port did not open when that was the error.
void PrintFatal(const std::string& text, const WizardState& state) {
    PrintError(text);
    if (text == wizard::LoadText(wizard::IDS_PORT_CANNOT_BE_OPENED) &&
        !state.portList.Entries().empty()) {
        ReportRefusedPort(state.portList.Entries().front());
    }
}

bool Prepare(const UpdateOptions& options, WizardState& state) {
    const IniFile ini = IniFile::Read(options.config.iniPath);
    if (ini.status() != IniFile::Status::kRead) {
        std::cerr << "wizard-cli update: " << options.config.iniPath << ": " << ini.StatusText()
                  << "\n";
        return false;
    }
    state.config = options.config;
    state.hasAtInterpreter = HasAtInterpreter(ini);
    state.modelList = ReadModelList(ini);
    state.portList = options.ports.empty() ? ReadPortList(ini) : DiscoveredPortList(options.ports);
    if (state.modelList.empty()) {
        std::cerr << "wizard-cli update: " << options.config.iniPath
                  << " describes no modem model\n";
        return false;
    }
    if (options.port.empty() != options.model.empty()) {
        std::cerr << "wizard-cli update: --port and --model go together\n";
        return false;
    }
    if (options.port.empty()) {
        if (!state.hasAtInterpreter) {
            std::cerr << "wizard-cli update: this modem has no AT interpreter and cannot be found "
                         "by a search;"
                         " name it with --port DEV --model NAME\n";
            return false;
        }
        if (state.portList.empty()) {
            std::cerr << "wizard-cli update: no serial port found on this system; name one with "
                         "--port DEV"
                         " --model NAME\n";
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
                std::cerr << "wizard-cli update: the port name is too long\n";
                return false;
            }
            return true;
        }
    }
    std::cerr << "wizard-cli update: no model \"" << options.model << "\" in "
              << options.config.iniPath << "; it describes:\n";
    for (const std::string& section : state.modelList.Entries()) {
        std::cerr << "  " << section << "\n";
    }
    return false;
}

// The search, as the search page shows it. True when a modem was found.
bool Search(ConsolePage& page, Worker& worker, const WizardState& state, bool quiet) {
    worker.Post(WM_WIZ_SEARCH, 0, reinterpret_cast<LPARAM>(page.Handle()));
    PageMessage message;
    for (;;) {
        if (!page.Next(&message, kTickMs)) {
            if (platform::StopRequested()) {
                std::cerr << "\nInterrupted.\n";
                return false;
            }
            continue;
        }
        page.Handled();
        switch (message.message) {
            case WM_WIZ_SEARCHPORT:
                if (!quiet) {
                    std::cout << TerminalText(message.text) << "\n";
                }
                break;
            case WM_WIZ_SEARCHSTATUS:
                if (!quiet) {
                    std::cout << "    " << TerminalText(message.text) << "\n";
                }
                break;
            case WM_WIZ_FOUND:
                return true;
            case WM_WIZ_NOTFOUND:
                PrintError(wizard::LoadText(wizard::IDS_SEARCH_NOT_FOUND));
                // A modem behind a port that another program holds is not
                // found either: say which.
                for (const std::string& port : state.portList.Entries()) {
                    ReportRefusedPort(port);
                }
                return false;
            case WM_WIZ_FATAL:
                PrintError(message.text);
                return false;
            default:
                break;
        }
    }
}

bool Confirm(const WizardState& state, bool yes) {
    const std::string model = state.modelList.Entries().front();
    std::string version;
    UploadSettingsBuffer settings;
    std::string why;
    if (BuildUploadSettings(IniFile::Read(state.config.iniPath), state.config.programDir, model,
                            &settings, &why)) {
        FirmwareHeader header;
        if (ReadFirmwareHeader(settings.Files().front(), &header, &why) != FIRMWARE_NO_HEADER) {
            version = header.version;
        }
    }
    std::cout << "\nModem " << model << " on " << state.portList.Entries().front();
    if (!version.empty()) {
        std::cout << ": the firmware is updated to version " << version;
    }
    std::cout << ".\n";
    if (yes) {
        return true;
    }
    if (!platform::StandardInputIsTerminal()) {
        std::cerr << "wizard-cli update: not updating without a confirmation; add --yes to update "
                     "unattended\n";
        return false;
    }
    std::cout << TerminalText(wizard::LoadText(wizard::IDS_UPDATE_INTRO))
              << "\n\nUpdate now? [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

// The update, as the update page shows it. Returns the exit code;
// *keptFolder gets the folder where the plug-in keeps the modem's files.
int Update(ConsolePage& page, Worker& worker, WizardState& state, bool quiet,
           std::string* keptFolder) {
    ClearStatus(&state.status);
    worker.Post(WM_WIZ_UPDATE, 0, reinterpret_cast<LPARAM>(page.Handle()));
    ProgressLine progress(quiet);
    bool warnedAboutStop = false;
    int steps = 0;
    PageMessage message;
    for (;;) {
        if (!page.Next(&message, kTickMs)) {
            if (platform::StopRequested() && !warnedAboutStop) {
                progress.Finish();
                std::cerr << "The firmware is being written: stopping now could leave the modem "
                             "without working"
                             " firmware. The update goes on.\n";
                warnedAboutStop = true;
            }
            ProgressDisplay display = SampleProgress(&state.status);
            if (display.succeeded) {
                progress.Finish();
                std::cout << TerminalText(display.text) << "\n";
                return 0;
            }
            if (!display.text.empty()) {
                progress.Show(TerminalText(display.text), display.barPosition);
            }
            continue;
        }
        page.Handled();
        switch (message.message) {
            case WM_WIZ_STEP:
                if (message.lParam == 1) {
                    if (steps == 0) {
                        while (steps < kMaxStepLines &&
                               page.ItemShown(IDC_STEP_LINE_FIRST + steps)) {
                            ++steps;
                        }
                    }
                    progress.Finish();
                    const int index = static_cast<int>(message.wParam);
                    std::cout << "[" << index + 1 << "/" << steps << "] "
                              << TerminalText(page.ItemText(IDC_STEP_LINE_FIRST + index)) << "\n";
                }
                break;
            case WM_WIZ_FATAL:
                progress.Finish();
                PrintFatal(message.text, state);
                return 1;
            case WM_WIZ_NOTICE:
                progress.Finish();
                std::cerr << TerminalText(message.text) << "\n";
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
                            progress.Finish();
                            PrintFatal(last.text, state);
                            return 1;
                        }
                    }
                    progress.Finish();
                    PrintError("The update stopped before it was complete.");
                    return 1;
                }
                break;
            default:
                break;
        }
    }
}

// After a failure the plug-in may keep the modem's files: say where.
void ReportKeptFiles(const std::string& folder) {
    if (!folder.empty() && platform::DirectoryHoldsFiles(folder)) {
        std::cerr << "The modem's files are kept in " << folder << "\n";
    }
}

}  // namespace

int RunUpdateFlow(const UpdateOptions& options) {
    WizardState& state = TheWizardState();
    if (!Prepare(options, state)) {
        return 1;
    }
    platform::InstallStopSignals();
    auto page = std::make_unique<ConsolePage>();
    g_page = page.get();
    SetFatalHandler(&FatalToPage, false);
    auto worker = std::make_unique<Worker>(state);
    worker->Start();
    int code = 1;
    if (state.hasAtInterpreter && !Search(*page, *worker, state, options.quiet)) {
        code = 1;
    } else if (Confirm(state, options.yes)) {
        std::string keptFolder;
        code = Update(*page, *worker, state, options.quiet, &keptFolder);
        if (code != 0) {
            ReportKeptFiles(keptFolder);
        }
    }
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
    } else {
        worker->Join();
        g_page = nullptr;
    }
    return code;
}

bool WorkerStillBusy() {
    return g_workerStillBusy;
}

}  // namespace cli
