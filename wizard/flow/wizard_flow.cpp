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

int PreviousPage(int page, const FlowFlags& flags, bool hasAtInterpreter) {
    int previous = -1;
    for (int at = kWelcomePage; at != -1 && at != page;
         at = NextPage(at, flags, hasAtInterpreter)) {
        previous = at;
    }
    return previous;
}

}  // namespace flow
