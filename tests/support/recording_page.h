// A page (message target) for tests: records every message, item text,
// shown or hidden item and message box, in order.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "plugin_api/message_target.h"

namespace test_support {

class RecordingPage {
  public:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool sent;         // SendMessage rather than PostMessage
        std::string text;  // the text of a message that carries one, copied when it came
    };

    RecordingPage();
    RecordingPage(const RecordingPage&) = delete;
    RecordingPage& operator=(const RecordingPage&) = delete;

    HWND handle() { return &target_; }

    // What a SendMessage returns; what a message box answers.
    LRESULT sendResult = 0;
    int messageBoxAnswer = IDOK;

    std::vector<Message> Messages() const;
    // (wParam, lParam) of every posted message with this number.
    std::vector<std::pair<WPARAM, LPARAM>> Posted(UINT message) const;
    std::vector<std::pair<int, std::string>> ItemTexts() const;
    std::vector<std::pair<int, bool>> ShownItems() const;
    std::vector<std::pair<std::string, UINT>> MessageBoxes() const;
    // The texts of every message with this number, posted or sent.
    std::vector<std::string> Texts(UINT message) const;

  private:
    static RecordingPage* Self(HWND target);
    static int Post(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    static int SetItemText(HWND target, int itemId, const char* text);
    static int ShowItem(HWND target, int itemId, int show);
    static int Box(HWND target, const char* text, UINT style);

    HWND__ target_;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<std::pair<int, std::string>> itemTexts_;
    std::vector<std::pair<int, bool>> shownItems_;
    std::vector<std::pair<std::string, UINT>> boxes_;
};

}  // namespace test_support
