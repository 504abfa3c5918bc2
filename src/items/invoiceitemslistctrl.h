#pragma once

#include "invoices/invoicerecord.h"
#include "listwin/listwindow.h"

#include <functional>
#include <memory>
#include <vector>

class CInvoicesListCtrl;
class CStoreListCtrl;
class CStoreTabCtrl;

// What buying hands to the invoice: the store item's values.
struct ItemPurchase {
    int StoreID = 0;
    int StoreItemID = 0;
    QString ItemCode;
    QString Description;
    double ItemWeight = 0;
    double BaseLinePrice = 0;
    double DiscountPrice = 0;
    double MarkupPrice = 0;
};

// One row of InvoiceItems in memory.
struct CInvoiceItemRecord {
    int ID = 0;
    int InvoiceID = 0;
    int StoreID = 0;
    int StoreItemID = 0;
    int InvoiceNumber = 0;
    QString ItemCode;
    QString Description;
    int Quantity = 0;
    int BackOrderCnt = 0;
    double ItemWeight = 0;
    double Price = 0;
    double BaseLinePrice = 0;
    double DiscountPrice = 0;
    double MarkupPrice = 0;
};

// The lines of the current invoice ("Items on Current Invoice") and the owner of the
// InvoiceItems table.
class CInvoiceItemsListCtrl : public CListWindow {
    Q_OBJECT
public:
    static constexpr int kWindowID = 34200;
    // Quantity and BackOrderCnt are 16-bit fields.
    static constexpr int kMaxQuantity = 32767;

    CInvoiceItemsListCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CInvoiceItemsListCtrl() override;

    void SetNeighbours(CInvoicesListCtrl* invoices, CStoreTabCtrl* stores) {
        m_pInvoices = invoices;
        m_pStores = stores;
    }

    // ---- record sets
    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    static void XferFromRecordset(const db::Recordset& rs, CInvoiceItemRecord& record);
    static void XferToRecordset(const CInvoiceItemRecord& record, db::Recordset& rs);
    bool FindStoreItemInRecordset(int storeItemID);
    bool FindStoreItemInRecordsetC(int storeItemID);
    bool ReQueryRecordset();                    // every line that belongs to an invoice
    bool ReQueryRecordsetUsingID(int invoiceID); // the invoice's lines, shown
    bool ReQueryRecordsetBUsingID(int invoiceID);
    bool ReQueryRecordsetCUsingID(int invoiceID);
    db::Recordset* GetPtrRecordsetB() const { return m_pRecordSetB.get(); }
    db::Recordset* GetPtrRecordsetC() const { return m_pRecordSetC.get(); }

    // ---- lines
    void AddItem(const ItemPurchase& purchase);
    void RemoveItem();
    void RemoveMultipleItems();
    void ShiftQuantity(bool up);
    void ShiftBackOrder(bool up);
    void OnEditDelItem() override; // the Delete key
    void OnEditItem() override {}  // lines are not edited by a dialog
    // Deletes every line of one invoice (through the third recordset), and only lines of that
    // invoice. False, with the engine's description in failure, when any of it failed; the
    // caller's transaction then undoes what was deleted.
    bool DeleteAllInvoiceItemsOf(int invoiceID, QString* failure = nullptr);
    void DeleteAllItems(); // empties the window only

    // ---- totals and read-out
    // Count, weight and subtotal of the shown invoice at the invoice list's price choice.
    bool GetItemTotals(int& count, double& weight, double& subtotal);
    // The same over record set C at the given price choice; false when C has no rows.
    bool GetItemTotalsUsingRecordsetC(int& count, double& weight, double& subtotal, int priceChoice);
    // The lines of any invoice at a price choice (through record set C).
    bool GetItemTotalsOfInvoice(int invoiceID, int priceChoice, int& count, double& weight, double& subtotal);
    // The shown invoice's lines for the invoice dialog, at the given price choice.
    std::vector<CInvoiceLineView> GetLinesForListBox(int priceChoice);
    void UpdateInvoiceRecord();

    // ---- matching to invoices and stores
    void RefreshItemPointers(CInvoiceItemRecord& record);
    void MatchItemToInvoiceAndStore();
    void MatchAllItemsToInvoicesAndStores();
    void OnRefreshInvoiceItemPointers();
    void FetchAllItemsFromStore();
    // Adds the lines of record set B to the group invoice (merging by store item). False, with
    // the engine's description in failure, when the copy failed: nothing of it is kept. A set B
    // without lines copies nothing and succeeds.
    bool CopyItemsToGroupInvoice(int groupInvoiceID, int groupInvoiceNumber, QString* failure = nullptr);

    void RefreshListCtrlFromRecordset() override;
    // The context menu: the column entries, and "Refresh", which first offers to refresh the
    // lines from their stores.
    void OnContextSelection(int commandID) override;

protected:
    QString CellText(int columnIndex) override;

private:
    // Runs one change of lines with all that follows from it (stock, the invoice's and the
    // customer's totals, the group) as one transaction. An engine error anywhere in it undoes
    // all of it and the windows show the rows as they are again; the error was shown by
    // whoever met it. False when it was undone.
    bool RunAsOne(const std::function<void()>& change);
    void ShowEngineError(const db::Error& e);
    // The invoice list's current invoice without moving its selection; -1 for none.
    int CurrentInvoiceID() const;
    // Makes the selected line current and loads it; false when there is none.
    bool LoadCurrentLine(CInvoiceItemRecord& line);
    void WriteLine(const CInvoiceItemRecord& line);
    // Brings the line's store to the front; its list then, or null when the store is gone.
    CStoreListCtrl* ShowLineStore(const CInvoiceItemRecord& line);
    // Moves amount units into the line's store's stock; found tells whether the store tracks
    // stock and holds the item. Returns the count before the change.
    int ChangeStock(const CInvoiceItemRecord& line, int amount, bool& found);
    void ShiftQuantityOfCurrentLine(bool up);
    void RefreshGroupTotals();
    void SelectLine(int id);
    // Calls fn on each line of the invoice that rs holds after a fresh requery (rows deleted
    // through another set are gone, rows of other invoices are passed over); the number of lines.
    int ForEachLineOf(db::Recordset& rs, int invoiceID, const std::function<void(const db::Recordset&)>& fn);

    CInvoicesListCtrl* m_pInvoices = nullptr;
    CStoreTabCtrl* m_pStores = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetB;
    std::unique_ptr<db::Recordset> m_pRecordSetC;
    int m_invoiceOfC = -1;   // the invoice record set C was last set to; 0 all, -1 none
    int m_invoiceShown = -1; // the same for the main record set
    int m_fillPriceChoice = -1; // during a refill
    std::vector<std::pair<CStoreListCtrl*, int>> m_touchedStock; // store items changed by a command
};
