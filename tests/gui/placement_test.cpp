// Where the sheet and the transfer dialog go on the screen.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "tests/gui/gui_harness.h"
#include "wizard/gui/placement.h"

namespace {

const QRect kWorkArea(0, 30, 1280, 770);  // a panel takes the top 30 pixels
const QSize kIcon(16, 16);

QPoint Place(const QSize& window, const QRect* reference = nullptr) {
    return gui::CentredPosition(QRect(QPoint(500, 500), window), kWorkArea, reference, kIcon);
}

TEST(Placement, WithoutReferenceTheWindowIsCentredOnTheWorkArea) {
    EXPECT_EQ(Place(QSize(640, 450)), QPoint(320, 30 + 160));
    EXPECT_EQ(Place(QSize(641, 451)), QPoint(319, 30 + 159)) << "integer halves";
}

TEST(Placement, AWindowLargerThanTheWorkAreaGoesToItsLeftAndTopEdges) {
    EXPECT_EQ(Place(QSize(1400, 900)), QPoint(0, 30));
    const QRect reference(1000, 600, 200, 100);
    EXPECT_EQ(Place(QSize(1400, 900), &reference), QPoint(0, 30))
        << "also when centred on a window";
}

TEST(Placement, OnAReferenceWindowItKeepsAnIconsDistanceFromItsTopLeft) {
    const QRect owner(100, 100, 200, 150);
    EXPECT_EQ(Place(QSize(100, 50), &owner), QPoint(150, 150)) << "centred on the owner";
    EXPECT_EQ(Place(QSize(400, 300), &owner), QPoint(116, 116))
        << "a larger window would cover the owner's top-left corner";
}

TEST(Placement, TheWindowStaysInsideTheWorkArea) {
    const QRect nearRight(1180, 700, 100, 100);
    EXPECT_EQ(Place(QSize(300, 200), &nearRight), QPoint(1280 - 300, 800 - 200));
    const QRect nearLeft(-50, 0, 60, 40);
    EXPECT_EQ(Place(QSize(300, 200), &nearLeft), QPoint(0, 30));
}

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
