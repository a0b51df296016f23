// One update run: step list and highlights, plug-in binding and its
// failures, the port, and the state it leaves.
#include <gtest/gtest.h>

#include "serial/serial.h"
#include "tests/support/test_paths.h"
#include "tests/update/update_fixture.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/plugin_binding.h"
#include "wizard/engine/step_list.h"
#include "wizard/engine/update_run.h"
#include "wizard/resources/strings.h"

namespace {

using StepPosts = std::vector<std::pair<WPARAM, LPARAM>>;
using test_support::LibraryFile;

std::string Lib(const std::string& name) {
    return LibraryFile(name);
}

class UpdateRun : public UpdateFixture {
  protected:
    void Model(const std::string& name, const std::string& keys) {
        WriteConfig("[Common]\n[" + name + "]\nUploadFile=firmware.bin\n" + keys);
        Choose(port.name(), name);
    }
    std::vector<std::string> StepLines() const {
        std::vector<std::string> lines;
        for (const auto& [id, text] : page.ItemTexts()) {
            if (id >= IDC_STEP_LINE_FIRST && id < IDC_STEP_LINE_FIRST + kMaxStepLines) {
                lines.push_back(text);
            }
        }
        return lines;
    }
};

TEST_F(UpdateRun, APlugInWithTwoPreStepsAndOnePostStepHighlightsFiveSteps) {
    PlacePlugin(Lib("Step_Plugin_Full"));
    Model("ORVA Test", "DLLName=" + Lib("Step_Plugin_Full") + "\n");
    ASSERT_TRUE(RunUpdate(state, page.handle()));

    std::vector<std::string> expected = {"Initializing transfer ...", "Saving one", "Saving two",
                                         "The firmware is being updated...", "Restoring"};
    EXPECT_EQ(StepLines(), expected);
    StepPosts steps = {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1},  // pre-steps
                       {2, 0}, {3, 1},                          // the firmware step
                       {3, 0}, {4, 1},                          // the post-step
                       {4, 0}};
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(state.status.state, 2);
    EXPECT_STREQ(state.status.model, "ORVA Test");
    EXPECT_EQ(std::string(state.status.iniPath), dir.File("Wizard.inf"));
    // Pre-steps, firmware and post-step each talked to the modem on the open port.
    EXPECT_EQ(port.modem().Commands(), (std::vector<std::string>{"AT", "AT", "AT", "AT"}));
    EXPECT_TRUE(Fatals().empty());
}

TEST_F(UpdateRun, WithoutPlugInTheTwoStandardStepsFrameTheUpload) {
    // Not the standard interface: the own upload fails before sending anything.
    Model("ORVA Plain", "UploadInterface=SPECIAL\n");
    dir.Write("firmware.bin", std::string(300, 'x'));
    ASSERT_TRUE(RunUpdate(state, page.handle()));
    EXPECT_EQ(StepLines(), (std::vector<std::string>{"Initializing transfer ...",
                                                     "The firmware is being updated..."}));
    EXPECT_EQ(Steps(), (StepPosts{{0, 1}, {0, 0}, {1, 1}, {1, 0}}));
    EXPECT_EQ(state.status.state, 3);
    EXPECT_EQ(Fatals(), std::vector<std::string>{wizard::LoadText(wizard::IDS_UPLOAD_ERROR)});
    EXPECT_EQ(port.device().Written(), "") << "nothing is sent to the modem";
}

TEST_F(UpdateRun, APlugInWithOnlyFirmwareUploadDoesTheTransfer) {
    PlacePlugin(Lib("Step_Plugin_Firmware"));
    Model("ORVA Flash", "DLLName=" + Lib("Step_Plugin_Firmware") + "\n");
    ASSERT_TRUE(RunUpdate(state, page.handle()));
    EXPECT_EQ(StepLines().size(), 2u);
    EXPECT_EQ(state.status.state, 2);
    EXPECT_EQ(port.modem().Commands(), std::vector<std::string>{"AT"});
}

TEST_F(UpdateRun, AFailedFirmwareUploadOfAPlugInIsReportedByTheWizard) {
    PlacePlugin(Lib("Step_Plugin_Firmware"));
    Model("fail-firmware", "DLLName=" + Lib("Step_Plugin_Firmware") + "\n");
    ASSERT_TRUE(RunUpdate(state, page.handle()));
    EXPECT_EQ(state.status.state, 3);
    EXPECT_EQ(Fatals(), std::vector<std::string>{wizard::LoadText(wizard::IDS_UPLOAD_ERROR)});
}

TEST_F(UpdateRun, AFailingPreStepEndsTheWorkerWithItsOwnMessageOnly) {
    PlacePlugin(Lib("Step_Plugin_Full"));
    Model("fail-pre", "DLLName=" + Lib("Step_Plugin_Full") + "\n");
    EXPECT_FALSE(RunUpdate(state, page.handle()));
    EXPECT_EQ(Fatals(), std::vector<std::string>{"PRE-STEP FAILED"});
    EXPECT_EQ(state.status.state, 1);
}

TEST_F(UpdateRun, AFailingPostStepEndsTheWorkerWithoutSuccess) {
    PlacePlugin(Lib("Step_Plugin_Full"));
    Model("fail-post", "DLLName=" + Lib("Step_Plugin_Full") + "\n");
    EXPECT_FALSE(RunUpdate(state, page.handle()));
    EXPECT_EQ(Fatals(), std::vector<std::string>{"POST-STEP FAILED: no modem"});
    EXPECT_NE(state.status.state, 2);
}

TEST_F(UpdateRun, VersionsZeroAndOneAreAcceptedTwoAndNoneAreRefused) {
    PluginEntries entries;
    std::string why;
    PlacePlugin(Lib("Step_Plugin_V0"));
    PlacePlugin(Lib("Step_Plugin_V2"));
    PlacePlugin(Lib("Step_Plugin_NoVersion"));
    PlacePlugin(Lib("Step_Plugin_Steps"));
    EXPECT_EQ(BindPlugin(dir.File(Lib("Step_Plugin_V0")), &entries, &why), BindResult::kBound);
    EXPECT_EQ(entries.preSteps, nullptr);
    EXPECT_EQ(BindPlugin(dir.File(Lib("Step_Plugin_Steps")), &entries, &why), BindResult::kBound);
    EXPECT_NE(entries.preSteps, nullptr);
    EXPECT_NE(entries.postSteps, nullptr);
    EXPECT_EQ(entries.firmwareUpload, nullptr);
    EXPECT_EQ(BindPlugin(dir.File(Lib("Step_Plugin_V2")), &entries, &why),
              BindResult::kVersionConflict);
    EXPECT_EQ(BindPlugin(dir.File(Lib("Step_Plugin_NoVersion")), &entries, &why),
              BindResult::kVersionConflict);
    EXPECT_EQ(BindPlugin(dir.File(Lib("Missing_Plugin")), &entries, &why),
              BindResult::kNotLoadable);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(BindPlugin("", &entries, &why), BindResult::kNoPlugin);
}

TEST_F(UpdateRun, AVersionConflictEndsTheWizardWithString58BeforeThePortIsOpened) {
    PlacePlugin(Lib("Step_Plugin_V2"));
    Model("ORVA New", "DLLName=" + Lib("Step_Plugin_V2") + "\n");
    EXPECT_FALSE(RunUpdate(state, page.handle()));
    EXPECT_EQ(ProcessFatals(),
              std::vector<std::string>{wizard::LoadText(wizard::IDS_VERSION_CONFLICT)});
    EXPECT_EQ(port.device().OpenCount(), 0);
}

TEST_F(UpdateRun, AMissingPlugInEndsTheWizardWithString57) {
    Model("ORVA Gone", "DLLName=" + Lib("Nowhere_Plugin") + "\n");
    EXPECT_FALSE(RunUpdate(state, page.handle()));
    EXPECT_EQ(ProcessFatals(),
              std::vector<std::string>{wizard::LoadText(wizard::IDS_PROGRAM_PATH)});
}

TEST_F(UpdateRun, ABusyPortEndsTheRunWithString35) {
    PlacePlugin(Lib("Step_Plugin_Firmware"));
    Model("ORVA Flash", "DLLName=" + Lib("Step_Plugin_Firmware") + "\n");
    CSerial other;
    other.SetPortName(port.name());
    ASSERT_TRUE(other.Open());
    EXPECT_FALSE(RunUpdate(state, page.handle()));
    EXPECT_EQ(Fatals(),
              std::vector<std::string>{wizard::LoadText(wizard::IDS_PORT_CANNOT_BE_OPENED)});
}

TEST(StepList, TakesAPlugInListUpToItsEndAndRefusesWhatDoesNotFit) {
    StepList steps;
    steps.AppendList("one\0two\0\0three\0", 16);
    EXPECT_EQ(steps.Entries(), (std::vector<std::string>{"one", "two"}));
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    steps.AppendList(unterminated, sizeof unterminated);
    EXPECT_EQ(steps.Entries().size(), 2u) << "an entry without its end is not taken";
    EXPECT_FALSE(steps.Append(std::string(3000, 'x'))) << "beyond the list's 2048 bytes";
}

}  // namespace
