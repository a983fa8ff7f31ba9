#include "linux/desktop/qt_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace tav {
namespace {

constexpr double kDesignSize = 64.0;  // the drawing below is laid out on a 64 x 64 grid

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kDesignSize, size / kDesignSize);
    painter.setPen(Qt::NoPen);

    painter.setBrush(QColor(0x2f, 0x6f, 0xb3));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(12, 40, 16, 11));
    painter.drawEllipse(QRectF(34, 34, 16, 11));
    painter.drawRect(QRectF(24.5, 17, 3.5, 28));
    painter.drawRect(QRectF(46.5, 11, 3.5, 28));
    painter.drawPolygon(QPolygonF({{24.5, 17}, {50, 11}, {50, 18}, {24.5, 24}}));
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon drawn;
    for (const int size : {16, 24, 32, 48, 64}) {
        drawn.addPixmap(DrawIcon(size));
    }
    return QIcon::fromTheme(kDesktopId, drawn);
}

}  // namespace tav
