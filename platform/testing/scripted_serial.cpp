#include "platform/testing/scripted_serial.h"

#include <cerrno>
#include <cstring>

namespace platform::testing {

ScriptedSerial::ScriptedSerial(VirtualClock& clock) : clock_(clock), settings_{} {
    // What a driver reports before anybody configured it.
    settings_.DCBlength = sizeof(DCB);
    settings_.BaudRate = 9600;
    settings_.fBinary = 1;
    settings_.fDtrControl = DTR_CONTROL_ENABLE;
    settings_.fRtsControl = RTS_CONTROL_ENABLE;
    settings_.XonLim = 2048;
    settings_.XoffLim = 512;
    settings_.ByteSize = 7;
    settings_.Parity = EVENPARITY;
    settings_.StopBits = TWOSTOPBITS;
    settings_.fOutX = 1;
    settings_.fInX = 1;
    settings_.XonChar = 0x11;
    settings_.XoffChar = 0x13;
}

void ScriptedSerial::OnWrite(WriteHandler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
}

void ScriptedSerial::Deliver(const std::string& bytes, DWORD delayMs, DWORD perByteMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::uint64_t at = clock_.Now64() + delayMs;
    // Bytes on one line arrive in order: never before what is already queued.
    if (!incoming_.empty() && incoming_.back().at > at) {
        at = incoming_.back().at;
    }
    for (char c : bytes) {
        incoming_.push_back(Byte{at, c});
        at += perByteMs;
    }
}

void ScriptedSerial::DropPending() {
    std::lock_guard<std::mutex> lock(mutex_);
    incoming_.clear();
}

std::string ScriptedSerial::Written() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}

std::string ScriptedSerial::TakeWritten() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    out.swap(written_);
    return out;
}

std::vector<std::string> ScriptedSerial::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<std::uint64_t> ScriptedSerial::EventTimes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return eventTimes_;
}

void ScriptedSerial::EventLocked(std::string event) {
    events_.push_back(std::move(event));
    eventTimes_.push_back(clock_.Now64());
}

void ScriptedSerial::SetPeerSpeed(DWORD baud) {
    std::lock_guard<std::mutex> lock(mutex_);
    peerSpeed_ = baud;
}

DCB ScriptedSerial::Settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

bool ScriptedSerial::Dtr() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dtr_;
}

int ScriptedSerial::OpenCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return opens_;
}

void ScriptedSerial::SetWritesBlocked(bool blocked) {
    std::lock_guard<std::mutex> lock(mutex_);
    writesBlocked_ = blocked;
}

void ScriptedSerial::SetFailSettings(bool getFails, bool setFails) {
    std::lock_guard<std::mutex> lock(mutex_);
    failGet_ = getFails;
    failSet_ = setFails;
}

void ScriptedSerial::SetFailPurge(bool fails) {
    std::lock_guard<std::mutex> lock(mutex_);
    failPurge_ = fails;
}

void ScriptedSerial::SetFailDtr(bool fails) {
    std::lock_guard<std::mutex> lock(mutex_);
    failDtr_ = fails;
}

void ScriptedSerial::FailNextWrites(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    writesToFail_ = count;
}

int ScriptedSerial::FailedWrites() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failedWrites_;
}

void ScriptedSerial::Vanish() {
    std::lock_guard<std::mutex> lock(mutex_);
    vanished_ = true;
}

std::size_t ScriptedSerial::ArrivedLocked() const {
    std::uint64_t now = clock_.Now64();
    std::size_t n = 0;
    while (n < incoming_.size() && incoming_[n].at <= now) {
        ++n;
    }
    return n;
}

std::size_t ScriptedSerial::Available() {
    std::lock_guard<std::mutex> lock(mutex_);
    return vanished_ ? 0 : ArrivedLocked();
}

bool ScriptedSerial::Gone() {
    std::lock_guard<std::mutex> lock(mutex_);
    return vanished_;
}

bool ScriptedSerial::WaitReadable(DWORD timeoutMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (vanished_) {
        return true;  // the read that follows reports the error
    }
    if (ArrivedLocked() > 0) {
        return true;
    }
    if (!incoming_.empty()) {
        std::uint64_t next = incoming_.front().at;
        if (timeoutMs == MAXDWORD || next <= clock_.Now64() + timeoutMs) {
            clock_.AdvanceTo(next);
            return true;
        }
    }
    if (timeoutMs == MAXDWORD) {
        // Nothing will ever come: a real port would block for good. Fail the
        // read instead of hanging the test.
        wouldBlockForever_ = true;
        return true;
    }
    clock_.Advance(timeoutMs);
    return false;
}

long ScriptedSerial::ReadSome(void* buffer, std::size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (vanished_ || wouldBlockForever_) {
        wouldBlockForever_ = false;
        errno = EIO;
        return -1;
    }
    std::size_t n = std::min(count, ArrivedLocked());
    auto* out = static_cast<char*>(buffer);
    const bool garbled = peerSpeed_ != 0 && settings_.BaudRate != peerSpeed_;
    for (std::size_t i = 0; i < n; ++i) {
        // A byte sent at another speed reaches the port as noise.
        out[i] = garbled ? static_cast<char>(0xF0 | (incoming_.front().value & 0x0E))
                         : incoming_.front().value;
        incoming_.pop_front();
    }
    return static_cast<long>(n);
}

bool ScriptedSerial::WaitWritable(DWORD timeoutMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (vanished_ || !writesBlocked_) {
        return true;
    }
    clock_.Advance(timeoutMs == MAXDWORD ? 3600000 : timeoutMs);
    return false;
}

long ScriptedSerial::WriteSome(const void* data, std::size_t count) {
    WriteHandler handler;
    std::string bytes;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (vanished_) {
            errno = EIO;
            return -1;
        }
        if (writesToFail_ > 0) {
            --writesToFail_;
            ++failedWrites_;
            errno = EIO;
            return -1;
        }
        if (writesBlocked_) {
            return 0;
        }
        bytes.assign(static_cast<const char*>(data), count);
        written_ += bytes;
        handler = handler_;
    }
    if (handler) {
        handler(*this, bytes);
    }
    return static_cast<long>(count);
}

bool ScriptedSerial::GetSettings(DCB& dcb) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failGet_ || vanished_) {
        errno = EIO;
        return false;
    }
    dcb = settings_;
    return true;
}

bool ScriptedSerial::SetSettings(const DCB& dcb) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failSet_ || vanished_) {
        errno = EIO;
        return false;
    }
    if (dcb.BaudRate != settings_.BaudRate) {
        EventLocked("speed " + std::to_string(dcb.BaudRate));
    }
    settings_ = dcb;
    return true;
}

bool ScriptedSerial::Purge(DWORD flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failPurge_ || vanished_) {
        errno = EIO;
        return false;
    }
    if ((flags & PURGE_RXCLEAR) != 0) {
        // Only what has arrived can be purged; later bytes are still on the way.
        std::size_t n = ArrivedLocked();
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<long>(n));
        EventLocked("purge rx");
    }
    if ((flags & PURGE_TXCLEAR) != 0) {
        EventLocked("purge tx");
    }
    return true;
}

bool ScriptedSerial::SetDtr(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failDtr_ || vanished_) {
        errno = ENOTTY;
        return false;
    }
    dtr_ = on;
    EventLocked(on ? "dtr 1" : "dtr 0");
    return true;
}

void ScriptedSerial::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    EventLocked("close");
}

void ScriptedSerial::Opened() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++opens_;
    EventLocked("open");
}

}  // namespace platform::testing
