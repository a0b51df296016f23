// Next and Back through the pages: the skipped pages are skipped both ways.
#include <gtest/gtest.h>

#include <vector>

#include "wizard/flow/wizard_flow.h"

namespace {

using flow::FlowFlags;

std::vector<int> Forward(const FlowFlags& flags, bool hasAtInterpreter) {
    std::vector<int> pages;
    for (int at = flow::kWelcomePage; at != -1; at = flow::NextPage(at, flags, hasAtInterpreter)) {
        pages.push_back(at);
    }
    return pages;
}

std::vector<int> Backward(const FlowFlags& flags, bool hasAtInterpreter) {
    std::vector<int> pages;
    for (int at = flow::kUpdatePage; at != -1;
         at = flow::PreviousPage(at, flags, hasAtInterpreter)) {
        pages.insert(pages.begin(), at);
    }
    return pages;
}

TEST(PageFlow, BackRetracesNextWhicheverPagesAreSkipped) {
    struct Case {
        bool manual;
        bool hasAtInterpreter;
        std::vector<int> pages;
    };
    const std::vector<Case> cases = {
        {false, true, {1105, 1108, 1106, 1112}},
        {true, true, {1105, 1108, 1109, 1106, 1112}},
        {true, false, {1105, 1108, 1109, 1112}},
        {false, false, {1105, 1108, 1112}},
    };
    for (const Case& c : cases) {
        FlowFlags flags;
        flags.manualSelection = c.manual;
        SCOPED_TRACE(testing::Message() << "manual " << c.manual << ", AT " << c.hasAtInterpreter);
        EXPECT_EQ(Forward(flags, c.hasAtInterpreter), c.pages);
        EXPECT_EQ(Backward(flags, c.hasAtInterpreter), c.pages);
    }
    EXPECT_EQ(flow::PreviousPage(flow::kWelcomePage, FlowFlags{}, true), -1);
}

}  // namespace
