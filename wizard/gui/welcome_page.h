// The welcome page: the greeting, the wizard's title and the body text with
// the firmware version the wizard brings.
#pragma once

#include "wizard/gui/sheet_page.h"

namespace gui {

class WelcomePage : public SheetPage {
    Q_OBJECT

  public:
    static constexpr int kGreetingId = 1201;
    static constexpr int kTitleId = 1001;
    static constexpr int kBodyId = 1200;
    static constexpr int kBitmapId = 65535;  // the old look's picture

    explicit WelcomePage(WizardSheet& sheet);

  protected:
    void Create() override;
    void Activated() override;

  private:
    QLabel* body_;
};

}  // namespace gui
