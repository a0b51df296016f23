// Wizard: the firmware update wizard with its Qt pages.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "wizard/flow/command_line.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/wizard_program.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Desktops match the window to its desktop entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(WIZARD_APP_ID));
    // Qt has taken its own options out of argv.
    const std::vector<std::string> tokens(argv + 1, argv + argc);
    flow::WizardOptions options;
    std::string error;
    if (!flow::ParseCommandLine(tokens, gui::kNewLookIsDefault, &options, &error)) {
        std::fprintf(stderr,
                     "Wizard: %s\nUsage: Wizard [/oldwiz | /newwiz] [--config FILE] "
                     "[--ports DEV,DEV...]\n",
                     error.c_str());
        return 2;
    }
    gui::EndProcess(gui::RunWizardProgram(options));
}
