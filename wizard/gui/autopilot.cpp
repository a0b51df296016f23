#include "wizard/gui/autopilot.h"

#include <QAbstractButton>
#include <cstdio>
#include <cstdlib>

#include "wizard/gui/update_page.h"
#include "wizard/gui/wizard_sheet.h"

namespace gui {
namespace {

constexpr int kLookEveryMs = 100;

void ReportPage(int id) {
    std::fprintf(stderr, "Page %d\n", id);
    std::fflush(stderr);
}

void ReportStep(int index, bool highlighted) {
    std::fprintf(stderr, "Step %d %s\n", index, highlighted ? "on" : "off");
    std::fflush(stderr);
}

bool Offered(QAbstractButton* button) {
    return button->isVisible() && button->isEnabled();
}

}  // namespace

bool AutopilotRequested() {
    const char* value = std::getenv(kAutopilotVariable);
    return value != nullptr && value[0] != '\0';
}

Autopilot::Autopilot(WizardSheet* sheet) : QObject(sheet), sheet_(sheet) {
    connect(sheet, &QWizard::currentIdChanged, this, [](int id) {
        if (id != -1) {
            ReportPage(id);
        }
    });
    if (auto* update = qobject_cast<UpdatePage*>(sheet->Page(flow::kUpdatePage))) {
        connect(update, &UpdatePage::StepMarked, this, &ReportStep);
    }
    connect(&timer_, &QTimer::timeout, this, &Autopilot::Step);
    timer_.start(kLookEveryMs);
}

void Autopilot::Step() {
    if (Offered(sheet_->button(QWizard::FinishButton))) {
        sheet_->button(QWizard::FinishButton)->click();
    } else if (Offered(sheet_->button(QWizard::NextButton))) {
        sheet_->button(QWizard::NextButton)->click();
    }
}

}  // namespace gui
