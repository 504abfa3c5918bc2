#pragma once

#include <QWidget>

class CQuorvaneDoc;
class CCustomerListCtrl;
class CInvoicesListCtrl;
class CInvoiceItemsListCtrl;
class CStoreTabCtrl;
class CButtonBar;
class CItemsBar;

// The colours of the caption bars painted above the lists (0x00BBGGRR).
struct CaptionPaint {
    unsigned frame = 0x800000;
    unsigned text = 0xFFFFFF;
};

// The upper pane: customers, the selected customer's invoices and the current invoice's
// lines, each under a caption and above its button bar.
class CQuorvaneView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kItemBarID = 33400;

    explicit CQuorvaneView(CQuorvaneDoc* doc, QWidget* parent = nullptr);

    CCustomerListCtrl* Customers() const { return m_customers; }
    CInvoicesListCtrl* Invoices() const { return m_invoices; }
    CInvoiceItemsListCtrl* Items() const { return m_items; }
    CButtonBar* CustomerBar() const { return m_customerBar; }
    CButtonBar* InvoiceBar() const { return m_invoiceBar; }
    QWidget* ItemBar() const;
    CItemsBar* ItemsBar() const { return m_itemBar; }

    // The visibility of the lists follows the lower pane's store tabs.
    void SetStoreTabs(CStoreTabCtrl* tabs) { m_storeTabs = tabs; }
    void SetCaptionColors(const CaptionPaint& colors);
    // Shows the lists when a project with stores is open, hides them otherwise, and places them.
    void UpdateLayout();
    bool ListsShown() const;
    void FocusPane();

    int CaptionHeight() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CQuorvaneDoc* m_pDoc;
    CStoreTabCtrl* m_storeTabs = nullptr;
    CCustomerListCtrl* m_customers;
    CButtonBar* m_customerBar;
    CInvoicesListCtrl* m_invoices;
    CButtonBar* m_invoiceBar;
    CInvoiceItemsListCtrl* m_items;
    CItemsBar* m_itemBar;
    CaptionPaint m_colors;
};

// Paints one caption bar: the frame colour, the text 4 pixels in and 2 below the top.
void PaintCaption(QWidget* widget, const QRect& rect, const QString& text, const CaptionPaint& colors);
