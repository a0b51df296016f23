// Runs the modem simulator (build/bin/modemsim) as a real process for a
// test: starts it with the given options, learns its device path, follows
// its event log, and stops it when the test is done.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/types.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace test_support {

class ModemSim {
  public:
    ModemSim();
    // Starts at once; a failure to start fails the test (see Start).
    explicit ModemSim(const std::vector<std::string>& options);
    explicit ModemSim(std::initializer_list<std::string> options)
        : ModemSim(std::vector<std::string>(options)) {}
    ~ModemSim();  // stops the simulator if it still runs
    ModemSim(const ModemSim&) = delete;
    ModemSim& operator=(const ModemSim&) = delete;

    // Starts modemsim with options and waits for its device path. Unless
    // the options name a --log, the log goes to a temporary file. Returns
    // false (and reports the simulator's stderr in *error) when it does not
    // come up within 10 s.
    bool Start(const std::vector<std::string>& options, std::string* error = nullptr);

    // The pseudo-terminal's slave device, to be opened like a serial port.
    const std::string& PortPath() const { return port_; }
    const std::string& LogPath() const { return logPath_; }

    // The event log as it stands.
    std::vector<std::string> LogLines() const;
    // Lines of the log that contain substring.
    int CountLog(const std::string& substring) const;
    // Waits until a log line contains substring. True when one did in time.
    bool WaitForLog(const std::string& substring, DWORD timeoutMs) const;
    // Waits until at least count lines contain substring.
    bool WaitForLogCount(const std::string& substring, int count, DWORD timeoutMs) const;

    bool Running();
    // SIGTERM and wait; returns the exit code (0 for a clean stop).
    int Stop();
    std::string Stderr() const { return process_ ? process_->Stderr() : ""; }

  private:
    std::unique_ptr<platform::Process> process_;
    std::unique_ptr<TempDir> dir_;
    std::string port_;
    std::string logPath_;
};

}  // namespace test_support
