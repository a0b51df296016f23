// The update page: the introduction, then (filled by the worker) the step
// lines with the current one in bold behind a bullet, the progress text and
// the bar, sampled from _Status four times a second.
#pragma once

#include <QFont>
#include <QTimer>
#include <array>
#include <optional>
#include <string>

#include "wizard/engine/page_controls.h"
#include "wizard/gui/sheet_page.h"

class QProgressBar;

namespace gui {

class UpdatePage : public SheetPage {
    Q_OBJECT

  public:
    explicit UpdatePage(WizardSheet& sheet);

    // Next starts the update (and stays); Finish, after success, ends the
    // wizard.
    bool validatePage() override;

  signals:
    // A step line was marked (highlighted) or unmarked.
    void StepMarked(int index, bool highlighted);

  protected:
    void Activated() override;
    void OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam,
                       const std::string& text) override;
    // After a failed update the box also says where the modem's files are.
    std::string FatalBoxText(const std::string& text) const override;

  private:
    void StartUpdate();
    void Tick();
    void MarkStep(WPARAM index, bool highlight);

    QLabel* intro_;
    QLabel* progressText_;
    QProgressBar* bar_;
    std::array<QLabel*, kMaxStepLines> bullets_{};
    std::array<QLabel*, kMaxStepLines> lines_{};
    // The font a highlighted line had before.
    std::array<std::optional<QFont>, kMaxStepLines> plainFonts_{};
    QTimer timer_;
    bool started_ = false;
    bool succeeded_ = false;
    std::string keptFolder_;  // where the plug-in keeps the modem's files
};

}  // namespace gui
