// The manual selection page: the user picks the port and the model, and the
// search then only confirms that pair.
#pragma once

#include "wizard/gui/sheet_page.h"

class QComboBox;

namespace gui {

class SelectionPage : public SheetPage {
    Q_OBJECT

  public:
    static constexpr int kSelectTextId = 1005;
    static constexpr int kPortLabelId = 1011;
    static constexpr int kModelLabelId = 1012;
    static constexpr int kClickNextId = 1013;
    static constexpr int kPortBoxId = 1023;
    static constexpr int kModelBoxId = 1024;

    explicit SelectionPage(WizardSheet& sheet);

    // Next: the chosen port and model become the only entries of their lists.
    bool validatePage() override;

  protected:
    void Activated() override;

  private:
    void Fill();

    QComboBox* ports_;
    QComboBox* models_;
};

}  // namespace gui
