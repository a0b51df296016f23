// The wizard-cli command line that loads the firmware into a modem waiting
// in its boot loader, as the front ends name it after a search.
#pragma once

#include <string>

#include "wizard/engine/wizard_state.h"

// "PROGRAM recover --port PORT --model MODEL": the model when Wizard.inf
// describes only one (NAME otherwise), and --config FILE when state reads a
// Wizard.inf other than the one beside the program, which the command would
// read by itself. Words with blanks or quotes are quoted.
std::string RecoverCommand(const WizardState& state, const std::string& port,
                           const std::string& program = "wizard-cli");

// wizard-cli beside the running program, as a path; the bare name when the
// program's directory is unknown. The windowed wizards name it this way:
// their users have no shell in that directory.
std::string WizardCliBesideProgram();
