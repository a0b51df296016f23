#include "wizard/gui/sheet_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "plugin_api/messages.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/page_header.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"

namespace gui {
namespace {

// Room between the texts of a page, as between the paragraphs of a letter.
constexpr int kBodySpacing = 12;

}  // namespace

SheetPage::SheetPage(WizardSheet& sheet, int dialogId, int titleId, int subtitleId)
    : sheet_(sheet), target_(this, this) {
    setObjectName(QString::number(dialogId));
    auto* outer = new QVBoxLayout(this);
    if (titleId != 0) {
        const QString title = Text(titleId);
        const QString subtitle = subtitleId != 0 ? Text(subtitleId) : QString();
        if (sheet.OldLook()) {
            outer->addWidget(new PageHeader(title, subtitle, this));
        } else {
            setTitle(title);
            // The frame draws its header only for a page with a subtitle.
            setSubTitle(subtitle.isEmpty() ? QStringLiteral(" ") : subtitle);
        }
    }
    body_ = new QVBoxLayout;
    body_->setSpacing(kBodySpacing);
    outer->addLayout(body_);
}

void SheetPage::Activate() {
    if (!created_) {
        created_ = true;
        Create();
    }
    Activated();
}

void SheetPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& text) {
    if (message == WM_WIZ_FATAL) {
        ShowFatalAndEnd(this, FatalBoxText(text));
        return;
    }
    OnPageMessage(message, wParam, lParam, text);
}

int SheetPage::OnMessageBox(const std::string& text, UINT style) {
    return ShowMessageBox(this, text, style);
}

void SheetPage::OnPageMessage(UINT, WPARAM, LPARAM, const std::string&) {}

QLabel* SheetPage::AddText(QBoxLayout* layout, int id, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::number(id));
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

}  // namespace gui
