// The Wizard.inf a command reads: the one named by --config FILE, or the
// one beside the program, as the wizard itself finds it.
#pragma once

#include <string>

#include "wizard/cli/args.h"
#include "wizard/engine/config_location.h"

namespace cli {

// Fills *location from --config or the program directory. On failure
// prints "wizard-cli COMMAND: REASON" to stderr and returns false.
bool LocateConfigOrReport(const Args& args, const char* command, ConfigLocation* location);

}  // namespace cli
