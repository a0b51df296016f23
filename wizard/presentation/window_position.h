// Where a window goes on the screen: centred on a reference (another
// window, or the work area of its screen) and kept inside the work area.
// Plain arithmetic, shared by the Qt wizard and the native Windows sheet.
#pragma once

namespace presentation {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ScreenPoint& other) const { return x == other.x && y == other.y; }
};

// The top-left corner for window (its frame), given the work area of its
// screen and, when there is one, the reference window's frame. Centred on
// the reference (or the work area; halves rounded toward zero); with a
// reference window, at least a small icon's width and height in from its
// left and top; then kept inside the work area. A window larger than the
// work area goes to its left and top edges.
ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& workArea,
                            const ScreenRect* reference, int smallIconWidth, int smallIconHeight);

}  // namespace presentation
