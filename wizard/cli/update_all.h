// wizard-cli update --all: every modem found on the ports, updated at the
// same time. Each port is searched by a child process of its own (the
// wizard's search, for that port alone); then every modem found is updated
// by a child "wizard-cli update --port P --model M --yes --json", so each
// has the process-wide _Status, its plug-in and its trace to itself. The
// children's events make one line per modem and, at the end, a summary.
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/config_location.h"

namespace cli {

struct UpdateAllOptions {
    ConfigLocation config;
    std::vector<std::string> ports;  // instead of the ports Wizard.inf's ComList chooses
    unsigned long maxParallel = 0;   // children at a time; 0: no limit
    bool yes = false;                // no question before the updates start
    bool json = false;               // the children's events, then a summary event
    bool quiet = false;              // no modem lines, only the summary
};

// Returns 0 when every modem found was updated, 1 otherwise (also when no
// modem was found), 2 when --json lacks --yes.
int RunUpdateAll(const UpdateAllOptions& options);

}  // namespace cli
