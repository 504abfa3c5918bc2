#pragma once

#include "listwin/listwindow.h"
#include "stores/storeitemrecord.h"

#include <QPointer>
#include <QSet>
#include <QTimer>
#include <functional>

class CStoreTabCtrl;
class QProgressDialog;

// The price list of one store, under its tab, and the owner of its "StoreItems_%d" table.
class CStoreListCtrl : public CListWindow {
    Q_OBJECT
public:
    CStoreListCtrl(CQuorvaneDoc* doc, CStoreTabCtrl* tabs, QWidget* parent = nullptr);
    ~CStoreListCtrl() override;

    void DefineTableName(int storeID);
    int GetStoreID() const { return m_storeID; }

    static void XferRecordsetToDlg(const db::Recordset& rs, CStoreItemRecord& record);
    static void XferDlgToRecordset(const CStoreItemRecord& record, db::Recordset& rs);

    // ---- record commands
    void OnEditAddItem() override;
    // Stores a new item (the add command after the dialog's OK) and stands on it.
    bool AddStoreItem(CStoreItemRecord& record);
    void OnEditItem() override;
    void OnEditDelItem() override;
    void DeleteMultipleItems();
    void EditMultipleItems();
    // Searches the other items for the text (any letter case) in code, description and user fields.
    bool OnFindItem(const QString& text);

    // ---- buying onto the current invoice
    // The "Buy" button: every selected (or focused) item, top to bottom.
    void OnBuyItems();
    // Enter or Insert: the same, without a message when there is no invoice to buy onto.
    void OnBuyKeys();
    void AddItemToInvoice(int row);
    // Moves amount units into the item's stock (never below 0) when this store tracks stock
    // and holds the item; found tells whether it did. Returns the count before the change
    // (0 when nothing changed).
    int ChangeStockQuantityByAmount(int storeItemID, int amount, bool* found = nullptr);

    // ---- queries of other lists
    int GetStoreItemIDFromItemCode(const QString& code);
    // The item's description; empty when the store has no such item.
    QString GetItemDescription(int id);
    // False, with the outputs untouched, when the store has no such item.
    bool GetWeightAndPrices(int id, double& shipPounds, double& basePrice, double& discountPrice,
                            double& markupPrice);

    // ---- pricing applied to the current item and to all items of the store
    void UpdateCurrentRecordDiscPercent(const QString& groupName, double percent);
    void UpdateCurrentRecordContainerName(const QString& name);
    void ResetAllDiscCategories();
    void ResetAllContainerNames();
    // groups: only the items of these groups (exact names) are recomputed; all when none given.
    void UpdateAllItemsFromDiscountTable(int discTableID, const QSet<QString>* groups = nullptr);
    void UpdateAllItemsFromContainerList(int containerID);
    void ValidateAllRecords();

    // ---- selected-row underlines
    void PaintUnderlines(int delayMs);
    // The colour of the line under a row: current and marked, other marked, or none (white).
    QColor UnderlineColor(int row) const;

protected:
    QString CellText(int columnIndex) override;
    void OnRowActivated(int id) override;
    void AfterRefresh() override;
    void RefillProgress(int done, int total) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void BuySelectedRows();
    // Runs fn on every row of the table in one transaction; a failed row is traced and skipped.
    template <typename Fn> void ForEachItem(Fn fn);
    void StandOnRow(int row);
    // A write the engine refused is traced and counted; the user is told at once, or once at
    // the end of a command that writes many items (RefusalBatch).
    void WriteRefused(const db::Error& e);
    std::function<void(const db::Error&)> Refused();
    void TellRefused();
    struct RefusalBatch;

    CStoreTabCtrl* m_pTabs;
    int m_storeID = -1;
    QTimer m_underlineTimer;
    QPointer<QProgressDialog> m_progress;
    int m_progressShown = 0;
    int m_refused = 0;
    QString m_firstRefusal;
    int m_batchDepth = 0;
};
