#include "tests/update/update_fixture.h"

#include "platform/paths.h"
#include "tests/support/test_paths.h"
#include "wizard/engine/fatal_exit.h"

namespace {

void RecordFatal(const std::string& text) {
    UpdateFixture::ProcessFatals().push_back(text);
}

}  // namespace

std::vector<std::string>& UpdateFixture::ProcessFatals() {
    static std::vector<std::string> fatals;
    return fatals;
}

UpdateFixture::UpdateFixture() : dir("update-test") {
    ProcessFatals().clear();
    SetFatalHandler(&RecordFatal, false);
}

UpdateFixture::~UpdateFixture() {
    SetFatalHandler(nullptr);
}

void UpdateFixture::WriteConfig(const std::string& text) {
    dir.Write("Wizard.inf", text);
    std::string why;
    ASSERT_TRUE(LocateConfigFile(dir.File("Wizard.inf"), &state.config, &why)) << why;
}

void UpdateFixture::PlacePlugin(const std::string& file) {
    ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath(file), dir.File(file))) << file;
}

void UpdateFixture::Choose(const std::string& portName, const std::string& model) {
    state.portList = PortList();
    state.portList.Append(portName);
    state.modelList = ModelList();
    state.modelList.Append(model);
}
