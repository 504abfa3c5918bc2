#pragma once

#include "listwin/listwindow.h"

#include <memory>

class CCustomerListCtrl;
class CInvoiceItemsListCtrl;

// The invoice list of the upper view (the selected customer's invoices) and the owner of the
// Invoice table.
class CInvoicesListCtrl : public CListWindow {
    Q_OBJECT
public:
    static constexpr int kWindowID = 34100;

    CInvoicesListCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CInvoicesListCtrl() override;

    void SetNeighbours(CCustomerListCtrl* customers, CInvoiceItemsListCtrl* items) {
        m_pCustomers = customers;
        m_pItems = items;
    }

    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    void ReQueryRecordsetUsingID(int customerID, bool clear);
    void ReQueryRecordsetAll();
    void ReQueryRecordsetGroups();
    db::Recordset* GetPtrRecordsetGroups() const { return m_pRecordSetGroups.get(); }

    // Deletes every invoice of the customer with their lines, in one transaction, and only rows
    // whose CustomerID is that customer's. False, with the engine's description in failure,
    // when the invoices could not be found or deleted; nothing is deleted then.
    bool DeleteAllCustomerInvoices(int customerID, QString* failure = nullptr);
    void GetItemTotals(int& count, double& balance);
    void GetItemTotalsUsingRecordsetGroups(int& count, double& balance, int customerID);
    void UpdateCustomerRecord();

    // Status text, status date and icon from the seven flags.
    struct Status {
        QString text;
        double date = 0.0;
        int icon = 0;
    };
    static Status DeriveStatus(const db::Recordset& rs);

protected:
    QString CellText(int columnIndex) override;

private:
    CCustomerListCtrl* m_pCustomers = nullptr;
    CInvoiceItemsListCtrl* m_pItems = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetAll;
    std::unique_ptr<db::Recordset> m_pRecordSetGroups;
};
