#include "invoiceitemslistctrl.h"

#include "invoices/invoiceslistctrl.h"
#include "invoices/invoicerules.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"

CInvoiceItemsListCtrl::CInvoiceItemsListCtrl(CQuorvaneDoc* doc, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CInvoiceItemsListCtrl"), schema::InvoiceItems(), QStringLiteral("Invoice Items"),
                  InvoiceItemColumnSet(), kInvoiceItemColumnGroup, parent) {
    setObjectName(QString::number(kWindowID));
}

CInvoiceItemsListCtrl::~CInvoiceItemsListCtrl() = default;

bool CInvoiceItemsListCtrl::OpenDaoRecordset(db::Database& database) {
    if (!CListWindow::OpenDaoRecordset(database)) return false;
    try {
        m_pRecordSetB = std::make_unique<db::Recordset>(database);
        m_pRecordSetB->open(QStringLiteral("select * from [InvoiceItems]"));
        m_pRecordSetC = std::make_unique<db::Recordset>(database);
        m_pRecordSetC->open(QStringLiteral("select * from [InvoiceItems]"));
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] = -1"));
        GetPtrRecordset()->requery();
        // Buying looks lines up by store item: in a file that never had that index, building it
        // over every line belongs to opening, not to the first Buy.
        database.ensureIndex(QStringLiteral("InvoiceItems"), QStringLiteral("StoreItemID"));
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

void CInvoiceItemsListCtrl::CleanUp() {
    CListWindow::CleanUp();
    m_pRecordSetB.reset();
    m_pRecordSetC.reset();
}

bool CInvoiceItemsListCtrl::ReQueryRecordsetUsingID(int invoiceID) {
    Trace20("ReQueryRecordsetUsingID");
    if (!CanProceed()) return false;
    try {
        m_invoiceShown = -1;
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        GetPtrRecordset()->requery();
        m_invoiceShown = invoiceID;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
    RefreshListCtrlFromRecordset();
    return true;
}

void CInvoiceItemsListCtrl::XferFromRecordset(const db::Recordset& rs, CInvoiceItemRecord& r) {
    r.ID = rs.intValue(QStringLiteral("ID"));
    r.InvoiceID = rs.intValue(QStringLiteral("InvoiceID"));
    r.StoreID = rs.intValue(QStringLiteral("StoreID"));
    r.StoreItemID = rs.intValue(QStringLiteral("StoreItemID"));
    r.InvoiceNumber = rs.intValue(QStringLiteral("InvoiceNumber"));
    r.ItemCode = rs.textValue(QStringLiteral("ItemCode"));
    r.Description = rs.textValue(QStringLiteral("Description"));
    r.Quantity = rs.intValue(QStringLiteral("Quantity"));
    r.BackOrderCnt = rs.intValue(QStringLiteral("BackOrderCnt"));
    r.ItemWeight = rs.doubleValue(QStringLiteral("ItemWeight"));
    r.Price = rs.doubleValue(QStringLiteral("Price"));
    r.BaseLinePrice = rs.doubleValue(QStringLiteral("BaseLinePrice"));
    r.DiscountPrice = rs.doubleValue(QStringLiteral("DiscountPrice"));
    r.MarkupPrice = rs.doubleValue(QStringLiteral("MarkupPrice"));
}

void CInvoiceItemsListCtrl::XferToRecordset(const CInvoiceItemRecord& r, db::Recordset& rs) {
    rs.setValue(QStringLiteral("ID"), r.ID);
    rs.setValue(QStringLiteral("InvoiceID"), r.InvoiceID);
    rs.setValue(QStringLiteral("StoreID"), r.StoreID);
    rs.setValue(QStringLiteral("StoreItemID"), r.StoreItemID);
    rs.setValue(QStringLiteral("InvoiceNumber"), r.InvoiceNumber);
    rs.setValue(QStringLiteral("ItemCode"), CRecordTable::Blank(r.ItemCode));
    rs.setValue(QStringLiteral("Description"), CRecordTable::Blank(r.Description));
    rs.setValue(QStringLiteral("Quantity"), r.Quantity);
    rs.setValue(QStringLiteral("BackOrderCnt"), r.BackOrderCnt);
    rs.setValue(QStringLiteral("ItemWeight"), r.ItemWeight);
    rs.setValue(QStringLiteral("Price"), r.Price);
    rs.setValue(QStringLiteral("BaseLinePrice"), r.BaseLinePrice);
    rs.setValue(QStringLiteral("DiscountPrice"), r.DiscountPrice);
    rs.setValue(QStringLiteral("MarkupPrice"), r.MarkupPrice);
}

// ---------------------------------------------------------------- not built yet
namespace {

bool FindStoreItemIn(db::Recordset* rs, int storeItemID) {
    if (!rs || !rs->isOpen() || rs->recordCount() == 0) return false;
    try {
        return rs->findFirst(QStringLiteral("StoreItemID = %1").arg(storeItemID));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

// B and C: a failed requery makes the set anew holding no lines, never all of them.
bool RequerySecondary(std::unique_ptr<db::Recordset>& rs, int invoiceID, QString* failure = nullptr) {
    if (invoiceID < 0 || !rs) return false;
    try {
        rs->setFilter(invoiceID == 0 ? QStringLiteral("[InvoiceID] > 0") : QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        rs->requery();
        if (!rs->isEOF()) rs->moveLast();
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (failure) *failure = e.description();
        db::Database& database = rs->database();
        rs.reset();
        try {
            rs = std::make_unique<db::Recordset>(database);
            rs->open(QStringLiteral("select * from [InvoiceItems]"));
            rs->setFilter(QStringLiteral("[InvoiceID] = -1"));
            rs->requery();
        } catch (const db::Error& again) {
            Trace(10, again.description());
            rs.reset();
        }
        return false;
    }
}

} // namespace

bool CInvoiceItemsListCtrl::FindStoreItemInRecordset(int storeItemID) {
    return FindStoreItemIn(GetPtrRecordset(), storeItemID);
}

bool CInvoiceItemsListCtrl::FindStoreItemInRecordsetC(int storeItemID) {
    return FindStoreItemIn(m_pRecordSetC.get(), storeItemID);
}

bool CInvoiceItemsListCtrl::ReQueryRecordset() {
    Trace20("ReQueryRecordset");
    if (!CanProceed()) return false;
    try {
        m_invoiceShown = -1;
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] > 0"));
        GetPtrRecordset()->requery();
        m_invoiceShown = 0;
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

bool CInvoiceItemsListCtrl::ReQueryRecordsetBUsingID(int invoiceID) {
    Trace20("ReQueryRecordsetBUsingID");
    return RequerySecondary(m_pRecordSetB, invoiceID);
}

bool CInvoiceItemsListCtrl::ReQueryRecordsetCUsingID(int invoiceID) {
    Trace20("ReQueryRecordsetCUsingID");
    const bool done = RequerySecondary(m_pRecordSetC, invoiceID);
    m_invoiceOfC = done ? invoiceID : -1;
    return done;
}

// ---------------------------------------------------------------- helpers

void CInvoiceItemsListCtrl::ShowEngineError(const db::Error& e) {
    Trace(10, QStringLiteral("CInvoiceItemsListCtrl: ") + e.description());
    Doc()->Prompter().MessageBox(e.description());
}

int CInvoiceItemsListCtrl::CurrentInvoiceID() const {
    if (!m_pInvoices) return -1;
    const int row = m_pInvoices->GetCurrentRow();
    return row >= 0 && row < m_pInvoices->GetItemCount() ? m_pInvoices->GetItemID(row) : -1;
}

bool CInvoiceItemsListCtrl::RunAsOne(const std::function<void()>& change) {
    const int lineID = m_currentID;
    m_touchedStock.clear();
    const std::uint64_t errorsBefore = db::Error::MadeCount();
    try {
        db::Transaction tx(GetPtrRecordset()->database());
        change();
        // Those called on the way catch and show their own failures: any of them undoes it all.
        if (db::Error::MadeCount() == errorsBefore) {
            tx.commit();
            return true;
        }
    } catch (const db::Error& e) {
        ShowEngineError(e);
    }
    Trace(10, QStringLiteral("CInvoiceItemsListCtrl: the change was undone."));
    // The record sets are back where they were; the windows show the stored rows again.
    RefreshListCtrlFromRecordset();
    SelectLine(lineID);
    for (const auto& [list, itemID] : m_touchedStock) {
        if (!list || !list->ActivateRecordInRecordset(itemID)) continue;
        list->PutRecordToListCtrl(false);
        if (list->GetCurrentRow() >= 0) list->ActivateRecordInRecordset(list->GetItemID(list->GetCurrentRow()));
    }
    m_touchedStock.clear();
    const int invoiceID = CurrentInvoiceID();
    if (m_pInvoices && invoiceID >= 0 && m_pInvoices->ActivateRecordInRecordset(invoiceID))
        m_pInvoices->PutRecordToListCtrl(false);
    if (auto* customers = dynamic_cast<CListWindow*>(Doc()->GetCustomerOwner())) {
        const int row = customers->GetCurrentRow();
        if (row >= 0 && customers->ActivateRecordInRecordset(customers->GetItemID(row)))
            customers->PutRecordToListCtrl(false);
    }
    return false;
}

bool CInvoiceItemsListCtrl::LoadCurrentLine(CInvoiceItemRecord& line) {
    const int id = GetCurrentID();
    if (id < 0 || !ActivateRecordInRecordset(id)) return false;
    try {
        XferFromRecordset(*GetPtrRecordset(), line);
        return true;
    } catch (const db::Error& e) {
        ShowEngineError(e);
        return false;
    }
}

void CInvoiceItemsListCtrl::WriteLine(const CInvoiceItemRecord& line) {
    db::Recordset& rs = *GetPtrRecordset();
    if (!ActivateRecordInRecordset(line.ID))
        throw db::Error(QStringLiteral("The item line %1 is no longer stored.").arg(line.ID));
    WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { XferToRecordset(line, r); },
             [](const db::Error& e) { throw e; });
}

CStoreListCtrl* CInvoiceItemsListCtrl::ShowLineStore(const CInvoiceItemRecord& line) {
    if (!m_pStores || !m_pStores->CanEdit()) return nullptr;
    CStoreListCtrl* list = m_pStores->GetPtrStoreLC(0);
    if (!list || list->GetStoreID() != line.StoreID) {
        m_pStores->ShowStoreTabUsingID(line.StoreID);
        list = m_pStores->GetPtrStoreLC(0);
    }
    // A line of a store that is gone reaches no store's stock.
    return list && list->GetStoreID() == line.StoreID ? list : nullptr;
}

int CInvoiceItemsListCtrl::ChangeStock(const CInvoiceItemRecord& line, int amount, bool& found) {
    found = false;
    CStoreListCtrl* list = ShowLineStore(line);
    if (!list || line.StoreItemID < 1) return 0;
    const int old = list->ChangeStockQuantityByAmount(line.StoreItemID, amount, &found);
    if (found) m_touchedStock.emplace_back(list, line.StoreItemID);
    return old;
}

void CInvoiceItemsListCtrl::RefreshGroupTotals() {
    if (m_pInvoices && m_pInvoices->IsPartOfGroupInvoice())
        m_pInvoices->UpdateGroupInvoiceTotals(m_pInvoices->GetInvoiceGroupID());
}

void CInvoiceItemsListCtrl::SelectLine(int id) {
    const int row = Model()->RowOfID(id);
    if (row < 0) return;
    SelectOnly(row);
    scrollTo(Model()->index(row, 0));
}

int CInvoiceItemsListCtrl::ForEachLineOf(db::Recordset& rs, int invoiceID,
                                         const std::function<void(const db::Recordset&)>& fn) {
    rs.requery();
    int lines = 0;
    if (rs.recordCount() == 0) return 0;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        const int owner = rs.intValue(QStringLiteral("InvoiceID"));
        if (invoiceID == 0 ? owner <= 0 : owner != invoiceID) continue;
        ++lines;
        fn(rs);
    }
    return lines;
}

namespace {

struct LineAmounts {
    int shipped = 0;
    double unitPrice = 0;
    double weight = 0;
    double cost = 0;
};

LineAmounts AmountsOf(const db::Recordset& rs, int priceChoice) {
    LineAmounts a;
    a.shipped = rs.intValue(QStringLiteral("Quantity")) - rs.intValue(QStringLiteral("BackOrderCnt"));
    a.unitPrice = UnitPriceForChoice(priceChoice, rs.doubleValue(QStringLiteral("BaseLinePrice")),
                                     rs.doubleValue(QStringLiteral("DiscountPrice")),
                                     rs.doubleValue(QStringLiteral("MarkupPrice")));
    a.weight = a.shipped * rs.doubleValue(QStringLiteral("ItemWeight"));
    a.cost = a.shipped * a.unitPrice;
    return a;
}

} // namespace

// ---------------------------------------------------------------- lines

void CInvoiceItemsListCtrl::AddItem(const ItemPurchase& purchase) {
    Trace20("AddItem");
    if (!CanProceed() || !m_pInvoices || m_pInvoices->IsInvoiceClosed()) return;
    const int invoiceID = m_pInvoices->GetCurrentID();
    if (invoiceID == -1) {
        Doc()->Prompter().MessageBox(QStringLiteral("Select an invoice first!\n"));
        return;
    }
    // A group invoice's lines are its members' lines.
    if (m_pInvoices->IsGroupInvoice()) return;
    if (m_invoiceShown != invoiceID) ReQueryRecordsetUsingID(invoiceID);
    RunAsOne([&] {
        if (purchase.StoreItemID >= 1 && FindStoreItemInRecordset(purchase.StoreItemID)) {
            const int id = GetPtrRecordset()->intValue(QStringLiteral("ID"));
            SelectLine(id);
            ActivateRecordInRecordset(id);
            ShiftQuantityOfCurrentLine(true);
            return;
        }
        CInvoiceItemRecord line;
        line.InvoiceID = invoiceID;
        line.StoreID = purchase.StoreID;
        line.StoreItemID = purchase.StoreItemID;
        line.InvoiceNumber = m_pInvoices->GetInvoiceNumber();
        line.ItemCode = purchase.ItemCode;
        line.Description = purchase.Description;
        line.ItemWeight = purchase.ItemWeight;
        line.Price = purchase.BaseLinePrice;
        line.BaseLinePrice = purchase.BaseLinePrice;
        line.DiscountPrice = purchase.DiscountPrice;
        line.MarkupPrice = purchase.MarkupPrice;
        line.Quantity = 1;
        // A unit the tracked stock cannot give is on back order from the start.
        bool found = false;
        if (ChangeStock(line, -1, found) == 0 && found) line.BackOrderCnt = 1;
        db::Recordset& rs = *GetPtrRecordset();
        const bool stored = Doc()->StoreWithNewID(CQuorvaneDoc::InvItemsID, [&](int id) {
            line.ID = id;
            return WriteRow(rs, RowWrite::Add, [&](db::Recordset& r) { XferToRecordset(line, r); },
                            [](const db::Error& e) { throw e; });
        });
        if (!stored) return; // shown there; the transaction is undone
        ActivateRecordInRecordset(line.ID);
        PutRecordToListCtrl(true);
        SelectLine(line.ID);
        UpdateInvoiceRecord();
        RefreshGroupTotals();
    });
}

void CInvoiceItemsListCtrl::ShiftQuantityOfCurrentLine(bool up) {
    CInvoiceItemRecord line;
    XferFromRecordset(*GetPtrRecordset(), line);
    if (up) {
        if (line.Quantity >= kMaxQuantity) {
            Trace(10, QStringLiteral("CInvoiceItemsListCtrl::ShiftQuantity(): the line holds %1 units, the most "
                                     "a line can hold; nothing was changed.")
                          .arg(line.Quantity));
            return;
        }
        bool found = false;
        const int old = ChangeStock(line, -1, found);
        ++line.Quantity;
        if (found && old == 0) ++line.BackOrderCnt;
    } else if (line.Quantity > 1) {
        --line.Quantity;
        if (line.BackOrderCnt > 0) {
            --line.BackOrderCnt;
        } else {
            bool found = false;
            ChangeStock(line, +1, found);
        }
    }
    WriteLine(line);
    PutRecordToListCtrl(false);
    UpdateInvoiceRecord();
    RefreshGroupTotals();
}

void CInvoiceItemsListCtrl::ShiftQuantity(bool up) {
    Trace20("ShiftQuantity");
    if (!CanProceed() || !m_pInvoices || m_pInvoices->IsInvoiceClosed()) return;
    if (m_pInvoices->GetCurrentID() == -1) {
        Doc()->Prompter().MessageBox(QStringLiteral("Select an invoice first!\n"));
        return;
    }
    CInvoiceItemRecord line;
    if (GetItemCount() == 0 || !LoadCurrentLine(line)) return;
    RunAsOne([&] {
        if (!ActivateRecordInRecordset(line.ID)) throw db::Error(QStringLiteral("The item line is no longer stored."));
        ShiftQuantityOfCurrentLine(up);
    });
}

void CInvoiceItemsListCtrl::ShiftBackOrder(bool up) {
    Trace20("ShiftBackOrder");
    if (!CanProceed() || !m_pInvoices || m_pInvoices->IsInvoiceClosed()) return;
    if (m_pInvoices->GetCurrentID() == -1) {
        Doc()->Prompter().MessageBox(QStringLiteral("Select an invoice first!\n"));
        return;
    }
    CInvoiceItemRecord line;
    if (GetItemCount() == 0 || !LoadCurrentLine(line)) return;
    RunAsOne([&] {
        // A unit put on back order is no longer shipped: it goes back to a tracked stock, and
        // one taken off back order comes out of it.
        bool found = false;
        if (up) {
            if (line.BackOrderCnt < line.Quantity) {
                ++line.BackOrderCnt;
                ChangeStock(line, +1, found);
            } else {
                line.BackOrderCnt = line.Quantity;
            }
        } else if (line.BackOrderCnt > 0) {
            --line.BackOrderCnt;
            ChangeStock(line, -1, found);
        } else {
            line.BackOrderCnt = 0;
        }
        WriteLine(line);
        PutRecordToListCtrl(false);
        UpdateInvoiceRecord();
        RefreshGroupTotals();
    });
}

void CInvoiceItemsListCtrl::RemoveItem() {
    Trace20("RemoveItem");
    if (!CanProceed() || !m_pInvoices || m_pInvoices->IsInvoiceClosed() || !CanEdit()) return;
    if (GetSelectedCount() > 1) {
        RemoveMultipleItems();
        return;
    }
    CInvoiceItemRecord line;
    if (!LoadCurrentLine(line)) return;
    if (m_currentRow >= 0) scrollTo(Model()->index(m_currentRow, 0));
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete Item?"))) return;
    RunAsOne([&] {
        db::Recordset& rs = *GetPtrRecordset();
        if (!ActivateRecordInRecordset(line.ID)) throw db::Error(QStringLiteral("The item line is no longer stored."));
        rs.removeAndStepBack();
        const int next = rs.isBOF() || rs.isEOF() ? -1 : rs.intValue(QStringLiteral("ID"));
        Model()->RemoveRow(Model()->RowOfID(line.ID));
        m_currentRow = -1;
        bool found = false;
        ChangeStock(line, std::max(0, line.Quantity - line.BackOrderCnt), found);
        if (next >= 0) SelectLine(next);
        UpdateInvoiceRecord();
        RefreshGroupTotals();
    });
}

void CInvoiceItemsListCtrl::RemoveMultipleItems() {
    Trace20("RemoveMultipleItems");
    if (!CanProceed() || !m_pInvoices || m_pInvoices->IsInvoiceClosed()) return;
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete all selected items?"))) return;
    const std::vector<int> ids = GetSelectedIDs();
    if (ids.empty()) return;
    scrollTo(Model()->index(Model()->RowOfID(ids.front()), 0));
    viewport()->update();
    RunAsOne([&] {
        db::Recordset& rs = *GetPtrRecordset();
        QSet<int> gone;
        for (int id : ids) {
            if (!ActivateRecordInRecordset(id)) continue;
            CInvoiceItemRecord line;
            XferFromRecordset(rs, line);
            rs.remove();
            gone.insert(id);
            bool found = false;
            ChangeStock(line, std::max(0, line.Quantity - line.BackOrderCnt), found);
        }
        RemoveRowsWithIDs(gone);
        ClearSelected();
        if (GetItemCount() > 0) {
            const int top = indexAt(QPoint(1, 1)).row();
            SelectLine(GetItemID(top >= 0 ? top : 0));
        }
        UpdateInvoiceRecord();
        RefreshGroupTotals();
    });
}

void CInvoiceItemsListCtrl::OnEditDelItem() {
    Trace20("OnEditDelItem");
    // The lines of a group invoice come from its members; a closed invoice is frozen.
    if (!m_pInvoices || m_pInvoices->IsGroupInvoice() || m_pInvoices->IsInvoiceClosed()) return;
    RemoveItem();
}

// ---------------------------------------------------------------- totals and read-out

bool CInvoiceItemsListCtrl::GetItemTotals(int& count, double& weight, double& subtotal) {
    Trace20("GetItemTotals");
    count = GetItemCount();
    const int invoiceID = CurrentInvoiceID();
    if (invoiceID < 0 || !CanProceed() || !m_pInvoices) return false;
    if (m_invoiceShown != invoiceID && !ReQueryRecordsetUsingID(invoiceID)) return false;
    const int choice = m_pInvoices->GetPriceChoice();
    double w = 0, sum = 0;
    int lines = 0;
    try {
        lines = ForEachLineOf(*GetPtrRecordset(), invoiceID, [&](const db::Recordset& rs) {
            const LineAmounts a = AmountsOf(rs, choice);
            w += a.weight;
            sum += a.cost;
        });
    } catch (const db::Error& e) {
        ShowEngineError(e);
        ActivateRecordInRecordset(m_currentID);
        return false;
    }
    // Lines deleted or added through the other record sets: the list shows what is stored.
    if (lines != GetItemCount()) {
        const int id = m_currentID;
        RefreshListCtrlFromRecordset();
        SelectLine(id);
    }
    ActivateRecordInRecordset(m_currentID);
    count = lines;
    weight += w;
    subtotal += sum;
    return true;
}

bool CInvoiceItemsListCtrl::GetItemTotalsUsingRecordsetC(int& count, double& weight, double& subtotal,
                                                         int priceChoice) {
    Trace20("GetItemTotalsUsingRecordsetC");
    if (!m_pRecordSetC || m_invoiceOfC < 0) return false;
    double w = 0, sum = 0;
    int lines = 0;
    try {
        lines = ForEachLineOf(*m_pRecordSetC, m_invoiceOfC, [&](const db::Recordset& rs) {
            const LineAmounts a = AmountsOf(rs, priceChoice);
            w += a.weight;
            sum += a.cost;
        });
    } catch (const db::Error& e) {
        ShowEngineError(e);
        return false;
    }
    if (lines == 0) return false;
    count = lines;
    weight += w;
    subtotal += sum;
    return true;
}

bool CInvoiceItemsListCtrl::GetItemTotalsOfInvoice(int invoiceID, int priceChoice, int& count, double& weight,
                                                   double& subtotal) {
    count = 0;
    weight = 0;
    subtotal = 0;
    if (invoiceID < 1) return false;
    const std::uint64_t errorsBefore = db::Error::MadeCount();
    if (!ReQueryRecordsetCUsingID(invoiceID)) return false;
    GetItemTotalsUsingRecordsetC(count, weight, subtotal, priceChoice); // false: no lines
    return db::Error::MadeCount() == errorsBefore;
}

std::vector<CInvoiceLineView> CInvoiceItemsListCtrl::GetLinesForListBox(int priceChoice) {
    Trace20("GetLinesForListBox");
    std::vector<CInvoiceLineView> lines;
    if (!CanProceed() || m_invoiceShown < 1) return lines;
    try {
        ForEachLineOf(*GetPtrRecordset(), m_invoiceShown, [&](const db::Recordset& rs) {
            CInvoiceLineView v;
            v.ID = rs.intValue(QStringLiteral("ID"));
            v.ItemCode = rs.textValue(QStringLiteral("ItemCode"));
            v.Description = rs.textValue(QStringLiteral("Description"));
            v.Quantity = rs.intValue(QStringLiteral("Quantity"));
            v.BackOrderCnt = rs.intValue(QStringLiteral("BackOrderCnt"));
            v.UnitWeight = rs.doubleValue(QStringLiteral("ItemWeight"));
            v.UnitPrice = AmountsOf(rs, priceChoice).unitPrice;
            lines.push_back(v);
        });
    } catch (const db::Error& e) {
        ShowEngineError(e);
    }
    ActivateRecordInRecordset(m_currentID);
    return lines;
}

void CInvoiceItemsListCtrl::UpdateInvoiceRecord() {
    // Sent: the invoice and its customer are recomputed before this returns.
    if (m_pInvoices) m_pInvoices->OnRefreshTotals();
}

// ---------------------------------------------------------------- the list

void CInvoiceItemsListCtrl::OnContextSelection(int commandID) {
    Trace20("OnContextSelection");
    if (commandID != kColumnMenuFirstID + Columns().Count()) {
        CListWindow::OnContextSelection(commandID);
        return;
    }
    if (GetItemCount() == 0) return;
    if (m_pInvoices && CurrentInvoiceID() >= 0 && !m_pInvoices->IsInvoiceClosed() && !m_pInvoices->IsGroupInvoice() &&
        Doc()->Prompter().MessageBox(QStringLiteral("Refresh all items from store(s)?"), CPrompter::Buttons::YesNo,
                                     CPrompter::Icon::Question, CPrompter::Answer::Yes) == CPrompter::Answer::Yes)
        FetchAllItemsFromStore();
    const int id = m_currentID;
    ActivateListCtrlColumns();
    RefreshListCtrlFromRecordset();
    SelectLine(id);
    SaveColumnDefinitions();
}

void CInvoiceItemsListCtrl::RefreshListCtrlFromRecordset() {
    // Every row of a refill shows the same invoice's price choice: asked once.
    m_fillPriceChoice = m_pInvoices ? m_pInvoices->GetPriceChoice() : 0;
    CListWindow::RefreshListCtrlFromRecordset();
    m_fillPriceChoice = -1;
}

void CInvoiceItemsListCtrl::DeleteAllItems() {
    Model()->Clear();
    m_currentRow = -1;
}

bool CInvoiceItemsListCtrl::DeleteAllInvoiceItemsOf(int invoiceID, QString* failure) {
    Trace20("DeleteAllInvoiceItemsOf");
    if (!m_pRecordSetC) {
        if (failure) *failure = QStringLiteral("The invoice items table is not open.");
        return false;
    }
    m_invoiceOfC = -1;
    if (invoiceID < 1 || !RequerySecondary(m_pRecordSetC, invoiceID, failure)) {
        if (failure && failure->isEmpty()) *failure = QStringLiteral("The invoice items table is not open.");
        return false;
    }
    m_invoiceOfC = invoiceID;
    db::Recordset& rs = *m_pRecordSetC;
    try {
        db::Transaction tx(rs.database());
        rs.moveFirst();
        while (!rs.isEOF()) {
            if (rs.intValue(QStringLiteral("InvoiceID")) == invoiceID) rs.remove();
            rs.moveNext();
        }
        tx.commit();
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (failure) *failure = e.description();
        return false;
    }
}

QString CInvoiceItemsListCtrl::CellText(int column) {
    const db::Recordset& rs = *GetPtrRecordset();
    const int shipped = rs.intValue(QStringLiteral("Quantity")) - rs.intValue(QStringLiteral("BackOrderCnt"));
    const int choice = m_fillPriceChoice >= 0 ? m_fillPriceChoice : m_pInvoices ? m_pInvoices->GetPriceChoice() : 0;
    const double unit = UnitPriceForChoice(choice, rs.doubleValue(QStringLiteral("BaseLinePrice")),
                                           rs.doubleValue(QStringLiteral("DiscountPrice")),
                                           rs.doubleValue(QStringLiteral("MarkupPrice")));
    switch (column) {
    case 0: return m_pStores ? m_pStores->GetStoreNameFromID(rs.intValue(QStringLiteral("StoreID"))) : QStringLiteral(" ");
    case 1: return rs.textValue(QStringLiteral("ItemCode"));
    case 2: return rs.textValue(QStringLiteral("Description"));
    case 3: return QString::number(rs.intValue(QStringLiteral("Quantity")));
    case 4: return QString::number(rs.intValue(QStringLiteral("BackOrderCnt")));
    case 5: return QString::number(shipped);
    case 6: return FormatC("%5.1f", shipped * rs.doubleValue(QStringLiteral("ItemWeight")));
    case 7: return FormatC(kFormatMoney7, unit);
    case 8: return FormatC(kFormatMoney7, shipped * unit);
    default: return {};
    }
}
