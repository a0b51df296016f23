#include "wizard/gui/artwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace gui {
namespace {

// The picture at its own size, sharp on screens with more than one device
// pixel per pixel. An unreadable file gives an empty pixmap.
QPixmap Render(const char* name) {
    QSvgRenderer renderer(QString(":/artwork/") + name);
    if (!renderer.isValid()) {
        return QPixmap();
    }
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    const QSize size = renderer.defaultSize();
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    QSvgRenderer renderer(QString(":/artwork/program_icon.svg"));
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap HeaderBitmap() {
    return Render("header.svg");
}

QPixmap Watermark() {
    return Render("watermark.svg");
}

QPixmap WelcomeBitmap() {
    return Render("welcome.svg");
}

QPixmap StepBullet() {
    return Render("step_bullet.svg");
}

}  // namespace gui
