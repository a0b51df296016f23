#include "tools/modemsim/line.h"

#include <algorithm>

#include "platform/clock.h"

namespace modemsim {
namespace {

// A run of garbled bytes is reported once the line has been free of them
// this long (or at once when the speeds match again).
constexpr DWORD kGarbledQuietMs = 1000;
// Longest single wait, so that a pending garbled report is not held back.
constexpr DWORD kSliceMs = 250;
// A host that does not read its input for this long loses our output.
constexpr DWORD kWriteTimeoutMs = 5000;
// Time the host gets to read what was sent before the device vanishes.
constexpr DWORD kVanishLingerMs = 300;

DWORD Elapsed(DWORD since) {
    return platform::GetTickCount() - since;
}

DWORD Left(DWORD start, DWORD limit) {
    DWORD e = Elapsed(start);
    return e >= limit ? 0 : limit - e;
}

}  // namespace

RateLimiter::RateLimiter(unsigned bytesPerSecond)
    : rate_(bytesPerSecond),
      burst_(std::max<std::size_t>(1, bytesPerSecond / 50)),
      tokens_(static_cast<double>(burst_)),
      last_(platform::GetTickCount()) {}

void RateLimiter::Refill() {
    DWORD now = platform::GetTickCount();
    tokens_ = std::min(static_cast<double>(burst_),
                       tokens_ + static_cast<double>(now - last_) * rate_ / 1000.0);
    last_ = now;
}

std::size_t RateLimiter::Available() {
    if (!Enabled()) {
        return static_cast<std::size_t>(-1);
    }
    Refill();
    return static_cast<std::size_t>(tokens_);
}

DWORD RateLimiter::WaitFor(std::size_t count) {
    if (!Enabled()) {
        return 0;
    }
    Refill();
    double need = static_cast<double>(std::min(count, burst_)) - tokens_;
    if (need <= 0) {
        return 0;
    }
    return static_cast<DWORD>(need * 1000.0 / rate_) + 1;
}

void RateLimiter::Consume(std::size_t count) {
    if (Enabled()) {
        tokens_ -= static_cast<double>(count);
    }
}

Line::Line(LineEndpoint& endpoint, EventLog& log, unsigned rateBytesPerSecond)
    : endpoint_(endpoint), log_(log), in_(rateBytesPerSecond), out_(rateBytesPerSecond) {}

void Line::SetModemSpeed(unsigned baud) {
    modemSpeed_ = baud;
}

bool Line::SpeedsMatch() {
    unsigned host = 0;
    bool match = modemSpeed_ == 0 || !endpoint_.HostSpeed(&host) || host == modemSpeed_;
    if (match && mismatch_) {
        log_.FlushGarbled();
        garbledPending_ = false;
    }
    mismatch_ = !match;
    return match;
}

bool Line::Stopped() {
    return endpoint_.Stopped();
}

void Line::NoteGarbled(std::size_t count) {
    log_.AddGarbled(count);
    garbledPending_ = true;
    lastGarbled_ = platform::GetTickCount();
}

void Line::FlushGarbledWhenQuiet() {
    if (garbledPending_ && Elapsed(lastGarbled_) >= kGarbledQuietMs) {
        log_.FlushGarbled();
        garbledPending_ = false;
    }
}

unsigned char Line::NoiseByte() {
    // xorshift32: cheap, and the same noise on every run.
    noise_ ^= noise_ << 13;
    noise_ ^= noise_ >> 17;
    noise_ ^= noise_ << 5;
    return static_cast<unsigned char>(0x80 | (noise_ & 0x7F));
}

bool Line::Fill(DWORD timeoutMs) {
    const DWORD start = platform::GetTickCount();
    std::size_t allowed = in_.Available();
    if (allowed == 0) {
        DWORD wait = std::min(in_.WaitFor(1), timeoutMs);
        endpoint_.Pause(wait);
        allowed = in_.Available();
        if (allowed == 0) {
            return false;
        }
    }
    char chunk[1024];
    std::size_t want = std::min(sizeof chunk, allowed);
    long n = endpoint_.Read(chunk, want, Left(start, timeoutMs));
    if (n <= 0) {
        return false;
    }
    in_.Consume(static_cast<std::size_t>(n));
    if (!SpeedsMatch()) {
        NoteGarbled(static_cast<std::size_t>(n));
        return true;
    }
    if (pos_ == buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

int Line::ReadByte(DWORD timeoutMs) {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (pos_ < buffer_.size()) {
            return static_cast<unsigned char>(buffer_[pos_++]);
        }
        FlushGarbledWhenQuiet();
        if (Stopped()) {
            return -1;
        }
        // Even without time to wait, what has already arrived is taken.
        DWORD left = Left(start, timeoutMs);
        Fill(std::min(left, kSliceMs));
        if (pos_ == buffer_.size() && left == 0) {
            return -1;
        }
    }
}

int Line::PeekBuffered() const {
    return pos_ < buffer_.size() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
}

bool Line::WaitForAnyInput(DWORD timeoutMs) {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (pos_ < buffer_.size()) {
            DiscardBuffered();
            return true;
        }
        FlushGarbledWhenQuiet();
        if (Stopped()) {
            return false;
        }
        DWORD left = Left(start, timeoutMs);
        if (left == 0) {
            return false;
        }
        if (Fill(std::min(left, kSliceMs))) {
            DiscardBuffered();
            return true;
        }
    }
}

void Line::Send(const std::string& bytes) {
    if (bytes.empty() || Stopped()) {
        return;
    }
    std::string out = bytes;
    if (!SpeedsMatch()) {
        for (char& c : out) {
            c = static_cast<char>(NoiseByte());
        }
        NoteGarbled(out.size());
    }
    std::size_t sent = 0;
    while (sent < out.size()) {
        std::size_t piece = out.size() - sent;
        if (out_.Enabled()) {
            piece = std::min(piece, out_.Burst());
            DWORD wait = out_.WaitFor(piece);
            if (wait > 0) {
                endpoint_.Pause(wait);
                if (Stopped()) {
                    return;
                }
                continue;
            }
        }
        std::size_t n = endpoint_.Write(out.data() + sent, piece, kWriteTimeoutMs);
        out_.Consume(n);
        sent += n;
        if (n < piece) {
            if (!Stopped() && !writeStalled_) {
                log_.Error("host does not read: " + std::to_string(out.size() - sent) +
                           " bytes not sent");
            }
            writeStalled_ = true;
            return;
        }
    }
    writeStalled_ = false;
}

void Line::Idle(DWORD ms) {
    const DWORD start = platform::GetTickCount();
    DiscardBuffered();
    for (;;) {
        FlushGarbledWhenQuiet();
        DWORD left = Left(start, ms);
        if (left == 0 || Stopped()) {
            return;
        }
        Fill(std::min(left, kSliceMs));
        DiscardBuffered();
    }
}

void Line::DrainUntilQuiet(DWORD quietMs, DWORD maxMs) {
    const DWORD start = platform::GetTickCount();
    DiscardBuffered();
    DWORD lastInput = start;
    for (;;) {
        FlushGarbledWhenQuiet();
        if (Stopped() || Left(start, maxMs) == 0) {
            return;
        }
        DWORD quietLeft = Left(lastInput, quietMs);
        if (quietLeft == 0) {
            return;
        }
        if (Fill(std::min({quietLeft, Left(start, maxMs), kSliceMs}))) {
            lastInput = platform::GetTickCount();
        }
        DiscardBuffered();
    }
}

void Line::Pause(DWORD ms) {
    if (ms > 0) {
        endpoint_.Pause(ms);
    }
}

void Line::Vanish(const std::string& what) {
    // What is on the line reaches the host before the device goes: a
    // hang-up discards what the host has not read yet.
    endpoint_.Pause(kVanishLingerMs);
    endpoint_.Vanish();
    log_.Event("fault vanish " + what);
}

void Line::DiscardBuffered() {
    buffer_.clear();
    pos_ = 0;
}

}  // namespace modemsim
