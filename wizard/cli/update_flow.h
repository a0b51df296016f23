// The wizard's flow on the console: find the modem (or confirm the one
// given), show what will happen, run the update with its step list and a
// progress bar, and end with the success text or the error.
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/config_location.h"

namespace cli {

struct UpdateOptions {
    ConfigLocation config;
    std::string port;  // with model: the manual choice, confirmed by the search
    std::string model;
    std::vector<std::string> ports;  // the ports to search instead of the system's
    bool yes = false;                // no question before the update starts
    bool quiet = false;              // no progress bar
    bool json = false;               // JSON events on stdout instead of text; asks nothing
    bool searchOnly = false;         // find the modem and say which it is, nothing more
    bool recover = false;  // with port and model: the modem waits in its loader; no search
};

// Returns the exit code: 0 after a successful update (or, searching only,
// a modem found), 1 after any failure, 2 when --json lacks --yes.
int RunUpdateFlow(const UpdateOptions& options);

// True when the flow ended while the worker was still busy with the modem
// (a search stopped by Ctrl-C): the worker and its page are left alive, and
// the program must end without tearing down what the worker may still use.
bool WorkerStillBusy();

}  // namespace cli
