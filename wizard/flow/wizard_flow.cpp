#include "wizard/flow/wizard_flow.h"

namespace flow {

bool SelectionPageShown(const FlowFlags& flags) {
    return flags.manualSelection && !flags.updateStarted;
}

bool SearchPageShown(const FlowFlags& flags, bool hasAtInterpreter) {
    return hasAtInterpreter && !flags.updateStarted;
}

int NextPage(int page, const FlowFlags& flags, bool hasAtInterpreter) {
    switch (page) {
        case kWelcomePage:
            return kConfigurationPage;
        case kConfigurationPage:
            if (SelectionPageShown(flags)) {
                return kSelectionPage;
            }
            [[fallthrough]];
        case kSelectionPage:
            return SearchPageShown(flags, hasAtInterpreter) ? kSearchPage : kUpdatePage;
        case kSearchPage:
            return kUpdatePage;
        default:
            return -1;
    }
}

}  // namespace flow
