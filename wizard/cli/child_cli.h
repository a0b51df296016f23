// Another wizard-cli, run as a child process for one port, read line by
// line as it writes. The update of many modems runs one per modem, so each
// has the process-wide _Status, plug-in and trace of the wizard to itself.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace cli {

// The trace file of this process, when its trace channel is on: each child
// traces into a file of its own beside it.
void RememberTraceFile(const std::string& path);

// That file for a child on port: "wizard.log" and "/dev/ttyUSB0" give
// "wizard.log.ttyUSB0"; empty while this process traces nothing.
std::string ChildTraceFile(const std::string& port);

class ChildCli {
  public:
    // Runs this program with args (its standard input empty, its output
    // read here). False, with *why, when it cannot be started.
    bool Start(const std::string& port, const std::vector<std::string>& args, std::string* why);

    // Appends the lines written since the last call. True while the child
    // runs or has lines left; false once it has ended and all is read.
    bool Poll(std::vector<std::string>* lines);

    int ExitCode() const { return process_.ExitCode(); }
    const std::string& Stderr() const { return process_.Stderr(); }
    // From the start to the end (or to now, while it runs).
    double Seconds() const;

  private:
    platform::Process process_;
    DWORD start_ = 0;
    DWORD end_ = 0;
    bool ended_ = false;
};

}  // namespace cli
