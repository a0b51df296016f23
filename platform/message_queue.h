// A thread's message queue: what the worker thread waits on for requests
// from the pages (the thread message queue of the window system).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/types.h"

namespace platform {

struct ThreadMessage {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class MessageQueue {
  public:
    // Never blocks; false once the queue has been told to quit.
    bool Post(const ThreadMessage& message);
    // Blocks until a message arrives. False when the quit request comes
    // (after the messages posted before it).
    bool Get(ThreadMessage* message);
    // Like Get, but gives up after timeoutMs (false, *timedOut = true).
    bool GetFor(ThreadMessage* message, DWORD timeoutMs, bool* timedOut);
    // Asks the reader to leave its loop.
    void PostQuit();

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<ThreadMessage> messages_;
    bool quit_ = false;
};

}  // namespace platform
