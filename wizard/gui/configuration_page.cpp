#include "wizard/gui/configuration_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "wizard/engine/common_settings.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/port_list.h"
#include "wizard/engine/wizard_state.h"
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
    WizardState& state = sheet_.State();
    const IniFile ini = IniFile::Read(state.config.iniPath);
    state.portList =
        sheet_.Ports().empty() ? ReadPortList(ini) : DiscoveredPortList(sheet_.Ports());
    state.hasAtInterpreter = HasAtInterpreter(ini);
    if (!state.hasAtInterpreter) {
        sheet_.Flags().manualSelection = true;
        manual_->setChecked(true);
        manual_->hide();
    }
}

void ConfigurationPage::Activated() {
    sheet_.Flags().updateStarted = false;
    sheet_.SetButtons(kButtonBack | kButtonNext);
}

bool ConfigurationPage::validatePage() {
    flow::FlowFlags& flags = sheet_.Flags();
    WizardState& state = sheet_.State();
    if (manual_->checkState() == Qt::Checked) {
        flags.manualSelection = true;
    } else if (manual_->checkState() == Qt::Unchecked) {
        flags.manualSelection = false;
    }
    const IniFile ini = IniFile::Read(state.config.iniPath);
    ModelList models = ReadModelList(ini);
    if (ini.status() != IniFile::Status::kRead || models.empty()) {
        ShowFatalAndEnd(this, wizard::LoadText(wizard::IDS_INI_ERROR));
        return false;
    }
    state.modelList = models;
    flags.modelListFresh = true;
    return true;
}

}  // namespace gui
