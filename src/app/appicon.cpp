#include "appicon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProgramPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

    // The sheet with its ruled lines.
    p.setBrush(Qt::white);
    QPainterPath sheet;
    sheet.moveTo(16, 10);
    sheet.lineTo(40, 10);
    sheet.lineTo(48, 18);
    sheet.lineTo(48, 54);
    sheet.lineTo(16, 54);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.setBrush(QColor(190, 200, 230));
    p.drawPolygon(QPolygonF({QPointF(40, 10), QPointF(40, 18), QPointF(48, 18)}));
    p.setPen(QPen(QColor(0, 0, 128), 2.2));
    for (int y : {24, 31, 38}) p.drawLine(QPointF(21, y), QPointF(43, y));
    p.drawLine(QPointF(21, 45), QPointF(32, 45));

    // The coin.
    p.setPen(QPen(QColor(150, 100, 0), 1.5));
    p.setBrush(QColor(240, 190, 40));
    p.drawEllipse(QPointF(44, 47), 9, 9);
    p.setPen(QPen(QColor(150, 100, 0), 2));
    p.drawLine(QPointF(44, 42), QPointF(44, 52));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
    return icon;
}
