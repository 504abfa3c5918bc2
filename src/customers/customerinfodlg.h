#pragma once

#include "customers/customerrecord.h"
#include "ui/editdialog.h"

class CPrompter;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// Edits one customer. Rates are typed as percentages or fractions and shown as percentages;
// the balance and the invoice count are shown only.
class CCustomerInfoDlg : public CEditDialog {
    Q_OBJECT
public:
    // Without a prompter an invalid customer number is refused without a message.
    CCustomerInfoDlg(const CCustomerRecord& record, QWidget* parent = nullptr, CPrompter* prompter = nullptr);
    CCustomerInfoDlg(const CCustomerRecord& record, CPrompter* prompter, QWidget* parent)
        : CCustomerInfoDlg(record, parent, prompter) {}

    // The edited record once the dialog is accepted.
    const CCustomerRecord& Record() const { return m_record; }

public slots:
    void accept() override;

private:
    void ReadTaxRate();
    void ReadDiscountRate();

    CCustomerRecord m_record;
    CPrompter* m_prompter;
    double m_taxRate;
    double m_discountRate;

    QLineEdit* m_editCustomerNbr;
    QCheckBox* m_checkBusiness;
    QCheckBox* m_checkTaxable;
    QCheckBox* m_checkGroup;
    QLineEdit* m_editName;
    QLineEdit* m_editAddress1;
    QLineEdit* m_editAddress2;
    QLineEdit* m_editCity;
    QLineEdit* m_editState;
    QLineEdit* m_editZip;
    QLineEdit* m_editPhone;
    QLineEdit* m_editWork;
    QLineEdit* m_editFax;
    QLineEdit* m_editUserField1;
    QLineEdit* m_editUserField2;
    QLineEdit* m_editComment;
    QRadioButton* m_radioPrice[3];
    QLineEdit* m_editTaxRate;
    QLineEdit* m_editDiscountRate;
    QLineEdit* m_editBalanceDue;
    QLineEdit* m_editInvoiceCnt;
};
