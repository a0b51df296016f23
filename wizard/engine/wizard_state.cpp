#include "wizard/engine/wizard_state.h"

WizardState& TheWizardState() {
    static WizardState state;
    return state;
}
