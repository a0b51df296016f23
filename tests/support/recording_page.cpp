#include "tests/support/recording_page.h"

#include "plugin_api/messages.h"

namespace test_support {
namespace {

std::string TextOf(UINT message, LPARAM lParam) {
    return MessageCarriesText(message) && lParam != 0 ? std::string(ParamText(lParam))
                                                      : std::string();
}

}  // namespace

RecordingPage::RecordingPage()
    : target_{&RecordingPage::Post,     &RecordingPage::Send, &RecordingPage::SetItemText,
              &RecordingPage::ShowItem, &RecordingPage::Box,  this} {}

RecordingPage* RecordingPage::Self(HWND target) {
    return static_cast<RecordingPage*>(target->context);
}

int RecordingPage::Post(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordingPage* self = Self(target);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->messages_.push_back({message, wParam, lParam, false, TextOf(message, lParam)});
    return 1;
}

LRESULT RecordingPage::Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordingPage* self = Self(target);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->messages_.push_back({message, wParam, lParam, true, TextOf(message, lParam)});
    return self->sendResult;
}

int RecordingPage::SetItemText(HWND target, int itemId, const char* text) {
    RecordingPage* self = Self(target);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->itemTexts_.emplace_back(itemId, text);
    return 1;
}

int RecordingPage::ShowItem(HWND target, int itemId, int show) {
    RecordingPage* self = Self(target);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->shownItems_.emplace_back(itemId, show != 0);
    return 1;
}

int RecordingPage::Box(HWND target, const char* text, UINT style) {
    RecordingPage* self = Self(target);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->boxes_.emplace_back(text, style);
    return self->messageBoxAnswer;
}

std::vector<RecordingPage::Message> RecordingPage::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::pair<WPARAM, LPARAM>> RecordingPage::Posted(UINT message) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::pair<WPARAM, LPARAM>> posted;
    for (const Message& m : messages_) {
        if (m.message == message && !m.sent) {
            posted.emplace_back(m.wParam, m.lParam);
        }
    }
    return posted;
}

std::vector<std::pair<int, std::string>> RecordingPage::ItemTexts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return itemTexts_;
}

std::vector<std::pair<int, bool>> RecordingPage::ShownItems() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shownItems_;
}

std::vector<std::pair<std::string, UINT>> RecordingPage::MessageBoxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

std::vector<std::string> RecordingPage::Texts(UINT message) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    for (const Message& m : messages_) {
        if (m.message == message) {
            texts.push_back(m.text);
        }
    }
    return texts;
}

}  // namespace test_support
