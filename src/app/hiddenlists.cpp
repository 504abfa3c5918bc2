#include "app/hiddenlists.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"

CHiddenLists::CHiddenLists(CQuorvaneDoc& d)
    : doc(d), customers(new CCustomerListCtrl(&d, &m_window)), invoices(new CInvoicesListCtrl(&d, &m_window)),
      items(new CInvoiceItemsListCtrl(&d, &m_window)), stores(new CStoreTabCtrl(&d, &m_window)) {
    m_window.resize(1000, 900);
    customers->setGeometry(0, 0, 1000, 250);
    invoices->setGeometry(0, 250, 1000, 150);
    items->setGeometry(0, 400, 1000, 100);
    stores->setGeometry(0, 500, 1000, 400);
    customers->SetInvoiceList(invoices);
    invoices->SetNeighbours(customers, items, stores);
    items->SetNeighbours(invoices, stores);
    doc.SetListOwners(customers, invoices, items, stores);
}

CHiddenLists::~CHiddenLists() {
    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
}
