// The Wizard program: the program directory made current, the hidden main
// window, the worker, and the wizard run to its end.
#pragma once

namespace flow {
struct WizardOptions;
}

namespace gui {

// The look when the command line does not choose one: the new look, which
// Qt draws on every system it runs on.
constexpr bool kNewLookIsDefault = true;

// Needs the QApplication. Returns the exit code when the wizard is closed
// (0); a fatal error ends the process itself with exit code 1. The windows
// stay alive for the worker: the caller ends the process with EndProcess.
int RunWizardProgram(const flow::WizardOptions& options);

}  // namespace gui
