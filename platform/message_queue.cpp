#include "platform/message_queue.h"

#include <chrono>

namespace platform {

bool MessageQueue::Post(const ThreadMessage& message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (quit_) {
            return false;
        }
        messages_.push_back(message);
    }
    ready_.notify_one();
    return true;
}

bool MessageQueue::Get(ThreadMessage* message) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return !messages_.empty() || quit_; });
    if (messages_.empty()) {
        return false;
    }
    *message = messages_.front();
    messages_.pop_front();
    return true;
}

bool MessageQueue::GetFor(ThreadMessage* message, DWORD timeoutMs, bool* timedOut) {
    std::unique_lock<std::mutex> lock(mutex_);
    bool ready = ready_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return !messages_.empty() || quit_; });
    if (timedOut != nullptr) {
        *timedOut = !ready;
    }
    if (!ready || messages_.empty()) {
        return false;
    }
    *message = messages_.front();
    messages_.pop_front();
    return true;
}

void MessageQueue::PostQuit() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    ready_.notify_all();
}

}  // namespace platform
