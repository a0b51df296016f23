// The command line of the Wizard program, the same for every front end.
#pragma once

#include <string>
#include <vector>

namespace flow {

struct WizardOptions {
    bool oldLook = false;
    // Developer options: a Wizard.inf elsewhere (its directory stands for
    // the program directory), and the ports to search instead of the
    // system's.
    std::string configFile;
    std::vector<std::string> ports;
};

// The tokens of a command line given as one text (as a Windows program
// gets it): blank-separated, empty tokens dropped.
std::vector<std::string> SplitAtBlanks(const std::string& commandLine);

// Reads the tokens after the program name. newLookByDefault is the look when
// the command line does not choose one (the system decides it). A token whose first six
// characters are "/oldwi" or "/newwi" without regard to case ("/oldwiz",
// "/newwiz") chooses the old or the new look; later tokens win. "--config
// FILE" and "--ports DEV,DEV" take the next token as their value. Every
// other token is ignored. False, with *error, when a developer option has
// no value.
bool ParseCommandLine(const std::vector<std::string>& tokens, bool newLookByDefault,
                      WizardOptions* options, std::string* error);

}  // namespace flow
