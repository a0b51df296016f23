// Collects the trace channel's text for the lifetime of the object.
#pragma once

#include <mutex>
#include <string>

#include "serial/trace.h"

namespace test_support {

class TraceCapture {
  public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::string Text() const;
    // How often needle occurs in the text so far.
    std::size_t Count(const std::string& needle) const;
    bool Contains(const std::string& needle) const { return Count(needle) > 0; }
    void Clear();

  private:
    static void Write(TracePipe* pipe, const char* text, std::size_t length);

    TracePipe pipe_;
    void* previous_;
    mutable std::mutex mutex_;
    std::string text_;
};

}  // namespace test_support
