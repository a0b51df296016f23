#include "wizard/gui/selection_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "wizard/engine/wizard_state.h"
#include "wizard/flow/page_actions.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

QComboBox* NewBox(QWidget* parent, int id) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::number(id));
    box->setEditable(false);
    return box;
}

// The entry's own bytes travel with it: the list gets back exactly what it held.
void AddEntry(QComboBox* box, const std::string& entry) {
    box->addItem(QString::fromStdString(entry), QByteArray::fromStdString(entry));
}

std::string SelectedEntry(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentData().toByteArray().toStdString();
}

// The port box sorts its entries alphabetically, without regard to case.
bool PortOrder(const std::string& a, const std::string& b) {
    const int order =
        QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

SelectionPage::SelectionPage(WizardSheet& sheet)
    : SheetPage(sheet, flow::kSelectionPage, wizard::IDS_MANUAL_HEADER_TITLE,
                wizard::IDS_MANUAL_HEADER_SUBTITLE) {
    AddText(Body(), kSelectTextId, Text(wizard::IDS_MANUAL_SELECT));
    auto* grid = new QGridLayout;
    auto* portLabel = new QLabel(Text(wizard::IDS_MANUAL_PORT), this);
    portLabel->setObjectName(QString::number(kPortLabelId));
    auto* modelLabel = new QLabel(Text(wizard::IDS_MANUAL_MODEL), this);
    modelLabel->setObjectName(QString::number(kModelLabelId));
    ports_ = NewBox(this, kPortBoxId);
    models_ = NewBox(this, kModelBoxId);
    portLabel->setBuddy(ports_);
    modelLabel->setBuddy(models_);
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(ports_, 0, 1);
    grid->addWidget(modelLabel, 1, 0);
    grid->addWidget(models_, 1, 1);
    grid->setColumnStretch(1, 1);
    Body()->addLayout(grid);
    Body()->addStretch(1);
    AddText(Body(), kClickNextId, Text(wizard::IDS_MANUAL_CLICK_NEXT));
}

void SelectionPage::Activated() {
    sheet_.SetButtons(kButtonBack | kButtonNext);
    if (sheet_.Flags().modelListFresh) {
        Fill();
        sheet_.Flags().modelListFresh = false;
    }
}

void SelectionPage::Fill() {
    const WizardState& state = sheet_.State();
    ports_->clear();
    models_->clear();
    std::vector<std::string> ports = state.portList.Entries();
    std::sort(ports.begin(), ports.end(), &PortOrder);
    for (const std::string& port : ports) {
        AddEntry(ports_, port);
    }
    for (const std::string& model : state.modelList.Entries()) {
        AddEntry(models_, model);
    }
    ports_->setCurrentIndex(ports_->count() > 0 ? 0 : -1);
    models_->setCurrentIndex(models_->count() > 0 ? 0 : -1);
}

bool SelectionPage::validatePage() {
    flow::TakeSelection(sheet_.State(), SelectedEntry(ports_), SelectedEntry(models_));
    return true;
}

}  // namespace gui
