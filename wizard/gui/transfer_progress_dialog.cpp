#include "wizard/gui/transfer_progress_dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "wizard/gui/page_target.h"
#include "wizard/gui/placement.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

constexpr int kMinimumWidth = 360;

}  // namespace

TransferProgressDialog::TransferProgressDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QString::number(IDD_TRANSFER));
    setWindowTitle(QString::fromUtf8(WizardSheet::Caption()));
    setModal(true);
    setMinimumWidth(kMinimumWidth);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName(QString::number(IDC_TRANSFER_TEXT));
    text_->setWordWrap(true);
    layout->addWidget(text_);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QString::number(IDC_TRANSFER_PROGRESS));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(Text(wizard::IDS_BUTTON_CANCEL), this);
    cancel_->setObjectName(QString::number(kCancelId));
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelPressed_ = true; });

    adjustSize();
    show();
    CentreWindow(this, owner);
}

std::string TransferProgressDialog::LoadText(int id) {
    return wizard::LoadText(id);
}

void TransferProgressDialog::SetTitle(const std::string& title) {
    setWindowTitle(UserText(title));
}

void TransferProgressDialog::SetText(const std::string& text) {
    text_->setText(UserText(text));
}

void TransferProgressDialog::SetPercentage(int percent) {
    bar_->setValue(percent);
}

void TransferProgressDialog::Wait(DWORD ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

void TransferProgressDialog::Close(int result) {
    done(result == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void TransferProgressDialog::reject() {
    cancelPressed_ = true;
}

std::unique_ptr<TransferProgressView> TransferProgressDialogs::CreateTransferView(HINSTANCE,
                                                                                  HWND owner) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        return nullptr;
    }
    QWidget* page = PageTarget::PageOf(owner);
    return std::make_unique<TransferProgressDialog>(page != nullptr ? page->window()
                                                                    : fallbackOwner_);
}

}  // namespace gui
