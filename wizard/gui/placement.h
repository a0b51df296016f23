// Where a window goes on the screen: centred on a reference (another
// window, or the work area of its screen) and kept inside the work area.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace gui {

// The top-left corner for window (its frame), given the work area of its
// screen and, when there is one, the reference window's frame. Centred on
// the reference (or the work area); with a reference window, at least a
// small icon's width and height in from its left and top; then kept inside
// the work area. A window larger than the work area goes to its left and
// top edges.
QPoint CentredPosition(const QRect& window, const QRect& workArea, const QRect* reference,
                       const QSize& smallIcon);

// Moves window (a top-level widget) there, on the screen of the reference
// or of the window itself; its size stays. reference may be null.
void CentreWindow(QWidget* window, QWidget* reference);

}  // namespace gui
