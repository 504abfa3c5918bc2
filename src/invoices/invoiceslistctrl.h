#pragma once

#include "invoices/invoicerecord.h"
#include "invoices/invoicerules.h"
#include "listwin/listwindow.h"

#include <QSet>
#include <QStringList>
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

    void SetNeighbours(CCustomerListCtrl* customers, CInvoiceItemsListCtrl* items, CStoreTabCtrl* stores) {
        m_pCustomers = customers;
        m_pItems = items;
        m_pStores = stores;
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
    // The values of a new invoice for the customer selected in the customer list.
    CInvoiceRecord NewInvoiceRecord();
    // Stores a new invoice (what the add command does after the dialog's OK): the identifier
    // and, for a group invoice, the group number are taken as it is stored; the counters move.
    bool AddInvoice(CInvoiceRecord& record);
    // Stores an edited invoice (what the dialog's OK does): the row, and the groups it left
    // and joined rebuilt, in one transaction; then a group invoice's members follow it.
    bool StoreEditedInvoice(const CInvoiceRecord& before, const CInvoiceRecord& edited);
    void OnEditAddItem() override;
    void OnEditItem() override;
    void OnEditDelItem() override;
    void DeleteMultipleItems();
    void EditMultipleItems();
    // Deletes every invoice of the customer with their lines, in one transaction, and only rows
    // whose CustomerID is that customer's. False, with the engine's description in failure,
    // when the invoices could not be found or deleted; nothing is deleted then.
    bool DeleteAllCustomerInvoices(int customerID, QString* failure = nullptr);
    // A customer's number changed: its invoices carry the new number (they are re-linked to
    // customers by it after an import). Inside the caller's transaction; throws db::Error.
    void SetCustomerNumberOfInvoices(int customerID, int number);
    void MatchAllInvoicesToCustomers();
    void ValidateAllRecords();
    bool FindOtherInvoiceWithNumber(int number, int exceptID);

    // ---- totals
    // The refresh-totals message of the item list: the current invoice from its lines.
    void OnRefreshTotals();
    void UpdateValuesFromSubTotal();
    void UpdateCustomerRecord();
    void GetItemTotals(int& count, double& balance);
    // The count and balance of every invoice of the customer; false (outputs 0) when the group
    // set could not be read, and the caller then writes nothing.
    bool GetItemTotalsUsingRecordsetGroups(int& count, double& balance, int customerID);
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
    // The group's members (not the group invoice), by the full set.
    std::vector<int> GroupMembers(int group);
    // Empties the group invoice and copies every member's lines into it, then totals it. Inside
    // the caller's transaction; throws db::Error.
    void RebuildGroupInvoice(int groupInvoiceID, int group);
    struct GroupRebuilds {
        QSet<int> groupInvoices;
        QSet<int> customers; // owners of the rebuilt group invoices
        QStringList closedMessages;
    };
    // Rebuilds the group inside the caller's transaction: the group invoice's ID, or -1 when
    // there is none or it is closed (then its message joins done). Throws db::Error.
    int RebuildGroupInTransaction(int group, GroupRebuilds& done);
    // After the commit: rows, lines and owners' totals on show follow; closed groups are told.
    void AfterGroupRebuilds(const GroupRebuilds& done);
    // Deletes the invoices with their lines and rebuilds the groups they were members of, in
    // one transaction; the engine's description is shown on failure and nothing is deleted.
    bool DeleteInvoices(const std::vector<int>& ids);
    void SelectAfterDelete(int row);
    void RaiseNumberCounter(int number);
    struct CInvoiceDlgServices DialogServices(bool existing);

    static void CopyGroupStatus(const CInvoiceRecord& from, CInvoiceRecord& to);
    void AfterGroupChange(int changedID);

    CCustomerListCtrl* m_pCustomers = nullptr;
    CInvoiceItemsListCtrl* m_pItems = nullptr;
    CStoreTabCtrl* m_pStores = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetAll;
    std::unique_ptr<db::Recordset> m_pRecordSetGroups;
    bool m_duplicateNumbers = false;
};
