#pragma once

#include "invoices/invoicerules.h"
#include "ui/editdialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// Chooses changes to apply to several invoices at once. Each change applies only when its box is
// ticked; the status boxes start undecided and count only once clicked away from undecided.
class CInvoiceMultiEditDlg : public CEditDialog {
    Q_OBJECT
public:
    explicit CInvoiceMultiEditDlg(int priceChoice, QWidget* parent = nullptr);

    // The chosen changes; read after the dialog is accepted.
    CInvoiceMultiEdit Changes() const { return m_changes; }

public slots:
    void accept() override;

private:
    struct NumberField {
        QLineEdit* edit = nullptr;
        double value = 0.0;
    };
    void MakeExclusive(QCheckBox* a, QCheckBox* b);

    CInvoiceMultiEdit m_changes;
    NumberField m_discountRate, m_discountAmount, m_shipRate, m_shipAmount, m_taxRate;
    QCheckBox* m_checkDiscountPercent;
    QCheckBox* m_checkDiscountAmount;
    QCheckBox* m_checkShipRate;
    QCheckBox* m_checkShipAmount;
    QCheckBox* m_checkTaxRate;
    QCheckBox* m_checkUser1;
    QCheckBox* m_checkUser2;
    QCheckBox* m_checkPrice;
    QLineEdit* m_editUserField1;
    QLineEdit* m_editUserField2;
    QRadioButton* m_radioPrice[3];
    // Closed, Ordered, On Hold, Shipped, Received, Picked Up, with their touched marks.
    QCheckBox* m_status[6];
    bool m_touched[6] = {};
};
