// The configuration page: what to observe before the search, and the
// choice of a manual modem selection (forced when the modem has no AT
// interpreter, which the search needs).
#pragma once

#include "wizard/gui/sheet_page.h"

class QCheckBox;

namespace gui {

class ConfigurationPage : public SheetPage {
    Q_OBJECT

  public:
    static constexpr int kTopTextId = 65534;
    static constexpr int kObserveId = 1003;
    static constexpr int kClickNextId = 1004;
    static constexpr int kManualBoxId = 1002;

    explicit ConfigurationPage(WizardSheet& sheet);

    // Next: the choice is taken and the model list read afresh.
    bool validatePage() override;

  protected:
    void Create() override;
    void Activated() override;

  private:
    QCheckBox* manual_;
};

}  // namespace gui
