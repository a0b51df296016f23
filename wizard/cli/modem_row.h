// One port of an update of many modems, as the events of its child
// processes (search, then update) tell it.
#pragma once

#include <string>
#include <vector>

#include "wizard/cli/json/json_value.h"

namespace cli {

enum class RowPhase {
    kWaiting,    // its search has not started
    kSearching,  // a child searches its port
    kNoModem,    // nothing suitable there
    kFound,      // a modem was found; its update has not started
    kUpdating,   // a child updates it
    kUpdated,
    kFailed,  // the update failed, or the search could not run
};

struct ModemRow {
    std::string port;
    RowPhase phase = RowPhase::kWaiting;
    std::string model;
    std::string modemInfo;
    std::string oldVersion;
    std::string newVersion;
    std::string status;  // the last text of the search or the update
    std::vector<std::string> steps;
    int step = -1;         // the highlighted step, from 0
    std::string stepText;  // its caption
    int percent = -1;      // of the running transfer; -1: none shown
    std::string error;     // the first error or fatal text
    std::string keptFiles;
    std::string outcome;  // of the child's result event; empty without one
    int exitCode = -1;    // of the child's result event
    double seconds = 0;   // the update's wall time
};

// Takes one event of the row's child into the row (the phase stays the
// caller's: it knows which child ended).
void ApplyEvent(const json::Value& event, ModemRow* row);

}  // namespace cli
