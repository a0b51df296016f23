// The plug-in's steps against a modem with a file store on a scripted port
// and a virtual clock, with the temporary directory in a test directory of
// its own and a page that records what it is told.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/private_directory.h"
#include "plugin_api/messages.h"
#include "plugin_api/status.h"
#include "serial/serial.h"
#include "tests/backup/store_modem.h"
#include "tests/support/recording_page.h"
#include "tests/support/scripted_port.h"
#include "tests/support/temp_dir.h"

namespace backup_test {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

class BackupSteps : public ::testing::Test {
  protected:
    BackupSteps();

    int Pre();
    int Post();
    // The wizard's firmware step: the counter moves on, the store may be lost.
    void Firmware(bool storeLost = true);

    std::vector<std::pair<WPARAM, LPARAM>> Steps() const { return page.Posted(WM_WIZ_STEP); }
    // Texts of WM_WIZ_FATAL, posted or sent.
    std::vector<std::string> Fatals() const { return page.Texts(WM_WIZ_FATAL); }
    // Whether the fatal text was sent (not posted).
    bool FatalSent() const;

    // The plug-in's private folder and this update's folder in it.
    std::string PrivateDir() const;
    std::string RunDir() const;
    // The copy of listing entry index ("" when there is none).
    std::string Copy(int index) const;
    bool CopyExists(int index) const;
    // Every file is either in the modem or, byte for byte, in the copies.
    void ExpectNothingLost(const std::map<std::string, StoredFile>& original) const;

    test_support::TempDir temp{"backup-steps"};
    ScopedEnvironment tmpdir{"TMPDIR", temp.Path()};
    ScopedEnvironment stateHome{platform::kUserStateDirectoryVariable, temp.File("state")};
    test_support::ScriptedPort port;
    StoreModem store{port};
    CSerial serial;
    test_support::RecordingPage page;
    _Status status{};
    int counter = 0;
};

// Texts of the English string table.
extern const char* const kDownloadError;
extern const char* const kUploadError;
extern const char* const kReorganizeError;
extern const char* const kInitializationError;

}  // namespace backup_test
