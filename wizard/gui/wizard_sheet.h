// The wizard: the five pages in a QWizard, in the old or the new look, with
// the buttons the pages ask for and the page flow of the shared flags.
#pragma once

#include <QWizard>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "wizard/flow/wizard_flow.h"

struct WizardState;

namespace gui {

class SheetPage;

struct SheetSetup {
    bool oldLook = false;
    // Ports to search instead of the system's; empty: as Wizard.inf says.
    std::vector<std::string> ports;
    // Hands a request (WM_WIZ_SEARCH, WM_WIZ_UPDATE) of page to the worker.
    std::function<bool(UINT message, HWND page)> toWorker;
};

// The buttons a page can ask for, combined with |; 0 is none.
constexpr int kButtonBack = 1;
constexpr int kButtonNext = 2;
constexpr int kButtonFinish = 4;

class WizardSheet : public QWizard {
    Q_OBJECT

  public:
    // The caption of every page, the same in all languages.
    static const char* Caption();

    WizardSheet(WizardState& state, SheetSetup setup, QWidget* owner = nullptr);

    WizardState& State() { return state_; }
    flow::FlowFlags& Flags() { return flags_; }
    bool OldLook() const { return setup_.oldLook; }
    const std::vector<std::string>& Ports() const { return setup_.ports; }
    bool ToWorker(UINT message, HWND page);

    // Back and Next enabled as asked, Finish in the place of Next.
    void SetButtons(int buttons);
    int Buttons() const { return buttons_; }
    // The update runs: Cancel becomes Close, and the wizard cannot be
    // closed until the update has ended.
    void CancelToClose();
    // The update has ended (succeeded, failed, or the worker gave up).
    void UpdateEnded();

    SheetPage* Page(int dialogId) const;
    int nextId() const override;
    // Cancel, Close, Escape and the close box; refused while the update runs.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void OnCurrentPageChanged(int id);
    void ApplyButtons();

    WizardState& state_;
    SheetSetup setup_;
    flow::FlowFlags flags_;
    int buttons_ = kButtonNext;
    bool updateRunning_ = false;
    bool placed_ = false;
};

}  // namespace gui
