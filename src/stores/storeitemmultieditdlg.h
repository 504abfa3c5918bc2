#pragma once

#include "stores/pricingrules.h"
#include "ui/editdialog.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class CQuorvaneDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;

// Why a typed stock quantity is refused (a whole number that fits, never below 0); empty when
// it is taken.
QString StockQuantityRefusal(const std::optional<int>& quantity);

// Chooses changes to apply to several store items at once; each applies only when ticked.
class CStoreItemMultiEditDlg : public CEditDialog {
    Q_OBJECT
public:
    // doc: the store's discount table and container list fill the drop-downs; its prompter
    // shows the dialog's messages.
    explicit CStoreItemMultiEditDlg(CQuorvaneDoc* doc, QWidget* parent = nullptr);

    // The ticked changes and their values.
    CStoreItemMultiEdit Changes() const;

    // The current store's discount groups (name, stored value) and container names, in order.
    static std::vector<std::pair<QString, double>> DiscountTableOf(CQuorvaneDoc* doc);
    static QStringList ContainerListOf(CQuorvaneDoc* doc);

    // A drop-down of the current store's discount groups. Each entry keeps the group's name
    // and stored value as its data: names may hold blanks, the shown percent is rounded.
    static constexpr int kGroupNameRole = Qt::UserRole;
    static constexpr int kGroupValueRole = Qt::UserRole + 1;
    static void FillDiscountGroups(QComboBox* combo, CQuorvaneDoc* doc);
    static QString GroupName(const QComboBox* combo, int index);
    static double GroupValue(const QComboBox* combo, int index);

public slots:
    void accept() override;

private:
    void NumbersChanged() override;
    void ShowNumbers();
    void TakeChosenGroup();

    CQuorvaneDoc* m_doc;
    QString m_groupName;
    double m_groupPercent = 0.0;
    QString m_containerName;
    double m_basePrice = 0.0, m_discountPrice = 0.0, m_markupPrice = 0.0, m_markupPercent = 0.0;
    double m_shipPounds = 0.0, m_shipOunces = 0.0, m_prodPounds = 0.0, m_prodOunces = 0.0;

    QCheckBox* m_checkSearchItemCode;
    QCheckBox* m_checkChangeGroup;
    QComboBox* m_comboGroup;
    QCheckBox* m_checkSearchDescription;
    QCheckBox* m_checkChangeContainer;
    QComboBox* m_comboContainer;
    QCheckBox* m_checkBasePrice;
    QLineEdit* m_editBasePrice;
    QCheckBox* m_checkDiscountPrice;
    QLineEdit* m_editDiscountPrice;
    QCheckBox* m_checkMarkupPrice;
    QLineEdit* m_editMarkupPrice;
    QCheckBox* m_checkMarkupPercent;
    QLineEdit* m_editMarkupPercent;
    QCheckBox* m_checkStockQty;
    QLineEdit* m_editStockQty;
    QCheckBox* m_checkUser1;
    QLineEdit* m_editUser1;
    QCheckBox* m_checkUser2;
    QLineEdit* m_editUser2;
    QCheckBox* m_checkShipWeight;
    QLineEdit* m_editShipPounds;
    QLineEdit* m_editShipOunces;
    QCheckBox* m_checkProdWeight;
    QLineEdit* m_editProdPounds;
    QLineEdit* m_editProdOunces;
};
