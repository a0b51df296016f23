// A test hook: with WIZARD_TEST_AUTOPILOT set, the wizard walks itself
// through its pages (Next whenever it is enabled, Finish when it is
// offered) and reports on the standard error stream each page it shows
// ("Page 1108") and each step it marks ("Step 1 on", "Step 1 off"), so a
// test can run the program as a user would and check its exit code.
#pragma once

#include <QObject>
#include <QTimer>

namespace gui {

class WizardSheet;

constexpr const char* kAutopilotVariable = "WIZARD_TEST_AUTOPILOT";

bool AutopilotRequested();

class Autopilot : public QObject {
  public:
    // Lives as long as the sheet.
    explicit Autopilot(WizardSheet* sheet);

  private:
    void Step();

    WizardSheet* sheet_;
    QTimer timer_;
};

}  // namespace gui
