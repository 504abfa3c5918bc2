#pragma once

#include "listwin/listwindow.h"

#include <memory>

class CInvoicesListCtrl;
class CStoreTabCtrl;

// The lines of the current invoice ("Items on Current Invoice") and the owner of the
// InvoiceItems table.
class CInvoiceItemsListCtrl : public CListWindow {
    Q_OBJECT
public:
    static constexpr int kWindowID = 34200;

    CInvoiceItemsListCtrl(CQuorvaneDoc* doc, QWidget* parent = nullptr);
    ~CInvoiceItemsListCtrl() override;

    void SetNeighbours(CInvoicesListCtrl* invoices, CStoreTabCtrl* stores) {
        m_pInvoices = invoices;
        m_pStores = stores;
    }

    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    void ReQueryRecordsetUsingID(int invoiceID);
    // Deletes every line of one invoice (through the third recordset), and only lines of that
    // invoice. False, with the engine's description in failure, when any of it failed; the
    // caller's transaction then undoes what was deleted.
    bool DeleteAllInvoiceItemsOf(int invoiceID, QString* failure = nullptr);
    void DeleteAllItems(); // empties the window only
    // Store items moved: the lines show their stores anew.
    void OnRefreshInvoiceItemPointers();
    // The invoice's price choice decides the unit price shown.
    void SetPriceChoice(int choice) { m_priceChoice = choice; }

protected:
    QString CellText(int columnIndex) override;

private:
    CInvoicesListCtrl* m_pInvoices = nullptr;
    CStoreTabCtrl* m_pStores = nullptr;
    std::unique_ptr<db::Recordset> m_pRecordSetB;
    std::unique_ptr<db::Recordset> m_pRecordSetC;
    int m_priceChoice = 0;
};
