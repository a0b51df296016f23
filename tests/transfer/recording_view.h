// A progress view for tests: records what the dialog showed and lets a test
// press Cancel. Its waits take real time and leave the virtual clock alone,
// which belongs to the worker thread.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "transfer/transfer_dialog.h"

namespace test_support {

class RecordingView : public TransferProgressView {
  public:
    std::string LoadText(int id) override {
        return id == IDS_TRANSFER_UPLOAD ? "Uploading %s to the modem ..."
                                         : "Downloading %s from the modem ...";
    }
    void SetTitle(const std::string& value) override { title = value; }
    void SetText(const std::string& value) override { text = value; }
    void SetPercentage(int percent) override { percentages.push_back(percent); }
    void Wait(DWORD) override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
    bool CancelPressed() override { return pressCancel.load(); }
    void Close(int result) override { closedWith = result; }

    std::string title;
    std::string text;
    std::vector<int> percentages;
    std::atomic<bool> pressCancel{false};
    int closedWith = 0;
};

// Creates views that outlive their dialog, so a test can look at them after
// the operation.
class RecordingViews : public TransferViewFactory {
  public:
    std::unique_ptr<TransferProgressView> CreateTransferView(HINSTANCE, HWND) override {
        views_.push_back(std::make_unique<RecordingView>());
        last = views_.back().get();
        ++created;
        return std::make_unique<Forward>(*last);
    }
    RecordingView* last = nullptr;
    int created = 0;

  private:
    class Forward : public TransferProgressView {
      public:
        explicit Forward(RecordingView& view) : view_(view) {}
        std::string LoadText(int id) override { return view_.LoadText(id); }
        void SetTitle(const std::string& title) override { view_.SetTitle(title); }
        void SetText(const std::string& text) override { view_.SetText(text); }
        void SetPercentage(int percent) override { view_.SetPercentage(percent); }
        void Wait(DWORD ms) override { view_.Wait(ms); }
        bool CancelPressed() override { return view_.CancelPressed(); }
        void Close(int result) override { view_.Close(result); }

      private:
        RecordingView& view_;
    };
    std::vector<std::unique_ptr<RecordingView>> views_;
};

}  // namespace test_support
