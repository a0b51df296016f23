#include "wizard/gui/wizard_program.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <cstdio>

#include "serial/trace.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/engine/worker.h"
#include "wizard/flow/command_line.h"
#include "wizard/flow/page_actions.h"
#include "wizard/gui/artwork.h"
#include "wizard/gui/autopilot.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

constexpr const char* kMainWindowClass = "Orva Firmware Wizard";
constexpr int kMainWindowWidth = 620;
constexpr int kMainWindowHeight = 460;
constexpr int kMainWindowGrey = 85;

}  // namespace

int RunWizardProgram(const flow::WizardOptions& options) {
    xdebug_StartFromEnvironment();
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Starte Programm\n");
    QApplication::setWindowIcon(ProgramIcon());

    // The owner of the sheet and of the start-up error box; never shown.
    // Neither it nor the sheet is ever destroyed: the worker may still post
    // to a page after the sheet has closed (a search the user left), and the
    // process ends without tearing down what the worker uses.
    auto* mainWindow = new QWidget;
    mainWindow->setObjectName(QString::fromUtf8(kMainWindowClass));
    mainWindow->resize(kMainWindowWidth, kMainWindowHeight);
    QPalette palette = mainWindow->palette();
    palette.setColor(QPalette::Window, QColor(kMainWindowGrey, kMainWindowGrey, kMainWindowGrey));
    mainWindow->setPalette(palette);

    WizardState& state = TheWizardState();
    ConfigLocation location;
    std::string why;
    if (!flow::MakeProgramDirectoryCurrent(options, &location, &why)) {
        std::fprintf(stderr, "Wizard: %s\n", why.c_str());
        ShowFatalAndEnd(mainWindow, wizard::LoadText(wizard::IDS_PROGRAM_PATH));
        return 1;
    }
    state.config = location;

    // Never joined and never deleted: it ends with the process.
    static Worker* const worker = new Worker(state);
    worker->Start();
    SetFatalHandler(&FatalFromAnyThread, false);

    SheetSetup setup;
    setup.oldLook = options.oldLook;
    setup.ports = options.ports;
    setup.toWorker = [](UINT message, HWND page) {
        return worker->Post(message, 0, reinterpret_cast<LPARAM>(page));
    };
    auto* sheet = new WizardSheet(state, setup, mainWindow);
    if (AutopilotRequested()) {
        new Autopilot(sheet);
    }
    sheet->exec();
    return 0;
}

}  // namespace gui
