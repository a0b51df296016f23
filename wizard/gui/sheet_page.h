// What every page of the wizard has: its handle for the worker and the
// plug-ins, its header in either look, its activation (going forward or
// back), and the end of the process on a fatal error.
#pragma once

#include <QWizardPage>
#include <string>

#include "wizard/gui/page_target.h"

class QBoxLayout;
class QLabel;
class QVBoxLayout;

namespace gui {

class WizardSheet;

class SheetPage : public QWizardPage, public MessageReceiver {
    Q_OBJECT

  public:
    // dialogId: the page's id in the sheet and its object name. titleId and
    // subtitleId: the header's texts (0: none; no title: no header).
    SheetPage(WizardSheet& sheet, int dialogId, int titleId, int subtitleId);

    HWND Handle() { return target_.Handle(); }

    // The page has become the current page. The first time it is also
    // created: it reads what it shows from the wizard's state.
    void Activate();

    // WM_WIZ_FATAL ends the process after its box; everything else goes to
    // OnPageMessage.
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& text) final;
    int OnMessageBox(const std::string& text, UINT style) override;

  protected:
    virtual void Create() {}
    virtual void Activated() {}
    virtual void OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& text);
    // The text of the error box for a fatal error text sent to this page.
    virtual std::string FatalBoxText(const std::string& text) const { return text; }

    // The layout for the page's controls, below the header.
    QVBoxLayout* Body() { return body_; }
    // A text control named by its id, added to layout.
    QLabel* AddText(QBoxLayout* layout, int id, const QString& text);

    WizardSheet& sheet_;

  private:
    PageTarget target_;
    QVBoxLayout* body_;
    bool created_ = false;
};

}  // namespace gui
