#include "itemsbar.h"

#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "items/itemsbarrules.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap DrawArrow(bool up, bool pressed) {
    constexpr int kSize = 24;
    QPixmap pm(kSize, kSize);
    pm.fill(QColor(192, 192, 192));
    QPainter p(&pm);
    const QColor light = Qt::white, dark(128, 128, 128), darkest = Qt::black;
    // The face: lit from the top left when raised, shadowed there when pressed in.
    p.setPen(pressed ? darkest : light);
    p.drawLine(0, 0, kSize - 1, 0);
    p.drawLine(0, 0, 0, kSize - 1);
    p.setPen(pressed ? light : darkest);
    p.drawLine(0, kSize - 1, kSize - 1, kSize - 1);
    p.drawLine(kSize - 1, 0, kSize - 1, kSize - 1);
    p.setPen(dark);
    if (pressed) {
        p.drawLine(1, 1, kSize - 2, 1);
        p.drawLine(1, 1, 1, kSize - 2);
    } else {
        p.drawLine(1, kSize - 2, kSize - 2, kSize - 2);
        p.drawLine(kSize - 2, 1, kSize - 2, kSize - 2);
    }
    // The triangle, moved one pixel right and down when pressed in.
    const qreal shift = pressed ? 1 : 0;
    QPainterPath tri;
    if (up) {
        tri.moveTo(12 + shift, 6 + shift);
        tri.lineTo(19 + shift, 17 + shift);
        tri.lineTo(5 + shift, 17 + shift);
    } else {
        tri.moveTo(5 + shift, 7 + shift);
        tri.lineTo(19 + shift, 7 + shift);
        tri.lineTo(12 + shift, 18 + shift);
    }
    tri.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(tri, Qt::black);
    return pm;
}

} // namespace

CArrowButton::CArrowButton(bool up, QWidget* parent) : QAbstractButton(parent), m_up(up) {
    setFocusPolicy(Qt::NoFocus);
}

const QPixmap& CArrowButton::Picture(bool up, bool pressed) {
    static const QPixmap pictures[2][2] = {{DrawArrow(false, false), DrawArrow(false, true)},
                                           {DrawArrow(true, false), DrawArrow(true, true)}};
    return pictures[up ? 1 : 0][pressed ? 1 : 0];
}

void CArrowButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPixmap& pm = Picture(m_up, isDown());
    p.drawPixmap((width() - pm.width()) / 2, (height() - pm.height()) / 2, pm);
}

CItemsBar::CItemsBar(int id, QWidget* parent)
    : QWidget(parent), m_delete(new QPushButton(QStringLiteral("Delete"), this)),
      m_qtyLabel(new QLabel(QStringLiteral("Qty: "), this)), m_qtyUp(new CArrowButton(true, this)),
      m_qtyDown(new CArrowButton(false, this)), m_backOrderLabel(new QLabel(QStringLiteral("Back Order: "), this)),
      m_backOrderUp(new CArrowButton(true, this)), m_backOrderDown(new CArrowButton(false, this)) {
    setObjectName(QString::number(id));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_delete->setObjectName(QString::number(kDeleteID));
    m_delete->setFocusPolicy(Qt::NoFocus);
    m_qtyUp->setObjectName(QString::number(kQtyUpID));
    m_qtyDown->setObjectName(QString::number(kQtyDownID));
    m_backOrderUp->setObjectName(QString::number(kBackOrderUpID));
    m_backOrderDown->setObjectName(QString::number(kBackOrderDownID));
    for (QLabel* label : {m_qtyLabel, m_backOrderLabel}) label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    connect(m_delete, &QPushButton::clicked, this, &CItemsBar::OnDelete);
    connect(m_qtyUp, &QAbstractButton::clicked, this, [this] { OnQuantity(true); });
    connect(m_qtyDown, &QAbstractButton::clicked, this, [this] { OnQuantity(false); });
    connect(m_backOrderUp, &QAbstractButton::clicked, this, [this] { OnBackOrder(true); });
    connect(m_backOrderDown, &QAbstractButton::clicked, this, [this] { OnBackOrder(false); });
}

bool CItemsBar::CanChangeLines() const { return m_items && !(m_invoices && m_invoices->IsGroupInvoice()); }

void CItemsBar::OnDelete() {
    if (CanChangeLines()) m_items->RemoveItem();
}

void CItemsBar::OnQuantity(bool up) {
    if (CanChangeLines()) m_items->ShiftQuantity(up);
}

void CItemsBar::OnBackOrder(bool up) {
    if (CanChangeLines()) m_items->ShiftBackOrder(up);
}

void CItemsBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const ItemsBarPlacement p = PlaceItemsBar(width(), height());
    m_delete->setText(p.deleteText);
    m_backOrderLabel->setText(p.backOrderText);
    m_delete->setGeometry(p.deleteButton);
    m_qtyLabel->setGeometry(p.qtyLabel);
    m_qtyUp->setGeometry(p.qtyUp);
    m_qtyDown->setGeometry(p.qtyDown);
    m_backOrderLabel->setGeometry(p.backOrderLabel);
    m_backOrderUp->setGeometry(p.backOrderUp);
    m_backOrderDown->setGeometry(p.backOrderDown);
}

void CItemsBar::mouseMoveEvent(QMouseEvent* event) {
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    QWidget::mouseMoveEvent(event);
}
