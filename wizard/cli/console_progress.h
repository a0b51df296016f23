// The progress dialog of a transfer on a text console: a bar with the file
// name on stderr, and Ctrl-C as the Cancel button.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "transfer/transfer_dialog.h"

namespace cli {

class ConsoleProgressView : public TransferProgressView {
  public:
    // quiet: nothing is drawn; Ctrl-C still cancels.
    explicit ConsoleProgressView(bool quiet);
    ~ConsoleProgressView() override;
    ConsoleProgressView(const ConsoleProgressView&) = delete;
    ConsoleProgressView& operator=(const ConsoleProgressView&) = delete;

    std::string LoadText(int id) override;
    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void SetPercentage(int percent) override;
    void SetBytes(std::int64_t done, std::int64_t total) override;
    void Wait(DWORD ms) override;
    bool CancelPressed() override;
    void Close(int result) override;

  private:
    void Draw();

    bool quiet_;
    std::string text_;
    int percent_ = -1;
    std::int64_t done_ = -1;
    std::int64_t total_ = 1;
    bool drawn_ = false;
    bool dirty_ = false;
    bool cancelNoticed_ = false;
};

class ConsoleProgressViews : public TransferViewFactory {
  public:
    explicit ConsoleProgressViews(bool quiet) : quiet_(quiet) {}
    std::unique_ptr<TransferProgressView> CreateTransferView(HINSTANCE instance,
                                                             HWND owner) override;

  private:
    bool quiet_;
};

// True when the user pressed Ctrl-C during the last transfer.
bool TransferInterrupted();

}  // namespace cli
