// The wizard's pictures, drawn from the SVG files of its resources at the
// size the screen needs.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace gui {

QIcon ProgramIcon();
// The new look: the picture at the right of the inner pages' header.
QPixmap HeaderBitmap();
// The new look: the tall picture on the left of the outer page.
QPixmap Watermark();
// The old look: the picture on the left of the welcome page.
QPixmap WelcomeBitmap();
// The bullet in front of the current step of the update.
QPixmap StepBullet();

}  // namespace gui
