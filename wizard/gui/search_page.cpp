#include "wizard/gui/search_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "wizard/engine/page_controls.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/flow/page_actions.h"
#include "wizard/gui/message_box.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

// What the two lines show until the worker's first texts arrive.
constexpr const char* kPortLineAtFirst = "COM1";
constexpr const char* kStatusLineAtFirst = "Suche Modem ...";

QLabel* Line(QWidget* parent, int id, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

}  // namespace

SearchPage::SearchPage(WizardSheet& sheet)
    : SheetPage(sheet, flow::kSearchPage, wizard::IDS_SEARCH_HEADER_TITLE, 0) {
    AddText(Body(), kLookingId, Text(wizard::IDS_SEARCH_LOOKING));
    auto* grid = new QGridLayout;
    grid->addWidget(Line(this, kPortLabelId, Text(wizard::IDS_SEARCH_PORT)), 0, 0);
    portLine_ = Line(this, IDC_SEARCH_PORT_LINE, QString::fromUtf8(kPortLineAtFirst));
    grid->addWidget(portLine_, 0, 1);
    grid->addWidget(Line(this, kStatusLabelId, Text(wizard::IDS_SEARCH_STATUS)), 1, 0);
    statusLine_ = Line(this, IDC_SEARCH_STATUS_LINE, QString::fromUtf8(kStatusLineAtFirst));
    grid->addWidget(statusLine_, 1, 1);
    grid->setColumnStretch(1, 1);
    Body()->addLayout(grid);
    result_ = AddText(Body(), IDC_SEARCH_RESULT, QString());
    Body()->addStretch(1);
}

void SearchPage::Activated() {
    sheet_.SetButtons(0);
    result_->clear();
    loaderPort_.clear();
    sheet_.ToWorker(WM_WIZ_SEARCH, Handle());
}

void SearchPage::OnPageMessage(UINT message, WPARAM, LPARAM, const std::string& text) {
    // The worker may still be finishing a search the user has already left.
    if (sheet_.currentPage() != this) {
        return;
    }
    switch (message) {
        case WM_WIZ_SEARCHPORT:
            portLine_->setText(UserText(text));
            break;
        case WM_WIZ_SEARCHSTATUS:
            statusLine_->setText(UserText(text));
            break;
        case WM_WIZ_FOUND:
            result_->setText(Text(wizard::IDS_SEARCH_FOUND));
            sheet_.SetButtons(kButtonBack | kButtonNext);
            break;
        case WM_WIZ_INLOADER:
            if (loaderPort_.empty()) {
                loaderPort_ = text;
            }
            break;
        case WM_WIZ_NOTFOUND:
            result_->setText(Text(wizard::IDS_SEARCH_NOT_FOUND));
            sheet_.SetButtons(kButtonBack);
            if (!loaderPort_.empty()) {
                ShowMessageBox(this, flow::LoaderNotice(TheWizardState(), loaderPort_),
                               MB_OK | MB_ICONINFORMATION);
            }
            break;
        default:
            break;
    }
}

}  // namespace gui
