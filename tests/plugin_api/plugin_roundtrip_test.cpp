// A separately built plug-in loaded with the platform's loader and bound
// by decorated names only.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/shared_library.h"
#include "plugin_api/exports.h"
#include "plugin_api/messages.h"
#include "plugin_api/plugin_lookup.h"
#include "plugin_api/status.h"
#include "tests/support/recording_page.h"
#include "tests/support/test_paths.h"

namespace {

class PluginRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        plugin = platform::LoadSharedLibrary(
            test_support::ProgramPath(test_support::LibraryFile("Test_Plugin_v1")), &error);
        ASSERT_NE(plugin, nullptr) << error;
    }
    HMODULE plugin = nullptr;
};

TEST_F(PluginRoundTrip, GetVersionNumberAndPreStepsAreFoundByDecoratedNames) {
    auto getVersion = FindPluginEntryAs<GetVersionNumberProc>(plugin, kDecoratedGetVersionNumber);
    ASSERT_NE(getVersion, nullptr);
    EXPECT_EQ(getVersion(), 1);

    auto preSteps = FindPluginEntryAs<StepsProc>(plugin, kDecoratedPreSteps);
    ASSERT_NE(preSteps, nullptr);
    test_support::RecordingPage page;
    _Status status{};
    std::strcpy(status.model, "ORVA 56K Serial");
    std::strcpy(status.iniPath, "/opt/wizard/Wizard.inf");
    status.total = 7;
    status.done = 3;
    status.state = 1;
    int stepCounter = 0;
    EXPECT_EQ(preSteps(page.handle(), nullptr, &status, WM_WIZ_STEP, &stepCounter), 1);
    EXPECT_EQ(page.Posted(WM_WIZ_STEP), (std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}, {1, 1}}));
    EXPECT_EQ(stepCounter, 1);
    // The plug-in read every field where the wizard put it, and wrote
    // where the wizard reads.
    EXPECT_STREQ(status.text, "ORVA 56K Serial|/opt/wizard/Wizard.inf|7|3|1");
    EXPECT_EQ(status.total, 7);
    EXPECT_EQ(status.done, 7);
    EXPECT_EQ(status.state, 1);
    EXPECT_STREQ(status.model, "ORVA 56K Serial");
    EXPECT_STREQ(status.iniPath, "/opt/wizard/Wizard.inf");
}

TEST_F(PluginRoundTrip, PreStepsSeesTheWizardsFieldsAndItsFatalTextOutlivesTheCall) {
    auto preSteps = FindPluginEntryAs<StepsProc>(plugin, kDecoratedPreSteps);
    ASSERT_NE(preSteps, nullptr);
    test_support::RecordingPage page;
    _Status status{};
    std::strcpy(status.model, "fail");
    std::strcpy(status.iniPath, "/x/Wizard.inf");
    int stepCounter = 4;
    EXPECT_EQ(preSteps(page.handle(), nullptr, &status, WM_WIZ_STEP, &stepCounter), 0);
    auto fatal = page.Posted(WM_WIZ_FATAL);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_STREQ(ParamText(fatal[0].second), "Test plug-in failed for /x/Wizard.inf");
    EXPECT_EQ(stepCounter, 4);
    EXPECT_TRUE(page.Posted(WM_WIZ_STEP).empty());
}

TEST_F(PluginRoundTrip, NothingElseIsFound) {
    for (const char* name :
         {kDecoratedGetPreStepStrings, kDecoratedGetPostStepStrings, kDecoratedPostSteps,
          kDecoratedFirmwareUpload, kDecoratedXdebugSetPipe, "GetVersionNumber", "PreSteps",
          "?getversionnumber@@yahxz", "?GetVersionNumber@@YAHXZ ", "", "_Z16GetVersionNumberv"}) {
        EXPECT_EQ(FindPluginEntry(plugin, name), nullptr) << name;
    }
    // Only the table function (where the names cannot be exported as they
    // are: ELF) or the decorated names themselves (a DLL) are visible to
    // the loader: the plug-in's own functions, and the static libraries in
    // it, stay hidden.
    EXPECT_EQ(platform::FindLibraryFunction(plugin, kPluginExportTableSymbol) != nullptr,
              !platform::kLibrariesExportAnyName);
    EXPECT_EQ(platform::FindLibraryFunction(plugin, kDecoratedPreSteps) != nullptr,
              platform::kLibrariesExportAnyName);
    EXPECT_EQ(platform::FindLibraryFunction(plugin, "_Z16GetVersionNumberv"), nullptr);
    EXPECT_EQ(platform::FindLibraryFunction(plugin, "_Z8PreStepsP6HWND__P7CSerialP7_StatusiPi"),
              nullptr);
    EXPECT_EQ(FindPluginEntry(nullptr, kDecoratedGetVersionNumber), nullptr);
}

TEST_F(PluginRoundTrip, EachPlugInAnswersFromItsOwnTable) {
    std::string error;
    HMODULE second = platform::LoadSharedLibrary(
        test_support::ProgramPath(test_support::LibraryFile("Test_Plugin_v2")), &error);
    ASSERT_NE(second, nullptr) << error;
    EXPECT_EQ(FindPluginEntryAs<GetVersionNumberProc>(second, kDecoratedGetVersionNumber)(), 2);
    EXPECT_EQ(FindPluginEntryAs<GetVersionNumberProc>(plugin, kDecoratedGetVersionNumber)(), 1);
}

TEST(SharedLibrary, AMissingLibraryIsRefusedWithTheLoadersReason) {
    std::string error;
    EXPECT_EQ(platform::LoadSharedLibrary(
                  test_support::ProgramPath(test_support::LibraryFile("No_Such_Plugin")), &error),
              nullptr);
    EXPECT_NE(error.find(test_support::LibraryFile("No_Such_Plugin")), std::string::npos) << error;
    EXPECT_EQ(platform::FindLibraryFunction(nullptr, "wizard_plugin_exports"), nullptr);
}

}  // namespace
