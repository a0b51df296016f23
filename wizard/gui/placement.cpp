#include "wizard/gui/placement.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include "wizard/presentation/window_position.h"

namespace gui {
namespace {

presentation::ScreenRect Rect(const QRect& rect) {
    return presentation::ScreenRect{rect.left(), rect.top(), rect.width(), rect.height()};
}

}  // namespace

void CentreWindow(QWidget* window, QWidget* reference) {
    QWidget* onScreen = reference != nullptr ? reference->window() : window;
    QScreen* screen = onScreen->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const int icon = window->style()->pixelMetric(QStyle::PM_SmallIconSize);
    presentation::ScreenRect referenceFrame;
    if (reference != nullptr) {
        referenceFrame = Rect(reference->window()->frameGeometry());
    }
    const presentation::ScreenPoint corner = presentation::CentredPosition(
        Rect(window->frameGeometry()), Rect(screen->availableGeometry()),
        reference != nullptr ? &referenceFrame : nullptr, icon, icon);
    // move() places the widget's frame at corner.
    window->move(corner.x, corner.y);
}

}  // namespace gui
