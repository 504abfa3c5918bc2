#include "items/invoiceitemslistctrl.h"

#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"

#include <QApplication>
#include <QHash>
#include <unordered_map>
#include <vector>

// Re-linking lines to their invoices and stores, refreshing them from the stores, and copying
// an invoice's lines into its group invoice.

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// What re-linking asks of the invoices and the stores, read once for a whole walk so that each
// line costs a few hash look-ups rather than a search of the tables. "First" means first in
// table order, as a search from the first row would find.
class CLinkIndex {
public:
    struct Invoice {
        int number = 0;
        bool closed = false;
    };

    CLinkIndex(db::Database& database, CStoreTabCtrl* stores) : m_db(database), m_pStores(stores) {}

    const Invoice* InvoiceOf(int id) {
        LoadInvoices();
        const auto it = m_invoices.find(id);
        return it == m_invoices.end() ? nullptr : &it->second;
    }
    int InvoiceWithNumber(int number) {
        LoadInvoices();
        const auto it = m_byNumber.find(number);
        return it == m_byNumber.end() ? -1 : it->second;
    }
    // The store whose item table holds the item (identifiers are unique over all stores) and
    // the item's code; nullptr when no store has it.
    struct Holder {
        int storeID = -1;
        QString code;
    };
    const Holder* StoreHolding(int storeItemID) {
        LoadStores();
        const auto it = m_holder.find(storeItemID);
        return it == m_holder.end() ? nullptr : &it->second;
    }
    // The first item with exactly this code: in the store on show first, then tab by tab from
    // the first. {-1, -1} when no store has it.
    std::pair<int, int> FindCode(const QString& code) {
        LoadStores();
        if (!m_pStores) return {-1, -1};
        const int shown = m_pStores->GetStoreIDFromIndex(m_pStores->GetCurrentStoreIndex());
        std::vector<int> order{shown};
        for (const Store& s : m_stores) order.push_back(s.id);
        for (const int storeID : order)
            for (const Store& s : m_stores)
                if (s.id == storeID) {
                    const auto it = s.codes.constFind(code);
                    if (it != s.codes.constEnd()) return {s.id, it.value()};
                }
        return {-1, -1};
    }
    CStoreListCtrl* ListOf(int storeID) {
        LoadLists();
        return m_lists.value(storeID, nullptr);
    }

private:
    struct Store {
        int id = -1;
        QHash<QString, int> codes; // code -> first item with it
    };

    void LoadInvoices() {
        if (m_invoicesLoaded) return;
        m_invoicesLoaded = true;
        db::Recordset rs(m_db);
        rs.open(QStringLiteral("select * from [Invoice]"));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            const int id = rs.intValue(QStringLiteral("ID"));
            const int number = rs.intValue(QStringLiteral("InvoiceNumber"));
            m_invoices.emplace(id, Invoice{number, rs.intValue(QStringLiteral("Closed")) != 0});
            m_byNumber.emplace(number, id);
        }
    }
    void LoadStores() {
        if (m_storesLoaded) return;
        m_storesLoaded = true;
        if (!m_pStores) return;
        for (int i = 0; i < m_pStores->GetStoreCount(); ++i) {
            Store store;
            store.id = m_pStores->GetStoreIDFromIndex(i);
            const QString table = QStringLiteral("StoreItems_%1").arg(store.id);
            if (store.id < 0 || !m_db.hasTable(table)) continue;
            db::Recordset rs(m_db);
            rs.open(QStringLiteral("select * from [%1]").arg(table));
            for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
                const int id = rs.intValue(QStringLiteral("ID"));
                const QString code = rs.textValue(QStringLiteral("ItemCode"));
                m_holder.emplace(id, Holder{store.id, code});
                if (!store.codes.contains(code)) store.codes.insert(code, id);
            }
            m_stores.push_back(std::move(store));
        }
    }
    void LoadLists() {
        if (m_listsLoaded || !m_pStores) return;
        m_listsLoaded = true;
        // By store rather than by tab: the tab window hands out the first tab's list only
        // while that tab is on show.
        for (CStoreListCtrl* list : m_pStores->findChildren<CStoreListCtrl*>())
            if (!m_lists.contains(list->GetStoreID())) m_lists.insert(list->GetStoreID(), list);
    }

    db::Database& m_db;
    CStoreTabCtrl* m_pStores;
    bool m_invoicesLoaded = false;
    bool m_storesLoaded = false;
    bool m_listsLoaded = false;
    std::unordered_map<int, Invoice> m_invoices;
    std::unordered_map<int, int> m_byNumber;
    std::unordered_map<int, Holder> m_holder;
    std::vector<Store> m_stores;
    QHash<int, CStoreListCtrl*> m_lists;
};

// Whose store item identifiers a line holds: the program's own, or another file's (an import),
// which name this project's items only where the item codes agree.
enum class ItemIDs { Ours, Imported };

// Re-points the line at its invoice and store item; true when a link changed. A link that
// still holds is kept: a line goes by item code only when its store item is in no store.
bool Relink(CInvoiceItemRecord& r, CLinkIndex& index, ItemIDs ids) {
    bool changed = false;
    const CLinkIndex::Invoice* invoice = index.InvoiceOf(r.InvoiceID);
    if (!invoice || invoice->number != r.InvoiceNumber) {
        const int found = index.InvoiceWithNumber(r.InvoiceNumber);
        if (found != -1 && found != r.InvoiceID) {
            r.InvoiceID = found;
            invoice = index.InvoiceOf(found);
            changed = true;
        }
    }
    const bool blank = r.ItemCode.trimmed().isEmpty();
    const CLinkIndex::Holder* holder = r.StoreItemID >= 1 ? index.StoreHolding(r.StoreItemID) : nullptr;
    if (holder && (ids == ItemIDs::Ours || blank || holder->code == r.ItemCode)) {
        // The item is there, perhaps moved to another store.
        if (holder->storeID != r.StoreID) {
            r.StoreID = holder->storeID;
            changed = true;
        }
        return changed;
    }
    // A broken link. A closed invoice is a record of what was sold: it is not re-pointed at
    // other goods; a blank code names nothing.
    if ((invoice && invoice->closed) || blank) return changed;
    const auto [storeID, itemID] = index.FindCode(r.ItemCode);
    if (itemID == -1) return changed;
    if (storeID != r.StoreID || itemID != r.StoreItemID) changed = true;
    r.StoreID = storeID;
    r.StoreItemID = itemID;
    return changed;
}

// The price choice an older line's one price stands for, given the store item's prices.
int ChoiceForOlderPrice(double price, double base, double discount, double markup) {
    if (price <= discount + (base - discount) * 0.5) return 1;
    if (base < markup) return price <= base + (markup - base) * 0.5 ? 0 : 2;
    return price > markup + (base - markup) * 0.5 ? 0 : 2;
}

// Re-links the line and completes its prices and description; true when it must be written.
// An older line's price choice is handed to setChoice.
template <typename SetChoice>
bool MatchLine(CInvoiceItemRecord& r, CLinkIndex& index, SetChoice&& setChoice) {
    bool changed = Relink(r, index, ItemIDs::Imported);
    const bool noPrices = r.BaseLinePrice == 0.0 && r.DiscountPrice == 0.0 && r.MarkupPrice == 0.0;
    if (r.StoreItemID < 1) {
        // Untied: the one price is all there is; prices already there are kept.
        if (noPrices && r.Price != 0.0) {
            r.BaseLinePrice = r.DiscountPrice = r.MarkupPrice = r.Price;
            changed = true;
        }
        return changed;
    }
    CStoreListCtrl* list = index.ListOf(r.StoreID);
    double weight = 0, base = 0, discount = 0, markup = 0;
    if (r.Price > 0 && noPrices && list && list->GetWeightAndPrices(r.StoreItemID, weight, base, discount, markup)) {
        // The line keeps its one price whatever choice the invoice makes.
        r.BaseLinePrice = r.DiscountPrice = r.MarkupPrice = r.Price;
        changed = true;
        if (r.InvoiceID > 0 && index.InvoiceOf(r.InvoiceID))
            setChoice(r.InvoiceID, ChoiceForOlderPrice(r.Price, base, discount, markup));
    }
    if (r.Description.size() < 2 && list) {
        const QString description = list->GetItemDescription(r.StoreItemID);
        if (!description.isEmpty() && description != r.Description) {
            r.Description = description;
            changed = true;
        }
    }
    return changed;
}

// Writes an older line's price choice into its invoice, found by ID (never the one on show
// by default); a closed invoice keeps its own. A refused write ends the walk (throws db::Error).
auto PriceChoiceWriter(CInvoicesListCtrl* invoices) {
    return [invoices](int invoiceID, int choice) {
        if (!invoices) return;
        const std::uint64_t errorsBefore = db::Error::MadeCount();
        invoices->SetPriceChoiceOf(invoiceID, choice);
        if (db::Error::MadeCount() != errorsBefore)
            throw db::Error(QStringLiteral("The price choice of invoice %1 could not be written.").arg(invoiceID));
    };
}

// Writes the line back into the row of the recordset that holds it. Throws db::Error.
void StoreLine(db::Recordset& rs, const CInvoiceItemRecord& r) {
    const bool onIt = !rs.isBOF() && !rs.isEOF() && rs.intValue(QStringLiteral("ID")) == r.ID;
    if (!onIt && !rs.findFirst(QStringLiteral("ID = %1").arg(r.ID)))
        throw db::Error(QStringLiteral("The invoice item %1 is no longer there.").arg(r.ID));
    rs.edit();
    CInvoiceItemsListCtrl::XferToRecordset(r, rs);
    rs.update();
}

} // namespace

void CInvoiceItemsListCtrl::RefreshItemPointers(CInvoiceItemRecord& record) {
    Trace20("RefreshItemPointers");
    if (!CanProceed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    const CInvoiceItemRecord before = record;
    try {
        CLinkIndex index(rs.database(), m_pStores);
        if (Relink(record, index, ItemIDs::Ours)) StoreLine(rs, record);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        record = before;
    }
}

void CInvoiceItemsListCtrl::MatchItemToInvoiceAndStore() {
    Trace20("MatchItemToInvoiceAndStore");
    if (!CanProceed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        if (rs.isBOF() || rs.isEOF()) return;
        if (m_pInvoices) m_pInvoices->ReQueryRecordsetAll(); // the price choice is written through it
        CLinkIndex index(rs.database(), m_pStores);
        db::Transaction tx(rs.database());
        CInvoiceItemRecord r;
        XferFromRecordset(rs, r);
        if (MatchLine(r, index, PriceChoiceWriter(m_pInvoices)))
            StoreLine(rs, r);
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
}

void CInvoiceItemsListCtrl::MatchAllItemsToInvoicesAndStores() {
    Trace20("MatchAllItemsToInvoicesAndStores");
    if (!CanProceed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    if (rs.recordCount() == 0) return;
    WaitCursor wait;
    // Invoices just imported are written there too: the full set must hold them.
    if (m_pInvoices) m_pInvoices->ReQueryRecordsetAll();
    try {
        CLinkIndex index(rs.database(), m_pStores);
        db::Transaction tx(rs.database());
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            CInvoiceItemRecord r;
            XferFromRecordset(rs, r);
            if (MatchLine(r, index, PriceChoiceWriter(m_pInvoices)))
                StoreLine(rs, r);
        }
        tx.commit();
    } catch (const db::Error& e) {
        // Rolled back: every line and invoice is as it was before.
        Trace(10, e.description());
        Doc()->Prompter().MessageBox(e.description());
        if (m_pInvoices) m_pInvoices->RefreshListCtrlFromRecordset();
    }
    RefreshListCtrlFromRecordset();
}

void CInvoiceItemsListCtrl::OnRefreshInvoiceItemPointers() {
    Trace20("OnRefreshInvoiceItemPointers");
    const int current = m_pInvoices ? m_pInvoices->GetCurrentID() : -1;
    if (!ReQueryRecordset()) return;
    db::Recordset& rs = *GetPtrRecordset();
    if (rs.recordCount() > 0) {
        WaitCursor wait;
        try {
            CLinkIndex index(rs.database(), m_pStores);
            db::Transaction tx(rs.database());
            for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
                CInvoiceItemRecord r;
                XferFromRecordset(rs, r);
                if (Relink(r, index, ItemIDs::Ours)) StoreLine(rs, r);
            }
            tx.commit();
        } catch (const db::Error& e) {
            // Rolled back: every line is as it was before.
            Trace(10, e.description());
            Doc()->Prompter().MessageBox(e.description());
        }
    }
    // The list shows the current invoice's lines again, and only those.
    if (current >= 1) {
        ReQueryRecordsetUsingID(current);
        return;
    }
    try {
        rs.setFilter(QStringLiteral("[InvoiceID] = -1"));
        rs.requery();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    DeleteAllItems();
}

void CInvoiceItemsListCtrl::FetchAllItemsFromStore() {
    Trace20("FetchAllItemsFromStore");
    // A group invoice's lines are copies of its members' lines: they follow the members.
    if (!m_pInvoices || !CanProceed() || m_pInvoices->GetCurrentID() < 1 || m_pInvoices->IsInvoiceClosed() ||
        m_pInvoices->IsGroupInvoice())
        return;
    db::Recordset& rs = *GetPtrRecordset();
    if (rs.recordCount() == 0) return;
    const int invoiceID = m_pInvoices->GetCurrentID();
    {
        WaitCursor wait;
        try {
            // Each line is read from its own store's list; the store on show stays selected.
            CLinkIndex index(rs.database(), m_pStores);
            db::Transaction tx(rs.database());
            for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
                CInvoiceItemRecord r;
                XferFromRecordset(rs, r);
                if (r.InvoiceID != invoiceID) continue;
                CStoreListCtrl* list = index.ListOf(r.StoreID);
                double weight = 0, base = 0, discount = 0, markup = 0;
                // A line whose item is gone from its store keeps what it has.
                if (r.StoreItemID < 1 || !list || !list->GetWeightAndPrices(r.StoreItemID, weight, base, discount, markup))
                    continue;
                if (weight == r.ItemWeight && base == r.BaseLinePrice && discount == r.DiscountPrice &&
                    markup == r.MarkupPrice)
                    continue;
                r.ItemWeight = weight;
                r.BaseLinePrice = base;
                r.DiscountPrice = discount;
                r.MarkupPrice = markup;
                StoreLine(rs, r);
            }
            tx.commit();
        } catch (const db::Error& e) {
            Trace(10, e.description());
            Doc()->Prompter().MessageBox(e.description());
            RefreshListCtrlFromRecordset(); // the rolled-back lines show their stored values
            return;
        }
    }
    RefreshListCtrlFromRecordset();
    SelectOnly(0);
    // New line costs: the invoice's totals, and its group's, follow.
    UpdateInvoiceRecord();
    if (m_pInvoices->IsPartOfGroupInvoice()) m_pInvoices->UpdateGroupInvoiceTotals(m_pInvoices->GetInvoiceGroupID());
}

bool CInvoiceItemsListCtrl::CopyItemsToGroupInvoice(int groupInvoiceID, int groupInvoiceNumber, QString* failure) {
    Trace20("CopyItemsToGroupInvoice");
    const auto fail = [failure](const QString& why) {
        Trace(10, why);
        if (failure) *failure = why;
        return false;
    };
    if (!m_pRecordSetB || !m_pRecordSetB->isOpen()) return fail(QStringLiteral("The invoice items table is not open."));
    if (groupInvoiceID < 1) return fail(QStringLiteral("There is no group invoice to copy the lines into."));
    // A member without lines adds nothing: the rebuild goes on.
    if (m_pRecordSetB->recordCount() == 0) return true;
    db::Recordset& source = *m_pRecordSetB;
    try {
        db::Transaction tx(source.database());
        if (!ReQueryRecordsetCUsingID(groupInvoiceID)) return fail(QStringLiteral("Failed to read the group invoice's lines."));
        db::Recordset& group = *m_pRecordSetC;
        // The group's line of each store item; lines added here join C, and this map.
        std::unordered_map<int, int> lineOfItem;
        for (group.moveFirst(); !group.isEOF(); group.moveNext()) {
            const int item = group.intValue(QStringLiteral("StoreItemID"));
            if (item >= 1) lineOfItem.emplace(item, group.intValue(QStringLiteral("ID")));
        }
        // The member's lines are read before any is written: a write to the table makes every
        // set over it read its rows again.
        std::vector<CInvoiceItemRecord> lines;
        lines.reserve(std::size_t(source.recordCount()));
        for (source.moveFirst(); !source.isEOF(); source.moveNext()) {
            lines.emplace_back();
            XferFromRecordset(source, lines.back());
        }
        for (CInvoiceItemRecord& line : lines) {
            // Lines tied to no store item are different goods each: never merged.
            const auto merged = line.StoreItemID >= 1 ? lineOfItem.find(line.StoreItemID) : lineOfItem.end();
            if (merged != lineOfItem.end()) {
                if (!group.findFirst(QStringLiteral("ID = %1").arg(merged->second)))
                    throw db::Error(QStringLiteral("The group invoice's item %1 is no longer there.").arg(merged->second));
                group.edit();
                group.setValue(QStringLiteral("Quantity"), group.intValue(QStringLiteral("Quantity")) + line.Quantity);
                group.setValue(QStringLiteral("BackOrderCnt"),
                               group.intValue(QStringLiteral("BackOrderCnt")) + line.BackOrderCnt);
                group.update();
                continue;
            }
            line.ID = Doc()->GetHighWaterInvItemsID();
            line.InvoiceID = groupInvoiceID;
            line.InvoiceNumber = groupInvoiceNumber;
            group.addNew();
            XferToRecordset(line, group);
            group.update();
            Doc()->IncrementInvItemsID();
            if (line.StoreItemID >= 1) lineOfItem.emplace(line.StoreItemID, line.ID);
        }
        tx.commit();
        return true;
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}
