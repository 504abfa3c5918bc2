#include "appicon.h"

#include <QPainter>
#include <QPainterPath>

QImage ProgramImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
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
    p.end();
    return image;
}

QPixmap ProgramPixmap(int size) { return QPixmap::fromImage(ProgramImage(size)); }

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
    return icon;
}
