#pragma once

#include <QWidget>

class CCustomerListCtrl;
class CInvoiceItemsListCtrl;
class CInvoicesListCtrl;
class CQuorvaneDoc;
class CStoreTabCtrl;

// The four lists wired to each other and to the document as the views wire them, on a window
// that is never shown: what work without the main window (qvtool, the demo, benchmarks) needs
// to run the lists' own operations. Closes the project when it goes.
class CHiddenLists {
public:
    explicit CHiddenLists(CQuorvaneDoc& doc);
    ~CHiddenLists();
    CHiddenLists(const CHiddenLists&) = delete;
    CHiddenLists& operator=(const CHiddenLists&) = delete;

private:
    QWidget m_window; // declared first: it owns the lists

public:
    CQuorvaneDoc& doc;
    CCustomerListCtrl* const customers;
    CInvoicesListCtrl* const invoices;
    CInvoiceItemsListCtrl* const items;
    CStoreTabCtrl* const stores;
};
