// Where the sheet and the transfer dialog go on the screen, in both front
// ends.
#include <gtest/gtest.h>

#include "wizard/presentation/window_position.h"

namespace {

using presentation::ScreenPoint;
using presentation::ScreenRect;

const ScreenRect kWorkArea{0, 30, 1280, 770};  // a panel takes the top 30 pixels
constexpr int kIcon = 16;

ScreenPoint Place(int width, int height, const ScreenRect* reference = nullptr) {
    return presentation::CentredPosition(ScreenRect{500, 500, width, height}, kWorkArea, reference,
                                         kIcon, kIcon);
}

ScreenPoint At(int x, int y) {
    return ScreenPoint{x, y};
}

TEST(WindowPosition, WithoutReferenceTheWindowIsCentredOnTheWorkArea) {
    EXPECT_EQ(Place(640, 450), At(320, 30 + 160));
    EXPECT_EQ(Place(641, 451), At(319, 30 + 159)) << "integer halves";
}

TEST(WindowPosition, AWindowLargerThanTheWorkAreaGoesToItsLeftAndTopEdges) {
    EXPECT_EQ(Place(1400, 900), At(0, 30));
    const ScreenRect reference{1000, 600, 200, 100};
    EXPECT_EQ(Place(1400, 900, &reference), At(0, 30)) << "also when centred on a window";
    const ScreenRect offset{-200, -100, 1920, 1080};
    EXPECT_EQ(
        presentation::CentredPosition(ScreenRect{0, 0, 2000, 1200}, offset, nullptr, kIcon, kIcon),
        At(-200, -100))
        << "a work area left of and above the primary screen";
}

TEST(WindowPosition, OnAReferenceWindowItKeepsAnIconsDistanceFromItsTopLeft) {
    const ScreenRect owner{100, 100, 200, 150};
    EXPECT_EQ(Place(100, 50, &owner), At(150, 150)) << "centred on the owner";
    EXPECT_EQ(Place(400, 300, &owner), At(116, 116))
        << "a larger window would cover the owner's top-left corner";
    EXPECT_EQ(presentation::CentredPosition(ScreenRect{0, 0, 400, 300}, kWorkArea, &owner, 16, 24),
              At(116, 124))
        << "the icon's width and height each on their own axis";
}

TEST(WindowPosition, TheWindowStaysInsideTheWorkArea) {
    const ScreenRect nearRight{1180, 700, 100, 100};
    EXPECT_EQ(Place(300, 200, &nearRight), At(1280 - 300, 800 - 200));
    const ScreenRect nearLeft{-50, 0, 60, 40};
    EXPECT_EQ(Place(300, 200, &nearLeft), At(0, 30));
}

}  // namespace
