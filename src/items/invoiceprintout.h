#pragma once

#include "customers/customerrecord.h"
#include "invoices/invoicerecord.h"
#include "items/invoiceitemslistctrl.h"
#include "print/printblocks.h"
#include "print/printout.h"
#include "stores/storerecord.h"

#include <QDate>
#include <optional>
#include <vector>

class CCustomerListCtrl;
class CInvoicesListCtrl;
class CStoreTabCtrl;

// What an invoice printout shows, read once from the lists when a print run starts.
struct InvoicePrintData {
    CStoreRecord store;
    std::optional<CCustomerRecord> customer;
    std::optional<CInvoiceRecord> invoice;
    std::vector<CInvoiceItemRecord> lines; // in the item list's row order
    QDate today = QDate::currentDate();
};

// Reads the current store, customer and invoice and the invoice's lines in the list's order;
// every record set walked is put back on the row it stood on.
InvoicePrintData ReadInvoicePrintData(CCustomerListCtrl& customers, CInvoicesListCtrl& invoices,
                                      CInvoiceItemsListCtrl& items, CStoreTabCtrl& stores);

// The invoice: page header, store, customer and invoice blocks on the first page, the lines over
// as many pages as they need, each page with its headings, and the totals on the last page.
class CInvoicePrintout : public CPrintout {
public:
    explicit CInvoicePrintout(InvoicePrintData data) : m_data(std::move(data)) {}
    int CountPages(CPrintSurface& surface, PageRect page) override;
    void PrintPage(CPrintSurface& surface, PageRect page, int n) override;
    const InvoicePrintData& Data() const { return m_data; }

private:
    int FirstPageBlocks(const printblocks::Frame& f, int n);
    int CustomerBlock(const printblocks::Frame& f, int y);
    int InvoiceHeader(const printblocks::Frame& f, int y);
    // 0 when counting found the page full.
    int ItemLines(const printblocks::Frame& f, int y, int n);
    // 0 when counting found that the block does not fit.
    int TotalsBlock(const printblocks::Frame& f, int y);

    InvoicePrintData m_data;
    printblocks::PageStarts m_starts;
    int m_pages = 1;
};
