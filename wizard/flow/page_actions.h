// What the wizard's pages do with the engine's state, the same in every
// front end: the toolkit only shows the results.
#pragma once

#include <string>
#include <vector>

#include "wizard/flow/command_line.h"
#include "wizard/flow/wizard_flow.h"

struct ConfigLocation;
struct WizardState;

namespace flow {

// The directory the names in Wizard.inf are relative to, made current: the
// program's own, or that of the --config file. False, with *why, when it
// cannot be (the front end then shows string 57 and ends).
bool MakeProgramDirectoryCurrent(const WizardOptions& options, ConfigLocation* location,
                                 std::string* why);

// The welcome page's body: the introduction, with the firmware version of
// the file Wizard.inf names when its header has one.
std::string WelcomeBody(const WizardState& state);

// The configuration page, when it is first shown: the ports to search
// (ports from the command line, else those of Wizard.inf) and whether the
// modem has an AT interpreter. Without one the selection is manual and the
// page's check box is hidden and checked: returns whether it is shown.
bool StartConfiguration(WizardState& state, const std::vector<std::string>& ports,
                        FlowFlags& flags);

// The state of the configuration page's three-state check box.
enum class BoxState { kUnchecked, kChecked, kIndeterminate };

// Next on the configuration page: the manual selection as the box says (an
// indeterminate box keeps the choice before), and the model list read
// again. False when Wizard.inf cannot be read or names no model: the front
// end shows string 50 as a fatal error.
bool LeaveConfiguration(WizardState& state, BoxState manualBox, FlowFlags& flags);

// Next on the selection page: the chosen pair is the head of both lists.
void TakeSelection(WizardState& state, const std::string& port, const std::string& model);

// The text of a fatal error on the update page: with the sentence on the
// folder that keeps the modem's files, when that folder holds any.
std::string UpdateFatalText(const std::string& text, const std::string& keptFolder);

// After a search that found no modem: the notice on a port whose modem
// waits in its boot loader, with the command that loads its firmware.
std::string LoaderNotice(const WizardState& state, const std::string& port);

}  // namespace flow
