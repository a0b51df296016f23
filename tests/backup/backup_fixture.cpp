#include "tests/backup/backup_fixture.h"

#include <cstdlib>

#include "platform/environment.h"
#include "platform/private_directory.h"
#include "plugins/backup/backup_state.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/backup/sarnet_plugin.h"

namespace backup_test {

const char* const kDownloadError =
    "An error has occurred during the file download.\rPlease check the connections to your "
    "modem\rand ensure that the modem is switched on.\rNext, restart the wizard.";
const char* const kUploadError =
    "An error has occurred during the file upload.\rOne or more files could not be restored.";
const char* const kReorganizeError =
    "An error has occurred during the reorganization of the file system.\rPlease check the "
    "connections to your modem\rand ensure that the modem is switched on.\rNext, restart the "
    "wizard.";
const char* const kInitializationError =
    "An error has occurred during the initialization of the modem.\rPlease check the "
    "connections to your modem\rand ensure that the modem is switched on.\rNext, restart the "
    "wizard.";

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
        had_ = true;
    }
    platform::SetEnvironment(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (had_) {
        platform::SetEnvironment(name_, old_);
    } else {
        platform::UnsetEnvironment(name_);
    }
}

BackupSteps::BackupSteps() {
    // English texts whatever the machine's language.
    backup::Texts().UseLanguages({}, std::string());
    serial.SetPortName(port.name());
    EXPECT_TRUE(serial.Open());
    CopyText(status.model, "ORVA 56K Voice");
}

int BackupSteps::Pre() {
    return PreSteps(page.handle(), &serial, &status, WM_WIZ_STEP, &counter);
}

int BackupSteps::Post() {
    return PostSteps(page.handle(), &serial, &status, WM_WIZ_STEP, &counter);
}

void BackupSteps::Firmware(bool storeLost) {
    ++counter;
    if (storeLost) {
        store.files.clear();
    }
}

bool BackupSteps::FatalSent() const {
    for (const auto& message : page.Messages()) {
        if (message.message == WM_WIZ_FATAL) {
            return message.sent;
        }
    }
    return false;
}

std::string BackupSteps::PrivateDir() const {
    return platform::PrivateStateDirectoryPath("Sarnet_Plugin");
}

std::string BackupSteps::RunDir() const {
    return TheBackupState().runDirectory;
}

std::string BackupSteps::Copy(int index) const {
    return test_support::ReadFileBytes(RunDir() + "/" + std::to_string(index));
}

bool BackupSteps::CopyExists(int index) const {
    std::FILE* file = std::fopen((RunDir() + "/" + std::to_string(index)).c_str(), "rb");
    if (file != nullptr) {
        std::fclose(file);
    }
    return file != nullptr;
}

void BackupSteps::ExpectNothingLost(const std::map<std::string, StoredFile>& original) const {
    int index = 1;
    for (const auto& [name, file] : original) {
        auto it = store.files.find(name);
        const bool inModem =
            it != store.files.end() && it->second.data.compare(0, file.data.size(), file.data) == 0;
        const bool copied = CopyExists(index) && Copy(index) == file.data;
        EXPECT_TRUE(inModem || copied) << name << " is lost";
        ++index;
    }
}

}  // namespace backup_test
