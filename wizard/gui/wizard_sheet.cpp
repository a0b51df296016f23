#include "wizard/gui/wizard_sheet.h"

#include <QAbstractButton>
#include <QPushButton>

#include "wizard/engine/wizard_state.h"
#include "wizard/gui/artwork.h"
#include "wizard/gui/configuration_page.h"
#include "wizard/gui/placement.h"
#include "wizard/gui/search_page.h"
#include "wizard/gui/selection_page.h"
#include "wizard/gui/update_page.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/welcome_page.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

// Every page fits in this; the frame grows for longer texts.
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 450;

}  // namespace

const char* WizardSheet::Caption() {
    return wizard::Texts().English(wizard::IDS_TITLE);
}

WizardSheet::WizardSheet(WizardState& state, SheetSetup setup, QWidget* owner)
    : QWizard(owner), state_(state), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("sheet"));
    setWindowTitle(QString::fromUtf8(Caption()));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setWizardStyle(setup_.oldLook ? QWizard::ClassicStyle : QWizard::ModernStyle);
    if (!setup_.oldLook) {
        setPixmap(QWizard::LogoPixmap, HeaderBitmap());
    }
    setButtonLayout({QWizard::Stretch, QWizard::BackButton, QWizard::NextButton,
                     QWizard::FinishButton, QWizard::CancelButton});
    setButtonText(QWizard::BackButton, Text(wizard::IDS_BUTTON_BACK));
    setButtonText(QWizard::NextButton, Text(wizard::IDS_BUTTON_NEXT));
    setButtonText(QWizard::FinishButton, Text(wizard::IDS_BUTTON_FINISH));
    setButtonText(QWizard::CancelButton, Text(wizard::IDS_BUTTON_CANCEL));

    setPage(flow::kWelcomePage, new WelcomePage(*this));
    setPage(flow::kConfigurationPage, new ConfigurationPage(*this));
    setPage(flow::kSelectionPage, new SelectionPage(*this));
    setPage(flow::kSearchPage, new SearchPage(*this));
    setPage(flow::kUpdatePage, new UpdatePage(*this));
    setStartId(flow::kWelcomePage);
    connect(this, &QWizard::currentIdChanged, this, &WizardSheet::OnCurrentPageChanged);
}

bool WizardSheet::ToWorker(UINT message, HWND page) {
    return setup_.toWorker && setup_.toWorker(message, page);
}

SheetPage* WizardSheet::Page(int dialogId) const {
    return qobject_cast<SheetPage*>(page(dialogId));
}

int WizardSheet::nextId() const {
    return flow::NextPage(currentId(), flags_, state_.hasAtInterpreter);
}

void WizardSheet::SetButtons(int buttons) {
    buttons_ = buttons;
    ApplyButtons();
}

// Runs after the frame has set its buttons its own way on a page change,
// and wins over it.
void WizardSheet::ApplyButtons() {
    const bool finish = (buttons_ & kButtonFinish) != 0;
    button(QWizard::BackButton)->setVisible(true);
    button(QWizard::BackButton)->setEnabled((buttons_ & kButtonBack) != 0);
    button(QWizard::NextButton)->setVisible(!finish);
    button(QWizard::NextButton)->setEnabled((buttons_ & kButtonNext) != 0);
    button(QWizard::FinishButton)->setVisible(finish);
    button(QWizard::FinishButton)->setEnabled(finish);
    if (auto* next = qobject_cast<QPushButton*>(button(QWizard::NextButton))) {
        next->setDefault(!finish);
    }
    if (auto* done = qobject_cast<QPushButton*>(button(QWizard::FinishButton))) {
        done->setDefault(finish);
    }
}

void WizardSheet::CancelToClose() {
    updateRunning_ = true;
    setButtonText(QWizard::CancelButton, Text(wizard::IDS_BUTTON_CLOSE));
    // Closing while the firmware is written could leave the modem without
    // working firmware.
    button(QWizard::CancelButton)->setEnabled(false);
}

void WizardSheet::UpdateEnded() {
    updateRunning_ = false;
    button(QWizard::CancelButton)->setEnabled(true);
}

void WizardSheet::reject() {
    if (updateRunning_) {
        return;
    }
    QWizard::reject();
}

void WizardSheet::showEvent(QShowEvent* event) {
    QWizard::showEvent(event);
    if (!placed_) {
        placed_ = true;
        CentreWindow(this, nullptr);
    }
}

void WizardSheet::OnCurrentPageChanged(int id) {
    if (SheetPage* current = Page(id)) {
        current->Activate();
    }
    ApplyButtons();
}

}  // namespace gui
