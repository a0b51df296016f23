// The progress dialog of a file-store transfer (upload to or download from
// the modem's store): a text with the file name, a bar and Cancel. It is the
// Qt view of the transfer library's dialog; the library runs it modally on
// the calling thread, which must be the GUI thread.
#pragma once

#include <QDialog>

#include "transfer/transfer_dialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace gui {

class TransferProgressDialog : public QDialog, public TransferProgressView {
    Q_OBJECT

  public:
    // Control ids of the dialog.
    static constexpr int kCancelId = 2;

    explicit TransferProgressDialog(QWidget* owner);

    std::string LoadText(int id) override;
    void SetTitle(const std::string& title) override;
    void SetText(const std::string& text) override;
    void SetPercentage(int percent) override;
    // Runs the GUI for ms milliseconds: the dialog stays responsive.
    void Wait(DWORD ms) override;
    bool CancelPressed() override { return cancelPressed_; }
    void Close(int result) override;

    // Escape and the close box count as Cancel: the dialog stays until the
    // transfer has stopped.
    void reject() override;

  private:
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool cancelPressed_ = false;
};

// Creates the dialogs for CXModemTransfer::SetViewFactory: owned by the
// window of the page that owner is, else by fallbackOwner. Off the GUI
// thread no dialog can be created (the transfer then ends as cancelled).
class TransferProgressDialogs : public TransferViewFactory {
  public:
    explicit TransferProgressDialogs(QWidget* fallbackOwner = nullptr)
        : fallbackOwner_(fallbackOwner) {}

    std::unique_ptr<TransferProgressView> CreateTransferView(HINSTANCE instance,
                                                             HWND owner) override;

  private:
    QWidget* fallbackOwner_;
};

}  // namespace gui
