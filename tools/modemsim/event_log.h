// The simulator's report: one line per event, appended and flushed at once
// so that a test can follow it while the simulator runs.
#pragma once

#include <cstdio>
#include <string>

namespace modemsim {

class EventLog {
  public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Appends to path. Without a call to Open every event is discarded.
    bool Open(const std::string& path, std::string* error);

    // Writes one event line; control characters and bytes above 0x7E are
    // written as \xNN so that every event stays on one line.
    void Event(const std::string& text);
    void Error(const std::string& text) { Event("error " + text); }

    // Bytes lost to a speed mismatch are reported as one "garbled <count>"
    // line per run of them, written when the run ends (FlushGarbled) or
    // before the next other event.
    void AddGarbled(std::size_t count);
    void FlushGarbled();

    static std::string Printable(const std::string& bytes);

  private:
    void Write(const std::string& line);

    std::FILE* file_ = nullptr;
    std::size_t garbled_ = 0;
};

}  // namespace modemsim
