#include "wizard/gui/placement.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace gui {
namespace {

int KeepInside(int position, int length, int low, int extent) {
    if (position + length > low + extent) {
        position = low + extent - length;
    }
    // Last, so that a window larger than the area starts at its edge.
    if (position < low) {
        position = low;
    }
    return position;
}

}  // namespace

QPoint CentredPosition(const QRect& window, const QRect& workArea, const QRect* reference,
                       const QSize& smallIcon) {
    const QRect around = reference != nullptr ? *reference : workArea;
    int x = around.left() + (around.width() - window.width()) / 2;
    int y = around.top() + (around.height() - window.height()) / 2;
    if (reference != nullptr) {
        x = std::max(x, around.left() + smallIcon.width());
        y = std::max(y, around.top() + smallIcon.height());
    }
    x = KeepInside(x, window.width(), workArea.left(), workArea.width());
    y = KeepInside(y, window.height(), workArea.top(), workArea.height());
    return QPoint(x, y);
}

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
    QRect referenceFrame;
    if (reference != nullptr) {
        referenceFrame = reference->window()->frameGeometry();
    }
    const QRect frame = window->frameGeometry();
    const QPoint corner =
        CentredPosition(frame, screen->availableGeometry(),
                        reference != nullptr ? &referenceFrame : nullptr, QSize(icon, icon));
    // move() places the widget's frame at corner.
    window->move(corner);
}

}  // namespace gui
