// Sarnet_Plugin.so as the wizard meets it: one visible symbol, the entry
// points found by their decorated names only.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/shared_library.h"
#include "plugin_api/exports.h"
#include "plugin_api/multi_string.h"
#include "plugin_api/plugin_lookup.h"
#include "tests/backup/backup_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

const std::string kLibrary = "Sarnet_Plugin.so";

TEST(PluginLibrary, OnlyTheExportTableIsVisible) {
    platform::Process nm;
    std::string error;
    ASSERT_TRUE(nm.Start({"nm", "-D", "--defined-only", test_support::ProgramPath(kLibrary)}, {},
                         platform::ProcessOutput::kCapture, &error))
        << error;
    ASSERT_TRUE(nm.Wait(30000));
    ASSERT_EQ(nm.ExitCode(), 0) << nm.Stderr();
    std::set<std::string> symbols;
    std::istringstream lines(nm.Stdout());
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t space = line.rfind(' ');
        if (space != std::string::npos) {
            symbols.insert(line.substr(space + 1));
        }
    }
    EXPECT_EQ(symbols, std::set<std::string>{"wizard_plugin_exports"}) << nm.Stdout();
}

TEST(PluginLibrary, EntryPointsAreFoundByTheirDecoratedNames) {
    // Linked beside a Wizard.inf, as the tests and the demo place it: the
    // texts still come from the catalogues beside the library itself.
    test_support::TempDir dir("plugin-link");
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath(kLibrary), dir.File(kLibrary)));
    backup_test::ScopedEnvironment language("LANGUAGE", "de");
    std::string error;
    HMODULE plugin = platform::LoadSharedLibrary(dir.File(kLibrary), &error);
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
