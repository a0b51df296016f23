#include "tests/support/trace_capture.h"

namespace test_support {

TraceCapture::TraceCapture() : pipe_{&TraceCapture::Write, this}, previous_(xdebug_GetPipe()) {
    xdebug_UsePipe(&pipe_);
}

TraceCapture::~TraceCapture() {
    xdebug_UsePipe(previous_);
}

void TraceCapture::Write(TracePipe* pipe, const char* text, std::size_t length) {
    auto* self = static_cast<TraceCapture*>(pipe->context);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->text_.append(text, length);
}

std::string TraceCapture::Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

std::size_t TraceCapture::Count(const std::string& needle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t count = 0;
    for (std::size_t at = text_.find(needle); at != std::string::npos;
         at = text_.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

void TraceCapture::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.clear();
}

}  // namespace test_support
