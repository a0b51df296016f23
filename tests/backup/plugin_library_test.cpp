// The Sarnet_Plugin library as the wizard meets it: nothing visible but
// what the wizard looks up, the entry points found by their decorated
// names only.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/paths.h"
#include "platform/shared_library.h"
#include "platform/testing/library_exports.h"
#include "plugin_api/exports.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/plugin_lookup.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

const std::string kLibrary = test_support::LibraryFile("Sarnet_Plugin");

TEST(PluginLibrary, ShowsNothingButTheNamesTheWizardLooksUp) {
    std::set<std::string> names;
    std::string error;
    ASSERT_TRUE(
        platform::testing::LibraryExportNames(test_support::ProgramPath(kLibrary), &names, &error))
        << error;
    const std::set<std::string> expected =
        platform::kLibrariesExportAnyName
            ? std::set<std::string>{kDecoratedGetVersionNumber, kDecoratedGetPreStepStrings,
                                    kDecoratedGetPostStepStrings, kDecoratedPreSteps,
                                    kDecoratedPostSteps}
            : std::set<std::string>{"wizard_plugin_exports"};
    EXPECT_EQ(names, expected);
}

TEST(PluginLibrary, EntryPointsAreFoundByTheirDecoratedNames) {
    // Linked beside a Wizard.inf, as the tests and the demo place it: the
    // texts still come from the catalogues beside the library itself.
    // (A link where links point back; elsewhere the library where it was
    // built.)
    test_support::TempDir dir("plugin-link");
    std::string path = test_support::ProgramPath(kLibrary);
    if (platform::kLinkFileMakesSymbolicLinks) {
        ASSERT_TRUE(platform::LinkFile(path, dir.File(kLibrary)));
        path = dir.File(kLibrary);
    }
    backup_test::ScopedEnvironment language("LANGUAGE", "de");
    std::string error;
    HMODULE plugin = platform::LoadSharedLibrary(path, &error);
    ASSERT_NE(plugin, nullptr) << error;
    auto version = FindPluginEntryAs<GetVersionNumberProc>(plugin, kDecoratedGetVersionNumber);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 1);
    EXPECT_NE(FindPluginEntry(plugin, kDecoratedPreSteps), nullptr);
    EXPECT_NE(FindPluginEntry(plugin, kDecoratedPostSteps), nullptr);
    EXPECT_EQ(FindPluginEntry(plugin, kDecoratedFirmwareUpload), nullptr);
    EXPECT_EQ(FindPluginEntry(plugin, kDecoratedXdebugSetPipe), nullptr);
    EXPECT_EQ(FindPluginEntry(plugin, "PreSteps"), nullptr) << "plain names are not exported";
    auto pre = FindPluginEntryAs<GetStepStringsProc>(plugin, kDecoratedGetPreStepStrings);
    auto post = FindPluginEntryAs<GetStepStringsProc>(plugin, kDecoratedGetPostStepStrings);
    ASSERT_NE(pre, nullptr);
    ASSERT_NE(post, nullptr);
    const char* list = pre();
    EXPECT_EQ(std::string(list, MultiStringSize(list, STEP_STRINGS_SIZE)),
              std::string("Die Dateien werden gesichert ...\0", 34));
    list = post();
    EXPECT_EQ(std::string(list, MultiStringSize(list, STEP_STRINGS_SIZE)),
              std::string("Der Modemspeicher wird neu organisiert ...\0"
                          "Die Dateien werden wiederhergestellt ...\0",
                          85));
}

}  // namespace
