// Copies of what the modem received (--received-dir), so tests can prove
// that nothing was lost or changed on the way.
#pragma once

#include <string>

#include "tools/modemsim/event_log.h"

namespace modemsim {

class ReceivedFiles {
  public:
    ReceivedFiles(std::string dir, EventLog& log) : dir_(std::move(dir)), log_(log) {}
    bool Enabled() const { return !dir_.empty(); }
    // Replaces the file name with data.
    void Write(const std::string& name, const std::string& data);
    void Append(const std::string& name, const std::string& data);

  private:
    void Store(const std::string& name, const std::string& data, bool append);
    std::string dir_;
    EventLog& log_;
};

}  // namespace modemsim
