#include "quorvaneview.h"

#include "app/viewlayout.h"
#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "items/itemsbar.h"
#include "listwin/buttonbar.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"
#include "ui/qtprompter.h"

#include <QPainter>
#include <QStyle>

void PaintCaption(QWidget* widget, const QRect& rect, const QString& text, const CaptionPaint& colors) {
    QPainter p(widget);
    p.fillRect(rect, CQtPrompter::ToQColor(colors.frame));
    p.setPen(CQtPrompter::ToQColor(colors.text));
    p.drawText(rect.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

CQuorvaneView::CQuorvaneView(CQuorvaneDoc* doc, QWidget* parent)
    : QWidget(parent), m_pDoc(doc), m_customers(new CCustomerListCtrl(doc, this)),
      m_customerBar(new CButtonBar(33200, this)), m_invoices(new CInvoicesListCtrl(doc, this)),
      m_invoiceBar(new CButtonBar(34300, this)), m_items(new CInvoiceItemsListCtrl(doc, this)),
      m_itemBar(new CItemsBar(kItemBarID, this)) {
    setObjectName(QStringLiteral("QuorvaneView"));
    m_customerBar->setObjectName(QStringLiteral("33200"));
    m_invoiceBar->setObjectName(QStringLiteral("34300"));
    m_itemBar->SetLists(m_items, m_invoices);
    connect(m_customerBar, &CButtonBar::newClicked, m_customers, &CListWindow::OnEditAddItem);
    connect(m_customerBar, &CButtonBar::editClicked, m_customers, &CListWindow::OnEditItem);
    connect(m_customerBar, &CButtonBar::deleteClicked, m_customers, &CListWindow::OnEditDelItem);
    connect(m_invoiceBar, &CButtonBar::newClicked, m_invoices, &CListWindow::OnEditAddItem);
    connect(m_invoiceBar, &CButtonBar::editClicked, m_invoices, &CListWindow::OnEditItem);
    connect(m_invoiceBar, &CButtonBar::deleteClicked, m_invoices, &CListWindow::OnEditDelItem);
    for (QWidget* w : std::initializer_list<QWidget*>{m_customers, m_customerBar, m_invoices, m_invoiceBar, m_items, m_itemBar})
        w->hide();
}

QWidget* CQuorvaneView::ItemBar() const { return m_itemBar; }

int CQuorvaneView::CaptionHeight() const { return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this); }

void CQuorvaneView::SetCaptionColors(const CaptionPaint& colors) {
    m_colors = colors;
    update();
}

bool CQuorvaneView::ListsShown() const {
    return m_pDoc->IsProjectOpen() && m_storeTabs && m_storeTabs->CanEdit();
}

void CQuorvaneView::UpdateLayout() {
    const bool shown = ListsShown();
    const UpperViewRects r = UpperViewLayout(width(), height(), CaptionHeight());
    const std::pair<QWidget*, QRect> placed[] = {{m_customers, r.customerList}, {m_customerBar, r.customerBar},
                                                 {m_invoices, r.invoiceList},   {m_invoiceBar, r.invoiceBar},
                                                 {m_items, r.itemList},         {m_itemBar, r.itemBar}};
    for (const auto& [widget, rect] : placed) {
        if (shown) widget->setGeometry(rect);
        widget->setVisible(shown);
    }
    update();
}

void CQuorvaneView::FocusPane() {
    if (m_customers->isVisible()) m_customers->setFocus(Qt::OtherFocusReason);
    else setFocus(Qt::OtherFocusReason);
}

void CQuorvaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateLayout();
}

void CQuorvaneView::paintEvent(QPaintEvent*) {
    if (!m_customers->isVisible()) return;
    const int c = CaptionHeight();
    PaintCaption(this, CaptionRectAbove(m_customers->geometry(), c), QStringLiteral("List of Customers"), m_colors);
    PaintCaption(this, CaptionRectAbove(m_invoices->geometry(), c), QStringLiteral("List of Invoices"), m_colors);
    PaintCaption(this, CaptionRectAbove(m_items->geometry(), c), QStringLiteral("Items on Current Invoice"), m_colors);
}
