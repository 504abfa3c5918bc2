#pragma once

#include "stores/storerecord.h"
#include "ui/editdialog.h"

class CDaoGroupedStringList;
class CQuorvaneDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Edits one store: its names and address, whether it tracks stock, the container list and
// discount table its items use, and the default shipping cost per pound.
class CStoreInfoDlg : public CEditDialog {
    Q_OBJECT
public:
    // itemCount: the store's items, whose containers or discounts a new list would reset.
    // projectHasStores: false disables the buttons that edit the lists.
    CStoreInfoDlg(const CStoreRecord& record, CQuorvaneDoc* doc, int itemCount, bool projectHasStores,
                  QWidget* parent = nullptr);

    // The edited record once the dialog is accepted.
    const CStoreRecord& Record() const { return m_record; }
    // Whether the user chose another container list or discount table.
    bool ContainerListChanged() const { return m_containerListChanged; }
    bool DiscTableChanged() const { return m_discTableChanged; }

    // Reloads both lists from the project (after their names were edited) and selects the
    // store's current entries again.
    void RefillLists();

public slots:
    void accept() override;

signals:
    void containersRequested();
    void discountTablesRequested();

private:
    static int FillList(QComboBox* combo, CDaoGroupedStringList* list, int selectID);
    // Asks before a new choice resets the store's items; false puts the previous entry back.
    bool ConfirmChoice(QComboBox* combo, int& previousIndex, const QString& warning);
    void OnContainerListChosen();
    void OnDiscTableChosen();
    void ReadShippingCost();

    CStoreRecord m_record;
    CQuorvaneDoc* m_doc;
    int m_itemCount;
    bool m_containerListChanged = false;
    bool m_discTableChanged = false;
    int m_containerIndex = -1;
    int m_discTableIndex = -1;
    double m_shippingCost;

    QLineEdit* m_editStoreTabName;
    QLineEdit* m_editStoreName;
    QLineEdit* m_editAddress1;
    QLineEdit* m_editAddress2;
    QLineEdit* m_editCity;
    QLineEdit* m_editState;
    QLineEdit* m_editZip;
    QLineEdit* m_editPhone;
    QLineEdit* m_editPhone2;
    QLineEdit* m_editFax;
    QLineEdit* m_editComment;
    QCheckBox* m_checkTrackInventory;
    QComboBox* m_comboContainerList;
    QPushButton* m_buttonContainers;
    QComboBox* m_comboDiscTable;
    QPushButton* m_buttonDiscTables;
    QLineEdit* m_editShippingCost;
};
