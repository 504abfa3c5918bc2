#pragma once

#include "invoices/invoicerecord.h"
#include "invoices/invoicerules.h"
#include "listwin/listwindow.h"

#include <memory>

class CCustomerListCtrl;
class CInvoiceItemsListCtrl;
class CStoreTabCtrl;

// The invoice list of the upper view (the selected customer's invoices) and the owner of the
// Invoice table, with the group invoice bookkeeping.
class CInvoicesListCtrl : public CListWindow {
    Q_OBJECT
public:
    static constexpr int kWindowID = 34100;

    CInvoicesListCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CInvoicesListCtrl() override;

    void SetNeighbours(CCustomerListCtrl* customers, CInvoiceItemsListCtrl* items, CStoreTabCtrl* stores = nullptr) {
        m_pCustomers = customers;
        m_pItems = items;
        if (stores) m_pStores = stores;
    }

    // ---- record sets
    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    bool ActivateRecordInRecordset(int id) override;
    void ReQueryRecordsetUsingID(int customerID, bool clear);
    void ReQueryRecordsetAll();
    void ReQueryRecordsetGroups();
    db::Recordset* GetPtrRecordsetAll() const { return m_pRecordSetAll.get(); }
    db::Recordset* GetPtrRecordsetGroups() const { return m_pRecordSetGroups.get(); }
    static void XferRecordsetToDlg(const db::Recordset& rs, CInvoiceRecord& record);
    static void XferDlgToRecordset(const CInvoiceRecord& record, db::Recordset& rs);

    // ---- queries on the current invoice (the main set's current record)
    int GetInvoiceNumber();
    int GetInvoiceGroupID();
    int GetPriceChoice();
    bool IsGroupInvoice();
    bool IsPartOfGroupInvoice();
    bool IsInvoiceClosed();
    bool IsInvoiceOrdered();
    // By ID, read from the file (the full set): false when there is no such invoice.
    bool IsInvoiceClosed(int id);
    // The first invoice with the number over all invoices, without moving the main set; -1.
    int GetInvoiceIDFromInvoiceNumber(int number);
    // Writes the price choice of the current invoice (nothing for a closed one).
    bool SetPriceChoice(int choice);
    // The same for an invoice by ID, without moving the main set.
    bool SetPriceChoiceOf(int invoiceID, int choice);

    // ---- commands
    void OnEditAddItem() override;
    void OnEditItem() override;
    void OnEditDelItem() override;
    void DeleteMultipleItems();
    void EditMultipleItems();
    // Deletes every invoice of the customer with their lines, in one transaction, and only rows
    // whose CustomerID is that customer's. False, with the engine's description in failure,
    // when the invoices could not be found or deleted; nothing is deleted then.
    bool DeleteAllCustomerInvoices(int customerID, QString* failure = nullptr);
    void MatchAllInvoicesToCustomers();
    void ValidateAllRecords();
    bool FindOtherInvoiceWithNumber(int number, int exceptID);

    // ---- totals
    // The refresh-totals message of the item list: the current invoice from its lines.
    void OnRefreshTotals();
    void UpdateValuesFromSubTotal();
    void UpdateCustomerRecord();
    void GetItemTotals(int& count, double& balance);
    void GetItemTotalsUsingRecordsetGroups(int& count, double& balance, int customerID);
    // Grey item list for a closed or group invoice, white otherwise.
    void UpdateItemsBackgroundColors();

    // ---- group invoices
    int FindGroupRecordWithGroupID(int group);
    bool UpdateGroupInvoiceTotals(int group);
    bool MatchInvoicesToGroupInvoice(int group);
    void UpdateGroupCustomerRecord(int customerID);

    // The nine 16-pixel status pictures, drawn.
    static std::vector<QIcon> StatusIcons();

protected:
    QString CellText(int columnIndex) override;
    int RowIcon() override;
    void OnRowActivated(int id) override;

private:
    // A field of the current invoice; the main set is brought back to it first.
    QVariant CurrentValue(const char* field);
    static void WriteAmounts(db::Recordset& rs, const InvoiceAmounts& a);
    void ShowEngineError(const db::Error& e);

    CCustomerListCtrl* m_pCustomers = nullptr;
    CInvoiceItemsListCtrl* m_pItems = nullptr;
    CStoreTabCtrl* m_pStores = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetAll;
    std::unique_ptr<db::Recordset> m_pRecordSetGroups;
    bool m_duplicateNumbers = false;
};
