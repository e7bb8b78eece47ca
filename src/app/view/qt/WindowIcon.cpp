#include "app/view/qt/WindowIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fendralwin {

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const double unit = size / 16.0;
    const QRectF square(0.5 * unit, 0.5 * unit, 15 * unit, 15 * unit);

    // Rounded corners stay transparent; light top-left and dark bottom-right edges bevel it.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRoundedRect(square, 1.5 * unit, 1.5 * unit);
    painter.setPen(QPen(Qt::white, unit));
    painter.drawLine(square.topLeft() + QPointF(unit, unit),
                     square.topRight() + QPointF(-unit, unit));
    painter.drawLine(square.topLeft() + QPointF(unit, unit),
                     square.bottomLeft() + QPointF(unit, -unit));
    painter.setPen(QPen(QColor(128, 128, 128), unit));
    painter.drawLine(square.bottomLeft() + QPointF(unit, -unit),
                     square.bottomRight() + QPointF(-unit, -unit));
    painter.drawLine(square.topRight() + QPointF(-unit, unit),
                     square.bottomRight() + QPointF(-unit, -unit));

    // The building: a low hall with two stacks rising from its roof.
    QPainterPath building;
    building.moveTo(3 * unit, 13 * unit);
    building.lineTo(3 * unit, 8 * unit);
    building.lineTo(5 * unit, 8 * unit);
    building.lineTo(5 * unit, 3 * unit);
    building.lineTo(6.5 * unit, 3 * unit);
    building.lineTo(6.5 * unit, 8 * unit);
    building.lineTo(8.5 * unit, 8 * unit);
    building.lineTo(8.5 * unit, 4.5 * unit);
    building.lineTo(10 * unit, 4.5 * unit);
    building.lineTo(10 * unit, 8 * unit);
    building.lineTo(13 * unit, 8 * unit);
    building.lineTo(13 * unit, 13 * unit);
    building.closeSubpath();
    painter.setPen(QPen(QColor(64, 64, 64), unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(building);
    return pixmap;
}

} // namespace

QIcon fendralWinIcon() {
    QIcon icon;
    icon.addPixmap(drawIcon(16));
    icon.addPixmap(drawIcon(32));
    return icon;
}

} // namespace fendralwin
