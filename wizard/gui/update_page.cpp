#include "wizard/gui/update_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "plugin_api/messages.h"
#include "serial/trace.h"
#include "wizard/engine/progress_display.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/flow/page_actions.h"
#include "wizard/gui/artwork.h"
#include "wizard/gui/user_text.h"
#include "wizard/gui/wizard_sheet.h"
#include "wizard/resources/strings.h"

namespace gui {
namespace {

constexpr int kTickMs = 250;
constexpr int kStateFailed = 3;

}  // namespace

UpdatePage::UpdatePage(WizardSheet& sheet)
    : SheetPage(sheet, flow::kUpdatePage, wizard::IDS_UPDATE_HEADER_TITLE, 0) {
    intro_ = AddText(Body(), IDC_UPDATE_INTRO, QString());

    auto* steps = new QGridLayout;
    const QPixmap bullet = StepBullet();
    steps->setColumnMinimumWidth(0, bullet.width() + 6);
    steps->setColumnStretch(1, 1);
    for (int i = 0; i < kMaxStepLines; ++i) {
        bullets_[i] = new QLabel(this);
        bullets_[i]->setObjectName(QString::number(IDC_STEP_BULLET_FIRST + i));
        bullets_[i]->setPixmap(bullet);
        bullets_[i]->hide();
        lines_[i] = new QLabel(this);
        lines_[i]->setObjectName(QString::number(IDC_STEP_LINE_FIRST + i));
        lines_[i]->hide();
        steps->addWidget(bullets_[i], i, 0);
        steps->addWidget(lines_[i], i, 1);
    }
    Body()->addLayout(steps);
    Body()->addStretch(1);

    progressText_ = AddText(Body(), IDC_PROGRESS_TEXT, QString());
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QString::number(IDC_PROGRESS_BAR));
    bar_->setTextVisible(false);
    bar_->hide();
    Body()->addWidget(bar_);

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &UpdatePage::Tick);
}

void UpdatePage::Activated() {
    intro_->setText(Text(wizard::IDS_UPDATE_INTRO));
    progressText_->clear();
    bar_->setRange(0, 100);
    bar_->setValue(0);
    ClearStatus(&sheet_.State().status);
}

bool UpdatePage::validatePage() {
    if (succeeded_) {
        sheet_.Flags().updateStarted = true;
        return true;
    }
    if (!started_) {
        StartUpdate();
    }
    return false;
}

void UpdatePage::StartUpdate() {
    started_ = true;
    sheet_.SetButtons(0);
    timer_.start();
    sheet_.ToWorker(WM_WIZ_UPDATE, Handle());
    sheet_.CancelToClose();
    sheet_.Flags().updateStarted = true;
}

void UpdatePage::Tick() {
    _Status& status = sheet_.State().status;
    const ProgressDisplay display = SampleProgress(&status);
    progressText_->setText(UserText(display.text));
    bar_->setValue(display.barPosition);
    if (display.succeeded) {
        succeeded_ = true;
        timer_.stop();
        sheet_.SetButtons(kButtonFinish);
        sheet_.UpdateEnded();
    } else if (status.state == kStateFailed) {
        sheet_.UpdateEnded();
    }
}

std::string UpdatePage::FatalBoxText(const std::string& text) const {
    return flow::UpdateFatalText(text, keptFolder_);
}

void UpdatePage::OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam,
                               const std::string& text) {
    switch (message) {
        case WM_WIZ_STEP:
            MarkStep(wParam, lParam != 0);
            break;
        case WM_WIZ_SETPROGRESS:
            bar_->setValue(static_cast<int>(std::min<WPARAM>(wParam, 100)));
            break;
        case WM_WIZ_KEPTFILES:
            keptFolder_ = text;
            break;
        case WM_WIZ_WORKER:
            if (lParam == 0) {
                sheet_.UpdateEnded();  // the worker gave up; nothing more will come
            }
            break;
        default:
            break;
    }
}

void UpdatePage::MarkStep(WPARAM index, bool highlight) {
    if (index >= static_cast<WPARAM>(kMaxStepLines)) {
        return;  // a step beyond the page's lines is not shown
    }
    const int i = static_cast<int>(index);
    if (highlight) {
        if (!plainFonts_[i]) {
            plainFonts_[i] = lines_[i]->font();
        }
        QFont bold = *plainFonts_[i];
        bold.setBold(true);
        lines_[i]->setFont(bold);
        bullets_[i]->show();
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "Highlight >%d\n", i);
    } else {
        if (plainFonts_[i]) {
            lines_[i]->setFont(*plainFonts_[i]);
            plainFonts_[i].reset();
        }
        bullets_[i]->hide();
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "Hide >%d\n", i);
    }
    emit StepMarked(i, highlight);
}

}  // namespace gui
