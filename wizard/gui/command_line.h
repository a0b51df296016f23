// The command line of the Wizard program.
#pragma once

#include <string>
#include <vector>

namespace gui {

struct WizardOptions {
    bool oldLook = false;
    // Developer options: a Wizard.inf elsewhere (its directory stands for
    // the program directory), and the ports to search instead of the
    // system's.
    std::string configFile;
    std::vector<std::string> ports;
};

// The look when the command line does not choose one: the new look, which
// Qt draws on every system it runs on.
bool NewLookIsDefault();

// Reads the tokens after the program name. A token whose first six
// characters are "/oldwi" or "/newwi" without regard to case ("/oldwiz",
// "/newwiz") chooses the old or the new look; later tokens win. "--config
// FILE" and "--ports DEV,DEV" take the next token as their value. Every
// other token is ignored. False, with *error, when a developer option has
// no value.
bool ParseCommandLine(const std::vector<std::string>& tokens, WizardOptions* options,
                      std::string* error);

}  // namespace gui
