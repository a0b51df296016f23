// What the update page shows from _Status on each tick of its timer.
#pragma once

#include <cstdint>
#include <string>

#include "plugin_api/status.h"

struct ProgressDisplay {
    std::string text;        // the progress text line
    int barPosition = 0;     // 0..100
    bool succeeded = false;  // state 2: show the success text, offer Finish, stop sampling
    std::int32_t done = 0;   // the units of _Status as this tick read them
    std::int32_t total = 0;  // -1: no percentage
};

// One tick: with a total, text is formatted with the percentage done/total
// (0 while total is 0); with total -1 the text is shown as it is, the bar
// stays empty and done is counted up by one (so a later total of 1 shows a
// full bar).
ProgressDisplay SampleProgress(_Status* status);

// Formats a progress text with its percentage. Only "%d" / "%i" take the
// value and "%%" gives "%"; any other "%" stands as it is, so a text from a
// plug-in or a catalogue can never read arguments that are not there.
std::string FormatPercent(const char* text, int percent);
