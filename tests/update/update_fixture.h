// The set-up of the update tests: a scripted modem on a virtual clock, a
// Wizard.inf in a directory of its own, a recording page, and fatal errors
// recorded instead of ending the process.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_api/messages.h"
#include "tests/support/recording_page.h"
#include "tests/support/scripted_port.h"
#include "tests/support/temp_dir.h"
#include "wizard/engine/wizard_state.h"

class UpdateFixture : public ::testing::Test {
  public:
    // Texts handed to the process-level fatal handler (binding errors).
    static std::vector<std::string>& ProcessFatals();

  protected:
    UpdateFixture();
    ~UpdateFixture() override;

    // Writes Wizard.inf with these lines and points the state at it.
    void WriteConfig(const std::string& text);
    // Places a test plug-in from the program directory beside Wizard.inf.
    void PlacePlugin(const std::string& file);
    // The chosen pair, as a page leaves it before an update.
    void Choose(const std::string& portName, const std::string& model);

    std::vector<std::pair<WPARAM, LPARAM>> Steps() const { return page.Posted(WM_WIZ_STEP); }
    std::vector<std::string> Fatals() const { return page.Texts(WM_WIZ_FATAL); }
    test_support::ScriptedPort port;
    test_support::TempDir dir;
    test_support::RecordingPage page;
    WizardState state;
};
