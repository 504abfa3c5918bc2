#pragma once

#include "customers/customermultieditrules.h"
#include "ui/editdialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// Chooses changes to apply to several customers at once. Each change applies only when its box
// is ticked; the three flags start undecided and apply only once the user has clicked them.
class CCustomerMultiEditDlg : public CEditDialog {
    Q_OBJECT
public:
    explicit CCustomerMultiEditDlg(int activePriceChoice, QWidget* parent = nullptr);

    // The chosen changes; read after the dialog is accepted.
    const CCustomerMultiEdit& Changes() const { return m_changes; }

public slots:
    void accept() override;

private:
    struct RateField {
        QLineEdit* edit = nullptr;
        double rate = 0.0;
    };
    void ReadRate(RateField& field);
    static int FlagState(const QCheckBox* box, bool clicked);

    CCustomerMultiEdit m_changes;
    RateField m_discount;
    RateField m_tax;
    bool m_businessClicked = false;
    bool m_taxableClicked = false;
    bool m_groupClicked = false;

    QCheckBox* m_checkCity;
    QCheckBox* m_checkState;
    QCheckBox* m_checkZip;
    QCheckBox* m_checkDiscount;
    QCheckBox* m_checkTax;
    QCheckBox* m_checkUser1;
    QCheckBox* m_checkUser2;
    QCheckBox* m_checkPrice;
    QLineEdit* m_editCity;
    QLineEdit* m_editState;
    QLineEdit* m_editZip;
    QLineEdit* m_editUserField1;
    QLineEdit* m_editUserField2;
    QRadioButton* m_radioPrice[3];
    QCheckBox* m_checkBusiness;
    QCheckBox* m_checkTaxable;
    QCheckBox* m_checkGroup;
};
