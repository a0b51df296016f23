#include "wizard/gui/configuration_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "wizard/flow/page_actions.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {

ConfigurationPage::ConfigurationPage(WizardSheet& sheet)
    : SheetPage(sheet, flow::kConfigurationPage, wizard::IDS_CONFIG_HEADER_TITLE,
                wizard::IDS_CONFIG_HEADER_SUBTITLE) {
    AddText(Body(), kTopTextId, Text(wizard::IDS_CONFIG_TOP));
    AddText(Body(), kObserveId, Text(wizard::IDS_CONFIG_OBSERVE));
    AddText(Body(), kClickNextId, Text(wizard::IDS_CLICK_NEXT));
    Body()->addStretch(1);
    manual_ = new QCheckBox(Text(wizard::IDS_NO_AUTOMATIC_RECOGNITION), this);
    manual_->setObjectName(QString::number(kManualBoxId));
    Body()->addWidget(manual_);
}

void ConfigurationPage::Create() {
    if (!flow::StartConfiguration(sheet_.State(), sheet_.Ports(), sheet_.Flags())) {
        manual_->setChecked(true);
        manual_->hide();
    }
}

void ConfigurationPage::Activated() {
    sheet_.Flags().updateStarted = false;
    sheet_.SetButtons(kButtonBack | kButtonNext);
}

bool ConfigurationPage::validatePage() {
    const flow::BoxState box = manual_->checkState() == Qt::Checked ? flow::BoxState::kChecked
                               : manual_->checkState() == Qt::Unchecked
                                   ? flow::BoxState::kUnchecked
                                   : flow::BoxState::kIndeterminate;
    if (!flow::LeaveConfiguration(sheet_.State(), box, sheet_.Flags())) {
        ShowFatalAndEnd(this, wizard::LoadText(wizard::IDS_INI_ERROR));
        return false;
    }
    return true;
}

}  // namespace gui
