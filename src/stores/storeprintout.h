#pragma once

#include "print/printblocks.h"
#include "print/printout.h"
#include "stores/storeitemrecord.h"
#include "stores/storerecord.h"

#include <QDate>
#include <vector>

class CStoreTabCtrl;

// What a store list printout shows, read once from the store's list when a print run starts.
struct StorePrintData {
    CStoreRecord store;
    std::vector<CStoreItemRecord> items; // in the list window's row order
    QDate today = QDate::currentDate();
};

// Reads the current store and its items in the list's row order; the list's record set is put
// back on the row it stood on.
StorePrintData ReadStorePrintData(CStoreTabCtrl& stores);

// The price list of a store: page header and store block on the first page, then the items
// over as many pages as they need, each page with its headings.
class CStorePrintout : public CPrintout {
public:
    explicit CStorePrintout(StorePrintData data) : m_data(std::move(data)) {}
    int CountPages(CPrintSurface& surface, PageRect page) override;
    void PrintPage(CPrintSurface& surface, PageRect page, int n) override;
    const StorePrintData& Data() const { return m_data; }

private:
    int FirstPageBlocks(const printblocks::Frame& f, int n);
    // 0 when counting found the page full.
    int ItemLines(const printblocks::Frame& f, int y, int n);

    StorePrintData m_data;
    printblocks::PageStarts m_starts;
};
