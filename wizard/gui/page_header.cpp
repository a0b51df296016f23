#include "wizard/gui/page_header.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace gui {
namespace {

// The header's geometry in dialog units: the title 7 in from the left, the
// subtitle 21, the line under both. A dialog unit across is a quarter of
// the average character width of the page's font.
constexpr int kTitleIndentUnits = 7;
constexpr int kSubtitleIndentUnits = 21;

int Units(const QWidget* widget, int units) {
    return units * widget->fontMetrics().averageCharWidth() / 4;
}

}  // namespace

PageHeader::PageHeader(const QString& title, const QString& subtitle, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(QString::number(kTitleId));
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleLabel->setContentsMargins(Units(this, kTitleIndentUnits), 0, 0, 0);
    layout->addWidget(titleLabel);

    auto* subtitleLabel = new QLabel(subtitle, this);
    subtitleLabel->setObjectName(QString::number(kSubtitleId));
    subtitleLabel->setWordWrap(true);
    subtitleLabel->setContentsMargins(Units(this, kSubtitleIndentUnits), 0, 0, 0);
    layout->addWidget(subtitleLabel);

    auto* line = new QFrame(this);
    line->setObjectName(QString::number(kLineId));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
}

}  // namespace gui
