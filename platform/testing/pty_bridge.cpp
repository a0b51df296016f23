#include "platform/testing/pty_bridge.h"

#include "platform/clock.h"

namespace platform::testing {
namespace {

// How long a carrier waits for input before it looks at the stop flag.
constexpr DWORD kReadSliceMs = 50;
constexpr DWORD kWriteTimeoutMs = 2000;
constexpr unsigned kLineSpeed = 115200;

bool WaitForCount(const std::atomic<std::uint64_t>& counter, std::uint64_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (counter.load() < count) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

}  // namespace

PtyBridge::~PtyBridge() {
    Close();
}

bool PtyBridge::Open(std::string* error) {
    Close();
    if (!a_.Open(kLineSpeed, error) || !b_.Open(kLineSpeed, error)) {
        a_.Close();
        b_.Close();
        return false;
    }
    running_ = true;
    aToB_ = std::thread([this] { Carry(a_, b_, fromA_, lastFromA_); });
    bToA_ = std::thread([this] { Carry(b_, a_, fromB_, lastFromB_); });
    return true;
}

void PtyBridge::Close() {
    running_ = false;
    if (aToB_.joinable()) {
        aToB_.join();
    }
    if (bToA_.joinable()) {
        bToA_.join();
    }
    a_.Close();
    b_.Close();
}

void PtyBridge::Carry(PseudoTerminal& from, PseudoTerminal& to, std::atomic<std::uint64_t>& counter,
                      std::atomic<DWORD>& last) {
    char buffer[4096];
    while (running_.load()) {
        long n = from.Read(buffer, sizeof buffer, kReadSliceMs);
        if (n < 0) {
            Sleep(kReadSliceMs);  // a device error: do not spin on it
            continue;
        }
        if (n > 0) {
            last = GetTickCount();
            to.Write(buffer, static_cast<std::size_t>(n), kWriteTimeoutMs);
            counter += static_cast<std::uint64_t>(n);
        }
    }
}

bool PtyBridge::WaitForBytesFromA(std::uint64_t count, DWORD timeoutMs) const {
    return WaitForCount(fromA_, count, timeoutMs);
}

bool PtyBridge::WaitForBytesFromB(std::uint64_t count, DWORD timeoutMs) const {
    return WaitForCount(fromB_, count, timeoutMs);
}

}  // namespace platform::testing
