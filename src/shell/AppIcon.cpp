#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace AppIcon {

QPixmap pixmap(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // Tile.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1e, 0x3a, 0x5f));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    // Plate: rim and well.
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.drawEllipse(QPointF(16, 16), 12.5, 12.5);
    painter.setPen(QPen(QColor(0xb0, 0xb8, 0xc0), 1.2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(16, 16), 8.5, 8.5);

    // Leaf on the plate.
    QPainterPath leaf;
    leaf.moveTo(11, 21);
    leaf.cubicTo(11, 13, 16, 10, 22, 10);
    leaf.cubicTo(22, 17, 18, 21, 11, 21);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2e, 0x9d, 0x3a));
    painter.drawPath(leaf);
    painter.setPen(QPen(QColor(0xe8, 0xf5, 0xe9), 1.0));
    painter.drawLine(QPointF(12, 20), QPointF(20, 12));
    return picture;
}

QIcon icon()
{
    QIcon result;
    result.addPixmap(pixmap(16));
    result.addPixmap(pixmap(32));
    return result;
}

} // namespace AppIcon
