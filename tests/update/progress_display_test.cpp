// What the update page shows from _Status on each timer tick.
#include <gtest/gtest.h>

#include "wizard/engine/progress_display.h"
#include "wizard/resources/strings.h"

namespace {

_Status Status(const char* text, int total, int done, int state = 0) {
    _Status status{};
    std::snprintf(status.text, sizeof status.text, "%s", text);
    status.total = total;
    status.done = done;
    status.state = state;
    return status;
}

TEST(ProgressDisplay, ThePercentageFillsTheTextAndTheBar) {
    _Status status = Status("Loading firmware to modem (%d %% complete)", 2000, 500);
    ProgressDisplay display = SampleProgress(&status);
    EXPECT_EQ(display.text, "Loading firmware to modem (25 % complete)");
    EXPECT_EQ(display.barPosition, 25);
    EXPECT_FALSE(display.succeeded);
    status.done = 1999;
    EXPECT_EQ(SampleProgress(&status).barPosition, 99) << "truncated, not rounded";
}

TEST(ProgressDisplay, ANoughtTotalShowsNought) {
    _Status status = Status("Backing up file 1 of 2 (%d%% finished)", 0, 0);
    ProgressDisplay display = SampleProgress(&status);
    EXPECT_EQ(display.text, "Backing up file 1 of 2 (0% finished)");
    EXPECT_EQ(display.barPosition, 0);
}

TEST(ProgressDisplay, WithoutATotalTheTextStandsAndDoneCountsTicks) {
    _Status status = Status("Please wait ...", -1, 0);
    for (int tick = 1; tick <= 3; ++tick) {
        ProgressDisplay display = SampleProgress(&status);
        EXPECT_EQ(display.text, "Please wait ...");
        EXPECT_EQ(display.barPosition, 0);
        EXPECT_EQ(status.done, tick);
    }
    status.total = 1;  // what a plug-in sets at the end of its wait: a full bar
    EXPECT_EQ(SampleProgress(&status).barPosition, 100);
}

TEST(ProgressDisplay, SuccessShowsTheSuccessText) {
    _Status status = Status("whatever %d", 10, 5, 2);
    ProgressDisplay display = SampleProgress(&status);
    EXPECT_TRUE(display.succeeded);
    EXPECT_EQ(display.text, wizard::LoadText(wizard::IDS_SUCCESS));
}

TEST(ProgressDisplay, ATextNeverReadsArgumentsThatAreNotThere) {
    EXPECT_EQ(FormatPercent("%s %n %x %d%%", 7), "%s %n %x 7%");
    _Status status{};
    std::memset(status.text, 'A', sizeof status.text);  // no terminating NUL
    status.total = 4;
    status.done = 2;
    EXPECT_EQ(SampleProgress(&status).text, std::string(256, 'A'));
}

}  // namespace
