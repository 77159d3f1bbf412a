#include "tray/DefaultIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap drawBellPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit grid and scaled, so every size has the same shape.
    const qreal scale = size / 64.0;
    painter.scale(scale, scale);

    // Clapper below the rim.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x7a, 0x4a, 0x0c));
    painter.drawEllipse(QPointF(32, 54), 6.5, 6.5);

    // Body: a dome widening to a flared rim.
    QPainterPath bell;
    bell.moveTo(8, 48);
    bell.cubicTo(14, 44, 14, 38, 15, 28);
    bell.cubicTo(16, 14, 24, 9, 32, 9);
    bell.cubicTo(40, 9, 48, 14, 49, 28);
    bell.cubicTo(50, 38, 50, 44, 56, 48);
    bell.closeSubpath();

    QLinearGradient shine(12, 0, 52, 0);
    shine.setColorAt(0.0, QColor(0xf0, 0xb0, 0x20));
    shine.setColorAt(0.35, QColor(0xff, 0xe0, 0x70));
    shine.setColorAt(1.0, QColor(0xd0, 0x8a, 0x10));
    painter.setPen(QPen(QColor(0x6b, 0x40, 0x08), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(shine);
    painter.drawPath(bell);

    // Knob on top.
    painter.drawEllipse(QPointF(32, 7), 4, 4);
    return pixmap;
}

QIcon makeDefaultIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(drawBellPixmap(size));
    return icon;
}
