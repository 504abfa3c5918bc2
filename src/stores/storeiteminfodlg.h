#pragma once

#include "stores/storeitemrecord.h"
#include "ui/editdialog.h"

#include <functional>
#include <vector>

class CQuorvaneDoc;
class QComboBox;
class QLineEdit;

// Edits one store item. Its prices follow each other: the discount price from the base price
// and the discount percent, the markup price from the discount price and the markup percent,
// and every price per ounce from the product weight.
class CStoreItemInfoDlg : public CEditDialog {
    Q_OBJECT
public:
    // doc: the store's discount table and container list fill the drop-downs; its prompter
    // shows the dialog's messages.
    CStoreItemInfoDlg(const CStoreItemRecord& record, CQuorvaneDoc* doc, QWidget* parent = nullptr);

    // The edited item once the dialog is accepted.
    const CStoreItemRecord& Record() const { return m_record; }

public slots:
    void accept() override;

private:
    void NumbersChanged() override;

    void FillLists();
    void TakeChosenGroup();
    void OnGroupChosen();
    void OnContainerChosen();

    void BaseTyped(double value);
    void DiscountPercentTyped(double value);
    void DiscountPriceTyped(double value);
    void MarkupPercentTyped(double value);
    void MarkupPriceTyped(double value);
    void ProdWeightTyped(double pounds, double ounces);
    void ShipWeightTyped(double pounds, double ounces);
    void RecomputeDiscount();
    void RecomputeMarkup();
    void RecomputePerOunce();

    void ShowPrices();
    void ShowWeights();
    void ShowPercents();

    CStoreItemRecord m_record;
    CQuorvaneDoc* m_doc;

    QLineEdit* m_editItemCode;
    QLineEdit* m_editQtyInStock;
    QLineEdit* m_editDescription;
    QComboBox* m_comboContainer;
    QLineEdit* m_editProdPounds;
    QLineEdit* m_editProdOunces;
    QLineEdit* m_editShipPounds;
    QLineEdit* m_editShipOunces;
    QLineEdit* m_editBasePrice;
    QLineEdit* m_editBasePerOz;
    QLineEdit* m_editDiscountPercent;
    QComboBox* m_comboDiscountGroup;
    QLineEdit* m_editDiscountPrice;
    QLineEdit* m_editDiscPerOz;
    QLineEdit* m_editMarkupPercent;
    QLineEdit* m_editMarkupPrice;
    QLineEdit* m_editMarkupPerOz;
    QLineEdit* m_editUserField1;
    QLineEdit* m_editUserField2;
};
