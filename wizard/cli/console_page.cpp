#include "wizard/cli/console_page.h"

#include <chrono>
#include <cstdio>

#include "plugin_api/messages.h"
#include "wizard/engine/fatal_exit.h"

namespace cli {
namespace {

ConsolePage* Self(HWND__* target) {
    return static_cast<ConsolePage*>(target->context);
}

}  // namespace

ConsolePage::ConsolePage()
    : target_{&ConsolePage::OnPost,     &ConsolePage::OnSend,       &ConsolePage::OnSetItemText,
              &ConsolePage::OnShowItem, &ConsolePage::OnMessageBox, this} {}

PageMessage ConsolePage::Received(UINT message, WPARAM wParam, LPARAM lParam) {
    PageMessage received{message, wParam, lParam, {}};
    // The sender's buffer may change once this returns: keep a copy.
    if (MessageCarriesText(message) && lParam != 0) {
        received.text = ParamText(lParam);
    }
    return received;
}

std::uint64_t ConsolePage::Queue(PageMessage message) {
    std::uint64_t ticket;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ticket = nextTicket_++;
        queue_.emplace_back(ticket, std::move(message));
    }
    changed_.notify_all();
    return ticket;
}

void ConsolePage::Post(UINT message, WPARAM wParam, const std::string& text) {
    Queue(PageMessage{message, wParam, 0, text});
}

int ConsolePage::OnPost(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    Self(target)->Queue(Received(message, wParam, lParam));
    return 1;
}

LRESULT ConsolePage::OnSend(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    ConsolePage* page = Self(target);
    const std::uint64_t ticket = page->Queue(Received(message, wParam, lParam));
    std::unique_lock<std::mutex> lock(page->mutex_);
    page->changed_.wait(lock, [&] { return page->handledTicket_ >= ticket; });
    return 0;
}

int ConsolePage::OnSetItemText(HWND__* target, int itemId, const char* text) {
    ConsolePage* page = Self(target);
    std::lock_guard<std::mutex> lock(page->mutex_);
    page->texts_[itemId] = text != nullptr ? text : "";
    return 1;
}

int ConsolePage::OnShowItem(HWND__* target, int itemId, int show) {
    ConsolePage* page = Self(target);
    std::lock_guard<std::mutex> lock(page->mutex_);
    page->shown_[itemId] = show != 0;
    return 1;
}

int ConsolePage::OnMessageBox(HWND__* target, const char* text, UINT) {
    const std::string shown = text != nullptr ? text : "";
    if (Self(target)->boxHandler_) {
        Self(target)->boxHandler_(shown);
        return IDOK;
    }
    std::fprintf(stderr, "\n%s\n", TerminalText(shown).c_str());
    std::fflush(stderr);
    return IDOK;
}

bool ConsolePage::Next(PageMessage* message, DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !queue_.empty(); })) {
        return false;
    }
    takenTicket_ = queue_.front().first;
    *message = std::move(queue_.front().second);
    queue_.pop_front();
    return true;
}

void ConsolePage::Handled() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handledTicket_ = takenTicket_;
    }
    changed_.notify_all();
}

std::string ConsolePage::ItemText(int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

bool ConsolePage::ItemShown(int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = shown_.find(id);
    return it != shown_.end() && it->second;
}

}  // namespace cli
