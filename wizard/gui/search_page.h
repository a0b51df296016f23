// The search page: the worker looks for the modem (or confirms the chosen
// pair) and reports each port and step; the page shows the outcome.
#pragma once

#include <string>

#include "wizard/gui/sheet_page.h"

namespace gui {

class SearchPage : public SheetPage {
    Q_OBJECT

  public:
    static constexpr int kLookingId = 1014;
    static constexpr int kPortLabelId = 1015;
    static constexpr int kStatusLabelId = 1016;

    explicit SearchPage(WizardSheet& sheet);

  protected:
    void Activated() override;
    void OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam,
                       const std::string& text) override;

  private:
    QLabel* portLine_;
    QLabel* statusLine_;
    QLabel* result_;
    std::string loaderPort_;  // the first port whose modem waits in its boot loader
};

}  // namespace gui
