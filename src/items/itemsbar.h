#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class CInvoiceItemsListCtrl;
class CInvoicesListCtrl;

// A square button that shows a solid triangle on a raised face, and the same picture pressed
// in while it is held down.
class CArrowButton : public QAbstractButton {
    Q_OBJECT
public:
    CArrowButton(bool up, QWidget* parent = nullptr);
    bool PointsUp() const { return m_up; }
    // The 24 x 24 pictures: released and pressed. The two up buttons share one pair, the two
    // down buttons the other.
    static const QPixmap& Picture(bool up, bool pressed);
    QSize sizeHint() const override { return {24, 24}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_up;
};

// The bar under the invoice items list: Delete, and the quantity and back-order arrows.
class CItemsBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDeleteID = 33420;
    static constexpr int kQtyUpID = 33430;
    static constexpr int kQtyDownID = 33440;
    static constexpr int kBackOrderUpID = 33450;
    static constexpr int kBackOrderDownID = 33460;

    CItemsBar(int id, QWidget* parent = nullptr);
    void SetLists(CInvoiceItemsListCtrl* items, CInvoicesListCtrl* invoices) {
        m_items = items;
        m_invoices = invoices;
    }

    QPushButton* DeleteButton() const { return m_delete; }
    QLabel* QtyLabel() const { return m_qtyLabel; }
    QLabel* BackOrderLabel() const { return m_backOrderLabel; }
    CArrowButton* QtyUp() const { return m_qtyUp; }
    CArrowButton* QtyDown() const { return m_qtyDown; }
    CArrowButton* BackOrderUp() const { return m_backOrderUp; }
    CArrowButton* BackOrderDown() const { return m_backOrderDown; }

    void OnDelete();
    void OnQuantity(bool up);
    void OnBackOrder(bool up);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Lines of a group invoice come from its members: the bar changes none of them.
    bool CanChangeLines() const;

    CInvoiceItemsListCtrl* m_items = nullptr;
    CInvoicesListCtrl* m_invoices = nullptr;
    QPushButton* m_delete;
    QLabel* m_qtyLabel;
    CArrowButton* m_qtyUp;
    CArrowButton* m_qtyDown;
    QLabel* m_backOrderLabel;
    CArrowButton* m_backOrderUp;
    CArrowButton* m_backOrderDown;
};
