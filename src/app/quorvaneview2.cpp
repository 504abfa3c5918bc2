#include "quorvaneview2.h"

#include "app/appicon.h"
#include "app/viewlayout.h"
#include "project/quorvanedoc.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"

#include <QPainter>
#include <QStyle>

CQuorvaneView2::CQuorvaneView2(CQuorvaneDoc* doc, QWidget* parent)
    : QWidget(parent), m_pDoc(doc), m_storeTabs(new CStoreTabCtrl(doc, this)), m_picture(ProgramPixmap(64)) {
    setObjectName(QStringLiteral("QuorvaneView2"));
    setAutoFillBackground(true);
    m_storeTabs->hide();
}

int CQuorvaneView2::CaptionHeight() const { return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this); }

void CQuorvaneView2::SetCaptionColors(const CaptionPaint& colors) {
    m_colors = colors;
    update();
}

bool CQuorvaneView2::StoresShown() const { return m_pDoc->IsProjectOpen() && m_storeTabs->CanEdit(); }

void CQuorvaneView2::UpdateLayout() {
    if (StoresShown()) {
        m_storeTabs->setGeometry(LowerViewStoreRect(width(), height(), CaptionHeight()));
        m_storeTabs->SizeBar();
        m_storeTabs->show();
    } else {
        m_storeTabs->hide();
    }
    update();
}

void CQuorvaneView2::FocusPane() {
    if (!m_storeTabs->isVisible()) {
        setFocus(Qt::OtherFocusReason);
        return;
    }
    if (CStoreListCtrl* list = m_storeTabs->CurrentStoreList()) list->setFocus(Qt::OtherFocusReason);
    else m_storeTabs->setFocus(Qt::OtherFocusReason);
}

void CQuorvaneView2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateLayout();
}

void CQuorvaneView2::paintEvent(QPaintEvent*) {
    if (m_storeTabs->isVisible()) {
        PaintCaption(this, CaptionRectAbove(m_storeTabs->geometry(), CaptionHeight()),
                     QStringLiteral("List of Store Items"), m_colors);
        return;
    }
    QPainter p(this);
    p.drawPixmap(80, 50, m_picture);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawText(QRect(80, m_picture.height() + 70, std::max(width() - 80, 0), 2 * fontMetrics().height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, StartText());
}
