// Where a window goes on the screen: centred on a reference (another
// window, or the work area of its screen) and kept inside the work area, by
// the arithmetic of wizard/presentation/window_position.h.
#pragma once

class QWidget;

namespace gui {

// Moves window (a top-level widget) there, on the screen of the reference
// or of the window itself; its size stays. reference may be null.
void CentreWindow(QWidget* window, QWidget* reference);

}  // namespace gui
