// The modem search: which port the modem hangs on and which model section
// describes it.
#pragma once

#include "platform/types.h"

struct WizardState;

// Walks the port list, identifies the modem on each port, matches its
// model against the model list (without regard to case) and checks its
// brand. Reports every step to page with WM_WIZ_SEARCHPORT and
// WM_WIZ_SEARCHSTATUS (400 ms apart), then WM_WIZ_FOUND or WM_WIZ_NOTFOUND.
// On a find the found port and model are the heads of the lists, each
// list ending right behind its head.
void RunSearch(WizardState& state, HWND page);
