#include "platform/testing/simulated_uart.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <limits>
#include <utility>
#include <vector>

#include "platform/posix/posix_serial_device.h"
#include "platform/posix/serial_system_calls.h"

namespace platform::testing {
namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
// Any number: the calls never look at the descriptor.
constexpr int kDescriptor = 1000;
// A poll without time limit on a line where nothing will change.
constexpr std::uint64_t kForeverMs = 3600000;

}  // namespace

class SimulatedUart::Calls final : public posix::SerialSystemCalls {
  public:
    Calls(VirtualClock& clock, std::size_t queueSize)
        : clock_(clock), queueSize_(queueSize), lineUs_(clock.Now64() * 1000) {
        tio_.c_cflag = CS8 | CREAD | CLOCAL;
    }

    // --- what the test sets up
    VirtualClock& clock_;
    std::size_t queueSize_;
    bool cts_ = true;
    std::size_t dropCtsAfter_ = kNoLimit;
    std::uint64_t raiseCtsAtMs_ = kNever;
    std::size_t keepOnFlush_ = 0;
    std::size_t writeLimit_ = kNoLimit;
    int interruptWrites_ = 0;
    int interruptPolls_ = 0;
    int interruptReads_ = 0;
    std::uint64_t vanishAtMs_ = kNever;
    Loss loss_ = Loss::kHangUp;
    std::vector<std::pair<std::size_t, std::string>> answers_;
    Adapter adapter_ = Adapter::kNotUsb;
    int serialFlags_ = 0;
    int serialChanges_ = 0;

    // --- the line
    std::deque<char> queue_;
    std::string wire_;
    std::string flushed_;
    std::string input_;
    termios tio_{};
    unsigned baud_ = 115200;
    bool closed_ = false;
    bool ctsFlowAtClose_ = false;
    std::uint64_t lineUs_;       // the line has been played up to this time
    std::uint64_t spentUs_ = 0;  // on the byte now leaving

    bool Vanished() const { return clock_.Now64() >= vanishAtMs_; }
    int LossError() const {
        switch (loss_) {
            case Loss::kIoError:
                return EIO;
            case Loss::kNoAddress:
                return ENXIO;
            case Loss::kNoDevice:
                return ENODEV;
            default:
                return 0;
        }
    }
    bool Moves() const { return cts_ || (tio_.c_cflag & CRTSCTS) == 0; }
    std::uint64_t ByteUs() const {
        return std::max<std::uint64_t>(1, (10000000ULL + baud_ / 2) / baud_);
    }

    void Carry() {
        wire_ += queue_.front();
        queue_.pop_front();
        if (dropCtsAfter_ != kNoLimit && --dropCtsAfter_ == 0) {
            cts_ = false;
            dropCtsAfter_ = kNoLimit;
        }
        for (auto it = answers_.begin(); it != answers_.end();) {
            if (wire_.size() >= it->first) {
                input_ += it->second;
                it = answers_.erase(it);
            } else {
                ++it;
            }
        }
    }

    // Plays the line up to now.
    void Play() {
        const std::uint64_t now = clock_.Now64() * 1000;
        while (lineUs_ < now) {
            if (!Moves()) {
                if (raiseCtsAtMs_ != kNever && raiseCtsAtMs_ * 1000 <= now) {
                    lineUs_ = std::max(lineUs_, raiseCtsAtMs_ * 1000);
                    raiseCtsAtMs_ = kNever;
                    cts_ = true;
                    continue;
                }
                lineUs_ = now;
                break;
            }
            if (queue_.empty()) {
                spentUs_ = 0;  // an idle line saves no time for later
                lineUs_ = now;
                break;
            }
            const std::uint64_t leaves = lineUs_ + (ByteUs() - spentUs_);
            if (leaves > now) {
                spentUs_ += now - lineUs_;
                lineUs_ = now;
                break;
            }
            lineUs_ = leaves;
            spentUs_ = 0;
            Carry();
        }
    }

    // When the line next changes what a poll could see (in µs).
    std::uint64_t NextChangeUs() const {
        std::uint64_t next = vanishAtMs_ == kNever ? kNever : vanishAtMs_ * 1000;
        if (Moves() && !queue_.empty()) {
            next = std::min(next, lineUs_ + (ByteUs() - spentUs_));
        } else if (!Moves() && raiseCtsAtMs_ != kNever) {
            next = std::min(next, raiseCtsAtMs_ * 1000);
        }
        return next;
    }

    short Ready(short events) const {
        short ready = 0;
        if (Vanished()) {
            if (loss_ == Loss::kHangUp) {
                ready |= POLLHUP;
            }
            ready |= POLLIN | POLLOUT;
        } else {
            if (!input_.empty()) {
                ready |= POLLIN;
            }
            if (queue_.size() < queueSize_) {
                ready |= POLLOUT;
            }
        }
        return static_cast<short>(ready & (events | POLLHUP | POLLERR));
    }

    void AdvanceToUs(std::uint64_t us) { clock_.AdvanceTo((us + 999) / 1000); }

    // --- the system calls

    ssize_t Read(int, void* buffer, size_t count) override {
        if (interruptReads_ > 0) {
            --interruptReads_;
            return Error(EINTR);
        }
        if (Vanished()) {
            return LossError() != 0 ? Error(LossError()) : 0;
        }
        Play();
        const std::size_t n = std::min(count, input_.size());
        std::memcpy(buffer, input_.data(), n);
        input_.erase(0, n);
        return static_cast<ssize_t>(n);
    }

    ssize_t Write(int, const void* data, size_t count) override {
        if (interruptWrites_ > 0) {
            --interruptWrites_;
            return Error(EINTR);
        }
        if (Vanished()) {
            return Error(LossError() != 0 ? LossError() : EIO);
        }
        Play();
        const std::size_t n = std::min({count, queueSize_ - queue_.size(), writeLimit_});
        if (n == 0) {
            return Error(EAGAIN);
        }
        const char* bytes = static_cast<const char*>(data);
        queue_.insert(queue_.end(), bytes, bytes + n);
        return static_cast<ssize_t>(n);
    }

    int Poll(int, short events, short* revents, long long timeoutUs) override {
        *revents = 0;
        if (interruptPolls_ > 0) {
            --interruptPolls_;
            return Error(EINTR);
        }
        Play();
        const std::uint64_t limit = timeoutUs < 0 ? lineUs_ + kForeverMs * 1000
                                                  : lineUs_ + static_cast<std::uint64_t>(timeoutUs);
        for (;;) {
            if ((*revents = Ready(events)) != 0) {
                return 1;
            }
            const std::uint64_t next = NextChangeUs();
            if (next > limit) {
                AdvanceToUs(limit);
                Play();
                *revents = Ready(events);
                return *revents != 0 ? 1 : 0;
            }
            AdvanceToUs(next);
            Play();
        }
    }

    int Ioctl(int, unsigned long request, void* argument) override {
        if (Vanished() && request != TIOCNXCL) {
            return Error(LossError() != 0 ? LossError() : EIO);
        }
        Play();
        switch (request) {
            case FIONREAD:
                *static_cast<int*>(argument) = static_cast<int>(input_.size());
                return 0;
            case TIOCOUTQ:
                *static_cast<int*>(argument) = static_cast<int>(queue_.size());
                return 0;
            case TIOCMBIS:
            case TIOCMBIC:
            case TIOCNXCL:
                return 0;
            case TIOCGSERIAL:
            case TIOCSSERIAL:
                return SerialSettings(request, static_cast<serial_struct*>(argument));
            default:
                return Error(ENOTTY);
        }
    }

    int SerialSettings(unsigned long request, serial_struct* settings) {
        if (adapter_ == Adapter::kNoSettings) {
            return Error(ENOTTY);
        }
        if (request == TIOCGSERIAL) {
            *settings = serial_struct{};
            settings->type = adapter_ == Adapter::kNotUsb ? PORT_16550A : PORT_UNKNOWN;
            settings->flags = serialFlags_;
            return 0;
        }
        if (adapter_ == Adapter::kRefusing) {
            return Error(EPERM);
        }
        ++serialChanges_;
        if (adapter_ != Adapter::kForgetting) {
            serialFlags_ = settings->flags;
        }
        return 0;
    }

    bool OnUsbBus(int) override { return adapter_ != Adapter::kNotUsb; }

    int GetAttributes(int, termios* tio) override {
        if (Vanished()) {
            return Error(LossError() != 0 ? LossError() : EIO);
        }
        *tio = tio_;
        return 0;
    }

    int SetAttributes(int, int, const termios* tio) override {
        if (Vanished()) {
            return Error(LossError() != 0 ? LossError() : EIO);
        }
        Play();
        tio_ = *tio;
        return 0;
    }

    int Flush(int, int queue) override {
        if (Vanished()) {
            return Error(LossError() != 0 ? LossError() : EIO);
        }
        Play();
        if (queue == TCIFLUSH || queue == TCIOFLUSH) {
            input_.clear();
        }
        if (queue == TCOFLUSH || queue == TCIOFLUSH) {
            const std::size_t keep = std::min(keepOnFlush_, queue_.size());
            flushed_.append(queue_.begin() + static_cast<long>(keep), queue_.end());
            queue_.resize(keep);
            keepOnFlush_ = keep;
        }
        return 0;
    }

    bool GetSpeed(int, unsigned* baud) override {
        if (Vanished()) {
            errno = LossError() != 0 ? LossError() : EIO;
            return false;
        }
        *baud = baud_;
        return true;
    }

    bool SetSpeed(int, unsigned baud) override {
        if (Vanished() || baud == 0) {
            errno = baud == 0 ? EINVAL : (LossError() != 0 ? LossError() : EIO);
            return false;
        }
        Play();
        baud_ = baud;
        return true;
    }

    int Close(int) override {
        Play();
        closed_ = true;
        ctsFlowAtClose_ = (tio_.c_cflag & CRTSCTS) != 0;
        if (!queue_.empty() && !Vanished()) {
            if (Moves()) {
                // The driver waits until its queue has left.
                AdvanceToUs(lineUs_ + queue_.size() * ByteUs());
                Play();
            } else {
                clock_.Advance(kClosingWaitMs);
            }
        }
        return 0;
    }

  private:
    static int Error(int code) {
        errno = code;
        return -1;
    }
};

SimulatedUart::SimulatedUart(VirtualClock& clock, std::size_t queueSize)
    : calls_(std::make_unique<Calls>(clock, queueSize)) {}

SimulatedUart::~SimulatedUart() = default;

std::shared_ptr<SerialDevice> SimulatedUart::Device() {
    if (!device_) {
        device_ = posix::MakeSerialDevice(kDescriptor, *calls_);
    }
    return device_;
}

void SimulatedUart::SetCts(bool high) {
    calls_->Play();
    calls_->cts_ = high;
}

void SimulatedUart::DropCtsAfter(std::size_t count) {
    calls_->Play();
    calls_->dropCtsAfter_ = count;
}

void SimulatedUart::RaiseCtsAt(std::uint64_t t) {
    calls_->Play();
    calls_->raiseCtsAtMs_ = t;
}

void SimulatedUart::KeepOnFlush(std::size_t count) {
    calls_->keepOnFlush_ = count;
}

void SimulatedUart::LimitWrites(std::size_t bytesPerCall) {
    calls_->writeLimit_ = bytesPerCall;
}

void SimulatedUart::InterruptNext(int writes, int polls, int reads) {
    calls_->interruptWrites_ = writes;
    calls_->interruptPolls_ = polls;
    calls_->interruptReads_ = reads;
}

void SimulatedUart::VanishAt(std::uint64_t t, Loss how) {
    calls_->vanishAtMs_ = t;
    calls_->loss_ = how;
}

void SimulatedUart::SetAdapter(Adapter adapter, bool lowLatency) {
    calls_->adapter_ = adapter;
    calls_->serialFlags_ = lowLatency ? ASYNC_LOW_LATENCY : 0;
}

bool SimulatedUart::LowLatencyOn() const {
    return (calls_->serialFlags_ & ASYNC_LOW_LATENCY) != 0;
}

int SimulatedUart::SerialSettingsChanges() const {
    return calls_->serialChanges_;
}

void SimulatedUart::Deliver(const std::string& bytes) {
    calls_->input_ += bytes;
}

void SimulatedUart::AnswerWhenCarried(std::size_t wireBytes, const std::string& bytes) {
    calls_->answers_.emplace_back(wireBytes, bytes);
}

std::string SimulatedUart::Wire() const {
    calls_->Play();
    return calls_->wire_;
}

std::string SimulatedUart::Flushed() const {
    return calls_->flushed_;
}

std::size_t SimulatedUart::Queued() const {
    calls_->Play();
    return calls_->queue_.size();
}

bool SimulatedUart::Closed() const {
    return calls_->closed_;
}

bool SimulatedUart::CtsFlowAtClose() const {
    return calls_->ctsFlowAtClose_;
}

}  // namespace platform::testing
