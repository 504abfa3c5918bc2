#include "statusicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

// Every picture is drawn on a 16 by 16 grid; larger sizes scale the same strokes.
using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(60, 60, 60);

void Sheet(QPainter& p) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
}

void CheckMark(QPainter& p, QPointF at, const QColor& color) {
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({at + QPointF(0, 2.5), at + QPointF(2.2, 4.8), at + QPointF(6.2, 0)}));
}

void Parcel(QPainter& p, QRectF box) {
    p.setPen(QPen(QColor(110, 70, 30), 1));
    p.setBrush(QColor(205, 150, 90));
    p.drawRect(box);
    p.setPen(QPen(QColor(240, 220, 170), 1.5));
    p.drawLine(QPointF(box.center().x(), box.top() + 1), QPointF(box.center().x(), box.bottom() - 0.5));
}

void Disc(QPainter& p, const QColor& fill, const QColor& edge) {
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void Letter(QPainter& p, const QString& text, const QColor& color) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, text);
}

void DrawNew(QPainter& p) {
    Sheet(p);
    // a small gold star in the corner: fresh
    p.setPen(QPen(QColor(170, 120, 0), 0.8));
    p.setBrush(QColor(255, 200, 0));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 1.5 : 3.6;
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        star << QPointF(11.5 + r * std::cos(a), 11.5 + r * std::sin(a));
    }
    p.drawPolygon(star);
}

void DrawOrdered(QPainter& p) {
    Sheet(p);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y : {5.5, 8.0, 10.5}) p.drawLine(QPointF(5, y), QPointF(9, y));
    CheckMark(p, QPointF(6.5, 8), QColor(30, 90, 200));
}

void DrawOnHold(QPainter& p) {
    Disc(p, QColor(245, 160, 20), QColor(170, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 4.5, 2, 7));
    p.drawRect(QRectF(9, 4.5, 2, 7));
}

void DrawShipped(QPainter& p) {
    p.setPen(QPen(QColor(20, 50, 120), 1));
    p.setBrush(QColor(60, 120, 220));
    p.drawRect(QRectF(0.5, 4.5, 9, 6.5)); // cargo
    p.drawPolygon(QPolygonF({QPointF(10, 6.5), QPointF(13, 6.5), QPointF(15.5, 9), QPointF(15.5, 11),
                             QPointF(10, 11)})); // cab
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(QRectF(11, 7.5, 2, 1.5)); // window
    p.setBrush(QColor(40, 40, 40));
    p.setPen(QPen(Qt::white, 0.8));
    p.drawEllipse(QRectF(2, 10, 3.6, 3.6));
    p.drawEllipse(QRectF(10.5, 10, 3.6, 3.6));
}

void DrawReceived(QPainter& p) {
    Parcel(p, QRectF(1.5, 5.5, 10, 9));
    CheckMark(p, QPointF(8, 2), QColor(20, 150, 40));
}

void DrawPickedUp(QPainter& p) {
    Parcel(p, QRectF(1.5, 7.5, 9, 7));
    // an arrow lifting it
    p.setPen(QPen(QColor(20, 150, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(13, 13.5), QPointF(13, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 150, 40));
    p.drawPolygon(QPolygonF({QPointF(13, 0.5), QPointF(16, 4.5), QPointF(10, 4.5)}));
}

void DrawPaid(QPainter& p) {
    Disc(p, QColor(40, 160, 60), QColor(20, 100, 30));
    Letter(p, QStringLiteral("$"), Qt::white);
}

void DrawClosed(QPainter& p) {
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16); // shackle
    p.drawLine(QPointF(4.5, 6), QPointF(4.5, 8));
    p.drawLine(QPointF(11.5, 6), QPointF(11.5, 8));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(70, 70, 70));
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 190, 60));
    p.drawEllipse(QRectF(7, 9.5, 2, 2));
    p.drawRect(QRectF(7.5, 11, 1, 2));
}

void DrawUnknown(QPainter& p) {
    Disc(p, QColor(170, 170, 170), QColor(110, 110, 110));
    Letter(p, QStringLiteral("?"), Qt::white);
}

QPixmap Render(const Drawing& draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
    }
    return pixmap;
}

} // namespace

std::vector<QIcon> InvoiceStatusIcons() {
    const Drawing drawings[] = {DrawNew,  DrawOrdered, DrawOnHold, DrawShipped, DrawReceived,
                                DrawPickedUp, DrawPaid, DrawClosed, DrawUnknown};
    std::vector<QIcon> icons;
    for (const Drawing& draw : drawings) {
        QIcon icon;
        for (int size : {16, 32}) icon.addPixmap(Render(draw, size));
        icons.push_back(icon);
    }
    return icons;
}
