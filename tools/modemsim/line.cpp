#include "tools/modemsim/line.h"

#include <algorithm>
#include <chrono>
#include <thread>

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

// Monotonic microseconds: the line's timing is finer than the tick count.
std::uint64_t NowUs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

std::uint64_t LinePacer::Carry(std::size_t count, std::uint64_t nowUs, bool waiting) {
    // Bytes that were waiting behind the last ones follow them without a
    // gap, however late the simulator woke up to hand them on (within one
    // piece: a modem that stopped reading for longer lets the line idle).
    const bool continues = waiting && nowUs < freeAtUs_ + 1000000ULL / 50;
    if (!continues && freeAtUs_ < nowUs) {
        freeAtUs_ = nowUs;  // an idle line saves no time for later
        fraction_ = 0;
    }
    const std::uint64_t units = static_cast<std::uint64_t>(count) * 1000000ULL + fraction_;
    freeAtUs_ += units / rate_;
    fraction_ = units % rate_;
    return freeAtUs_;
}

Line::Line(LineEndpoint& endpoint, EventLog& log, unsigned rateBytesPerSecond,
           unsigned usbLatencyMs)
    : endpoint_(endpoint),
      log_(log),
      in_(rateBytesPerSecond),
      out_(rateBytesPerSecond),
      adapter_(usbLatencyMs) {}

void Line::SleepUntil(std::uint64_t untilUs) {
    for (;;) {
        WriteDue();
        const std::uint64_t now = NowUs();
        if (now >= untilUs || Stopped()) {
            return;
        }
        const std::uint64_t wake = std::min(untilUs, adapter_.NextDueUs());
        if (wake <= now) {
            continue;
        }
        if (wake - now >= 1000) {
            endpoint_.Pause(static_cast<DWORD>((wake - now) / 1000));
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(wake - now));
        }
    }
}

long Line::ReadHost(void* buffer, std::size_t count, DWORD timeoutMs) {
    if (!adapter_.Enabled()) {
        return endpoint_.Read(buffer, count, timeoutMs);
    }
    const std::uint64_t deadline = NowUs() + timeoutMs * 1000ULL;
    for (;;) {
        WriteDue();
        const std::uint64_t now = NowUs();
        const std::uint64_t left = deadline > now ? deadline - now : 0;
        const std::uint64_t due = adapter_.NextDueUs();
        const std::uint64_t wait = due > now ? std::min(left, due - now) : 0;
        long n = endpoint_.Read(buffer, count, static_cast<DWORD>(wait / 1000));
        if (n != 0 || left == 0 || Stopped()) {
            return n;
        }
        if (wait < 1000 && due > now) {
            // Less than the endpoint's millisecond: the adapter's timer
            // runs out first.
            std::this_thread::sleep_for(std::chrono::microseconds(std::min(wait, due - now)));
        }
    }
}

void Line::Deliver(const std::string& bytes, std::uint64_t arrivedUs) {
    if (!adapter_.Enabled()) {
        WriteToHost(bytes);
        return;
    }
    adapter_.Take(bytes, arrivedUs);
    WriteDue();
}

void Line::WriteDue() {
    if (adapter_.Held() > 0) {
        WriteToHost(adapter_.Due(NowUs()));
    }
}

void Line::WriteToHost(const std::string& bytes) {
    if (bytes.empty()) {
        return;
    }
    std::size_t n = endpoint_.Write(bytes.data(), bytes.size(), kWriteTimeoutMs);
    if (n < bytes.size()) {
        if (!Stopped() && !writeStalled_) {
            log_.Error("host does not read: " + std::to_string(bytes.size() - n) +
                       " bytes not sent");
        }
        writeStalled_ = true;
        adapter_.Drop();
        return;
    }
    writeStalled_ = false;
}

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
    std::size_t want = 1024;
    if (in_.Enabled()) {
        // The line still carries what came before: nothing more arrives
        // until it has.
        const std::uint64_t limit = NowUs() + timeoutMs * 1000ULL;
        SleepUntil(std::min(in_.FreeAtUs(), limit));
        if (in_.FreeAtUs() > NowUs()) {
            return false;
        }
        want = std::min(want, in_.Piece());
    }
    char chunk[1024];
    long n = ReadHost(chunk, want, Left(start, timeoutMs));
    if (n <= 0) {
        return false;
    }
    if (in_.Enabled()) {
        // The chunk is here once its last byte has crossed the line.
        SleepUntil(in_.Carry(static_cast<std::size_t>(n), NowUs(), lastReadFull_));
        lastReadFull_ = static_cast<std::size_t>(n) == want;
    }
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
    if (!out_.Enabled()) {
        Deliver(out, NowUs());
        return;
    }
    // Piece by piece, each handed on once its last byte has crossed; the
    // adapter has held its first byte since that one crossed.
    for (std::size_t sent = 0; sent < out.size() && !Stopped();) {
        const std::size_t piece = std::min(out.size() - sent, out_.Piece());
        SleepUntil(out_.Carry(piece, NowUs(), sent > 0));
        Deliver(out.substr(sent, piece), out_.FirstOfLastUs(piece));
        sent += piece;
    }
}

void Line::SendNoise(std::size_t count) {
    std::string noise(count, '\0');
    for (char& c : noise) {
        c = static_cast<char>(NoiseByte());
    }
    Send(noise);
}

bool Line::Leave() {
    DiscardBuffered();
    adapter_.Drop();
    return endpoint_.Leave();
}

bool Line::ComeBack(std::string* name) {
    return endpoint_.ComeBack(name);
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
        SleepUntil(NowUs() + ms * 1000ULL);
    }
}

void Line::Vanish(const std::string& what) {
    // What is on the line reaches the host before the device goes: a
    // hang-up discards what the host has not read yet.
    SleepUntil(NowUs() + kVanishLingerMs * 1000ULL);
    endpoint_.Vanish();
    log_.Event("fault vanish " + what);
}

void Line::DiscardBuffered() {
    buffer_.clear();
    pos_ = 0;
}

}  // namespace modemsim
