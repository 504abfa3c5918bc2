#pragma once

#include "customers/customerrecord.h"
#include "listwin/listwindow.h"

#include <memory>
#include <vector>

class CInvoicesListCtrl;

// The customer list of the upper view and the owner of the Customer table.
class CCustomerListCtrl : public CListWindow {
    Q_OBJECT
public:
    static constexpr int kWindowID = 33100;

    CCustomerListCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CCustomerListCtrl() override;

    void SetInvoiceList(CInvoicesListCtrl* invoices) { m_pInvoices = invoices; }

    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    bool ActivateRecordInRecordset(int id) override;
    bool ActivateRecordInRecordsetB(int id);
    void ReQueryRecordsetB();
    db::Recordset* GetPtrRecordsetB() const { return m_pRecordSetB.get(); }

    static void XferRecordsetToDlg(const db::Recordset& rs, CCustomerRecord& record);
    static void XferDlgToRecordset(const CCustomerRecord& record, db::Recordset& rs);

    void OnEditAddItem() override;
    // Stores a new customer (the add command after the dialog's OK) and selects it.
    bool AddCustomer(CCustomerRecord& record);
    void OnEditItem() override;
    void OnEditDelItem() override;
    void EditMultipleItems();
    void DeleteMultipleItems();
    void ValidateAllRecords();

    // Queries about the customer the main recordset stands on.
    int GetCustomerID();
    int GetCustomerNumber();
    double GetCustomerDefTaxRate();
    double GetCustomerDefDiscountRate();
    int GetCustomerPriceChoice();
    bool IsTaxable();
    bool IsGroupOrder();
    int GetCustomerIDFromCustomerNumber(int number);
    QString GetCustomerName(int id);
    bool HasDuplicateNumbers() const { return m_duplicateNumbers; }

    // Totals refreshed by the invoice list.
    void OnRefreshTotals();
    void OnRefreshAllTotals();
    void OnRefreshGroupTotals(int customerID);

    static QString CellTextOf(const db::Recordset& rs, int columnIndex);

protected:
    QString CellText(int columnIndex) override;
    void OnRowActivated(int id) override;

private:
    QVariant Field(const char* name);
    void ShowEngineError(const db::Error& e);
    void RaiseNumberCounter(int number);
    // One customer's invoices, their lines and its row, inside the caller's transaction.
    bool DeleteCustomerWithInvoices(int id, QString& failure);
    // All of them in one transaction, or none with a message.
    bool DeleteCustomersWithInvoices(const std::vector<int>& ids);

    CInvoicesListCtrl* m_pInvoices = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetB;
    bool m_duplicateNumbers = false;
};
