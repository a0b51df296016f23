// The Qt wizard moves its windows where wizard/presentation puts them
// (tests/presentation has the arithmetic).
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "tests/gui/gui_harness.h"
#include "wizard/gui/placement.h"

namespace {

TEST(Placement, CentreWindowMovesAWindowOnItsScreen) {
    gui_test::EnsureApplication();
    QDialog dialog;
    dialog.resize(300, 200);
    dialog.show();
    gui::CentreWindow(&dialog, nullptr);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offCentre = dialog.frameGeometry().center() - area.center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << "centred on the work area";
    EXPECT_TRUE(area.contains(dialog.frameGeometry()));
}

}  // namespace
