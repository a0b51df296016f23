// The worker thread: all serial-line work of the wizard runs here, so the
// pages stay responsive. Pages post it WM_WIZ_SEARCH or WM_WIZ_UPDATE with
// their handle in lParam; it answers by messages to that page.
#pragma once

#include <atomic>
#include <thread>

#include "platform/message_queue.h"
#include "platform/types.h"

struct WizardState;

class Worker {
  public:
    explicit Worker(WizardState& state);
    // Ends the thread, after the request it is busy with (a reorganisation
    // of the modem's memory can take minutes): the thread uses this object
    // to its end. An owner that cannot wait leaves the worker and its pages
    // alive and ends the process without destroying them.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void Start();
    // A request from a page: message WM_WIZ_SEARCH or WM_WIZ_UPDATE, lParam
    // the page. False once the worker has ended.
    bool Post(UINT message, WPARAM wParam, LPARAM lParam);
    // Asks the worker to leave its loop after the requests before.
    void Quit();
    // Waits for the thread to end.
    void Join();
    // True until the worker has left its loop and sent its last message.
    bool Running() const { return running_.load(); }

  private:
    void Run();

    WizardState& state_;
    platform::MessageQueue queue_;
    std::thread thread_;
    std::atomic<bool> running_{false};
};
