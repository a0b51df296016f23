// The wizard's process-wide state, shared by the page thread and the worker
// without locks: a page writes the heads of the lists before it posts a
// request and leaves them alone while the worker runs; _Status holds plain
// 32-bit values and a text that the update page samples.
#pragma once

#include <string>

#include "plugin_api/status.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/port_list.h"

struct WizardState {
    ConfigLocation config;         // Wizard.inf and the directory its names are relative to
    PortList portList;             // ports to search; after a selection its head is the port
    ModelList modelList;           // model sections; after a selection its head is the model
    bool hasAtInterpreter = true;  // NoATInterpreter is not "1"
    _Status status{};              // shared with the XModem methods and the plug-ins
    std::string modemInfo;         // the found modem's ATI3 text, cleaned; set before WM_WIZ_FOUND
};

// The one instance of the process.
WizardState& TheWizardState();
