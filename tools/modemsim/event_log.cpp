#include "tools/modemsim/event_log.h"

#include <cerrno>
#include <cstring>

namespace modemsim {

EventLog::~EventLog() {
    FlushGarbled();
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool EventLog::Open(const std::string& path, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        *error = "cannot open log " + path + ": " + std::strerror(errno);
        return false;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    file_ = file;
    return true;
}

std::string EventLog::Printable(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E || u == '\\') {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

void EventLog::Event(const std::string& text) {
    FlushGarbled();
    Write(Printable(text));
}

void EventLog::AddGarbled(std::size_t count) {
    garbled_ += count;
}

void EventLog::FlushGarbled() {
    if (garbled_ == 0) {
        return;
    }
    std::size_t count = garbled_;
    garbled_ = 0;
    Write("garbled " + std::to_string(count));
}

void EventLog::Write(const std::string& line) {
    if (file_ == nullptr) {
        return;
    }
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace modemsim
