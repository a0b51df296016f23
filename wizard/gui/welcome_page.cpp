#include "wizard/gui/welcome_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "wizard/flow/page_actions.h"
#include "wizard/gui/artwork.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

constexpr int kTitlePoints = 14;

}  // namespace

WelcomePage::WelcomePage(WizardSheet& sheet) : SheetPage(sheet, flow::kWelcomePage, 0, 0) {
    QBoxLayout* texts = Body();
    if (sheet.OldLook()) {
        auto* row = new QHBoxLayout;
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::number(kBitmapId));
        picture->setPixmap(WelcomeBitmap());
        picture->setAlignment(Qt::AlignTop);
        row->addWidget(picture);
        auto* column = new QVBoxLayout;
        row->addLayout(column, 1);
        Body()->addLayout(row);
        texts = column;
    } else {
        setPixmap(QWizard::WatermarkPixmap, Watermark());
    }

    QLabel* greeting = AddText(texts, kGreetingId, Text(wizard::IDS_WELCOME_GREETING));
    QFont greetingFont = greeting->font();
    greetingFont.setBold(true);
    greeting->setFont(greetingFont);

    QLabel* title = AddText(texts, kTitleId, Text(wizard::IDS_TITLE));
    QFont titleFont(QStringLiteral("Times New Roman"), kTitlePoints, QFont::Bold);
    titleFont.setStyleHint(QFont::Serif);
    title->setFont(titleFont);

    body_ = AddText(texts, kBodyId, QString());
    body_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    texts->addStretch(1);
}

void WelcomePage::Create() {
    body_->setText(UserText(flow::WelcomeBody(sheet_.State())));
}

void WelcomePage::Activated() {
    sheet_.SetButtons(kButtonNext);
}

}  // namespace gui
