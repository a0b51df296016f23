// The Flinta_Plugin library as the wizard loads it: what it exports, and
// its texts in the user's languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/shared_library.h"
#include "platform/testing/library_exports.h"
#include "plugin_api/messages.h"
#include "plugin_api/plugin_lookup.h"
#include "plugin_api/status.h"
#include "plugin_api/upload_settings.h"
#include "plugins/flash/flash_texts.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "tests/support/recording_page.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

const std::string kPlugin = test_support::ProgramPath(test_support::LibraryFile("Flinta_Plugin"));

class PluginLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        library = platform::LoadSharedLibrary(kPlugin, &error);
        ASSERT_NE(library, nullptr) << error;
    }
    HMODULE library = nullptr;
};

TEST_F(PluginLibrary, ShowsNothingButTheNamesTheWizardLooksUp) {
    std::set<std::string> names;
    std::string error;
    ASSERT_TRUE(platform::testing::LibraryExportNames(kPlugin, &names, &error)) << error;
    const std::set<std::string> expected =
        platform::kLibrariesExportAnyName
            ? std::set<std::string>{kDecoratedGetVersionNumber, kDecoratedFirmwareUpload,
                                    kDecoratedXdebugSetPipe}
            : std::set<std::string>{"wizard_plugin_exports"};
    EXPECT_EQ(names, expected);
}

TEST_F(PluginLibrary, ExportsVersionFirmwareUploadAndTheTracePipeByDecoratedNames) {
    auto version = FindPluginEntryAs<GetVersionNumberProc>(library, kDecoratedGetVersionNumber);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 1);
    EXPECT_NE(FindPluginEntry(library, kDecoratedFirmwareUpload), nullptr);
    EXPECT_NE(FindPluginEntry(library, kDecoratedXdebugSetPipe), nullptr);
    for (const char* absent : {kDecoratedGetPreStepStrings, kDecoratedGetPostStepStrings,
                               kDecoratedPreSteps, kDecoratedPostSteps}) {
        EXPECT_EQ(FindPluginEntry(library, absent), nullptr) << absent;
    }
}

TEST_F(PluginLibrary, TracesGoToTheWizardsPipe) {
    std::string traced;
    TracePipe pipe{[](TracePipe* self, const char* text, std::size_t length) {
                       static_cast<std::string*>(self->context)->append(text, length);
                   },
                   &traced};
    auto setPipe = FindPluginEntryAs<SetPipeProc>(library, kDecoratedXdebugSetPipe);
    ASSERT_NE(setPipe, nullptr);
    setPipe(&pipe);
    EXPECT_EQ(traced, "#### Dll attached to xdebug Pipe #### \n\n");

    // Its own work is traced there too.
    auto upload = FindPluginEntryAs<FirmwareUploadProc>(library, kDecoratedFirmwareUpload);
    test_support::RecordingPage page;
    CSerial port;
    _Status status{};
    char files[UPLOAD_FILES_SIZE + 16] = "/no/such/image.hex\0/no/such/loader.hex\0";
    EXPECT_EQ(upload(page.handle(), &port, files, &status), 0);
    setPipe(nullptr);
    EXPECT_NE(traced.find("Starting analysis of modem firmware file.\n"), std::string::npos);
    ASSERT_EQ(page.Texts(WM_WIZ_FATAL).size(), 1u);
}

// The catalogues built from po/flinta_plugin.
class PluginTexts : public ::testing::Test {
  protected:
    ~PluginTexts() override { flinta::Texts().UseLanguages({}, locale); }
    const std::string locale = test_support::BinDir() + "/locale";
};

TEST_F(PluginTexts, EveryLanguageTranslatesEveryText) {
    for (const char* language :
         {"es", "cs", "da", "de", "fi", "fr", "it", "nl", "nb", "pl", "ru"}) {
        flinta::Texts().UseLanguages({language}, locale);
        for (int id : {flinta::IDS_LOADING_FIRMWARE, flinta::IDS_INIT_ERROR,
                       flinta::IDS_PLEASE_WAIT, flinta::IDS_FILE_OF_FILES}) {
            const std::string& text = flinta::LoadText(id);
            EXPECT_NE(text, flinta::Texts().English(id)) << language << " " << id;
            EXPECT_FALSE(text.empty()) << language << " " << id;
        }
        const std::string english = flinta::Texts().English(flinta::IDS_INIT_ERROR);
        const std::string translated = flinta::LoadText(flinta::IDS_INIT_ERROR);
        EXPECT_EQ(std::count(translated.begin(), translated.end(), '\r'),
                  std::count(english.begin(), english.end(), '\r'))
            << language << ": the line breaks stay";
        const std::string progress = flinta::LoadingText(1, 2);
        EXPECT_NE(progress.find("%d"), std::string::npos) << language;
        EXPECT_EQ(progress.find("%d", progress.find("%d") + 1), std::string::npos) << language;
        EXPECT_NE(progress.find("%%"), std::string::npos) << language;
        EXPECT_NE(progress.find('1'), std::string::npos) << language;
        EXPECT_NE(progress.find('2'), std::string::npos) << language;
    }
}

TEST_F(PluginTexts, GermanProgressText) {
    flinta::Texts().UseLanguages({"de_DE", "de"}, locale);
    EXPECT_EQ(flinta::LoadingText(2, 2),
              "Firmware wird in das Modem geladen (%d %% abgeschlossen, Datei 2 von 2)");
    EXPECT_EQ(flinta::LoadText(flinta::IDS_PLEASE_WAIT), "Bitte warten ...");
    flinta::Texts().UseLanguages({"en"}, locale);
    EXPECT_EQ(flinta::LoadingText(1, 2), "Loading firmware to modem (%d %% complete file 1 of 2)");
}

}  // namespace
