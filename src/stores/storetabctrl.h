#pragma once

#include "project/tableowner.h"
#include "stores/storerecord.h"

#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QString>
#include <QTabBar>
#include <QWidget>
#include <memory>
#include <vector>

class CQuorvaneDoc;
class CStoreListCtrl;
class CButtonBar;
class CStoreInfoDlg;

// The lower view's tab window: one tab per store with its item list under it, the three bars
// below, and the owner of the Store table. Other lists ask it about the current store.
class CStoreTabCtrl : public QWidget, public IStoreTabsOwner {
    Q_OBJECT
public:
    static constexpr int kWindowID = 36100;
    // How an export or import command ended; a cancelled file dialog is not a failure.
    enum class ExchangeOutcome { Done, Failed, Cancelled };

    CStoreTabCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CStoreTabCtrl() override;

    // ---- the table
    bool DefineDaoTable(db::Database& database) override;
    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    bool CanProceed() const override;
    bool CanEdit() const { return m_tabs->count() > 0; }
    int GetStoreCount() const override { return int(m_lists.size()); }
    bool ActivateRecordInRecordset(int id);
    db::Recordset* GetPtrRecordset() const;
    static void XferRecordsetToDlg(const db::Recordset& rs, CStoreRecord& record);
    static void XferDlgToRecordset(const CStoreRecord& record, db::Recordset& rs);

    // ---- stores
    void OnEditAddItem() override;
    // Stores a new store with its item table and list (the add command after the dialog's OK).
    bool AddStore(CStoreRecord& record);
    void OnEditItem();
    void OnEditDelItem();
    void RefreshTabCtrlFromRecordset() override;
    bool AddStoredStore(int id) override;
    bool AddStoreListControl(bool create);
    void DisplayCurrentlySelectedStore();
    void ShowStoreTabUsingID(int id);
    // Copies (or moves) the selected items of the selected store into another store.
    void OnEditCopyStoreItem(bool move);
    // After the discount tables or container lists were edited: every store's items follow
    // their own store's table or list.
    void UpdateAllStoresFromDiscountTable();
    // Only the stores using a changed table, and there only the items of the changed groups.
    void UpdateAllStoresFromDiscountTable(const QHash<int, QSet<QString>>& changedEntries);
    void UpdateAllStoresFromContainerList();
    void OnFindItem();
    // The store exchange file: the selected store written to a file chosen by the user, in
    // the order its list shows; a file's store added as a new store, then selected. A failure
    // is shown before the result is returned.
    ExchangeOutcome ExportStoreAsMdb();
    ExchangeOutcome ImportStoreMdb();
    // The discount table and container list dialogs, starting on the current store's table or
    // list; afterwards every store follows what was changed.
    void ShowDiscountsDlg();
    void ShowContainersDlg();

    // ---- queries about stores
    int GetCurrentStoreIndex() const { return m_currentIndex; }
    int GetStoreIDFromIndex(int index) const;
    QString GetStoreNameFromID(int id) const;
    QString GetStoreNameFromIndex(int index) const;
    CStoreListCtrl* GetPtrStoreLC(int index) const;
    CStoreListCtrl* CurrentStoreList() const;
    // Read from the selected store's row (or the given store's), whichever row a walk left the
    // Store set on; the set stands on the selected store afterwards.
    double GetStoreShippingCost();
    bool IsTrackingStockQty();
    bool IsTrackingStockQty(int storeID);
    int GetStoreDiscTableIndex();
    void SetStoreDiscTableIndex(int id);
    int GetStoreContainerIndex();
    void SetStoreContainerIndex(int id);
    void RequeryLookupTable();
    void RequeryContainerList();

    // ---- layout
    void SizeLC(int index);
    void SizeBar();
    QTabBar* TabBar() const { return m_tabs; }
    CButtonBar* EditBar() const { return m_editBar; }
    QPushButton* BuyButton() const { return m_buyButton; }
    QLineEdit* FindEdit() const { return m_findEdit; }
    QPushButton* FindButton() const { return m_findButton; }

signals:
    void storesChanged();
    // Posted to the invoice item list after items moved between stores.
    void refreshItemPointersRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int StoreIDOfTab(int index) const;
    void ConnectListButtons(CStoreInfoDlg& dlg);
    void ReadStoreField(const char* field, QVariant& value);
    void ReadStoreFieldOf(int storeID, const char* field, QVariant& value);
    int SelectedStoreID() const;
    void WriteStoreField(const char* field, const QVariant& value);

    CQuorvaneDoc* m_pDoc;
    CRecordTable m_table;
    QTabBar* m_tabs;
    std::vector<CStoreListCtrl*> m_lists;
    int m_currentIndex = -1;
    int m_currentID = -1;
    int m_listsMade = 0;
    CButtonBar* m_editBar;
    QWidget* m_buyBar;
    QPushButton* m_buyButton;
    QWidget* m_findBar;
    QLineEdit* m_findEdit;
    QPushButton* m_findButton;
};
