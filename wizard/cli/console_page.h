// A wizard page on the console: the message target that the worker and the
// plug-ins talk to, with a queue that the main thread reads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "plugin_api/message_target.h"

namespace cli {

struct PageMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string text;  // the text of WM_WIZ_SEARCHPORT, _SEARCHSTATUS, _FATAL, copied when posted
};

class ConsolePage {
  public:
    ConsolePage();
    ConsolePage(const ConsolePage&) = delete;
    ConsolePage& operator=(const ConsolePage&) = delete;

    HWND Handle() { return &target_; }

    // The next message, waiting up to timeoutMs; false when none came.
    bool Next(PageMessage* message, DWORD timeoutMs);
    // Marks the message last taken by Next as handled (a sender waits for it).
    void Handled();

    // Texts and visibility of the page's controls, as the worker set them.
    std::string ItemText(int id) const;
    bool ItemShown(int id) const;

    // Queues a message from this process (for example a fatal error found
    // outside the worker's page messages).
    void Post(UINT message, WPARAM wParam, const std::string& text);

    // Who shows the page's message boxes (on the caller's thread, usually
    // the worker's); without one they are printed on stderr.
    void SetBoxHandler(std::function<void(const std::string&)> handler) {
        boxHandler_ = std::move(handler);
    }

  private:
    static int OnPost(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT OnSend(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static int OnSetItemText(HWND__* target, int itemId, const char* text);
    static int OnShowItem(HWND__* target, int itemId, int show);
    static int OnMessageBox(HWND__* target, const char* text, UINT style);
    static PageMessage Received(UINT message, WPARAM wParam, LPARAM lParam);
    std::uint64_t Queue(PageMessage message);

    HWND__ target_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::uint64_t, PageMessage>> queue_;
    std::uint64_t nextTicket_ = 1;
    std::uint64_t takenTicket_ = 0;
    std::uint64_t handledTicket_ = 0;
    std::map<int, std::string> texts_;
    std::map<int, bool> shown_;
    std::function<void(const std::string&)> boxHandler_;
};

}  // namespace cli
