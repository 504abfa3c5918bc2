#include "invoiceitemslistctrl.h"

#include "invoices/invoiceslistctrl.h"
#include "invoices/invoicerules.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
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
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        GetPtrRecordset()->requery();
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
bool RequerySecondary(std::unique_ptr<db::Recordset>& rs, int invoiceID) {
    if (invoiceID < 0 || !rs) return false;
    try {
        rs->setFilter(invoiceID == 0 ? QStringLiteral("[InvoiceID] > 0") : QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        rs->requery();
        if (!rs->isEOF()) rs->moveLast();
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
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
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] > 0"));
        GetPtrRecordset()->requery();
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
    return RequerySecondary(m_pRecordSetC, invoiceID);
}

void CInvoiceItemsListCtrl::AddItem(const ItemPurchase&) {}
void CInvoiceItemsListCtrl::RemoveItem() {}
void CInvoiceItemsListCtrl::RemoveMultipleItems() {}
void CInvoiceItemsListCtrl::ShiftQuantity(bool) {}
void CInvoiceItemsListCtrl::ShiftBackOrder(bool) {}
void CInvoiceItemsListCtrl::OnEditDelItem() {}
bool CInvoiceItemsListCtrl::GetItemTotals(int&, double&, double&) { return false; }
bool CInvoiceItemsListCtrl::GetItemTotalsUsingRecordsetC(int&, double&, double&, int) { return false; }
bool CInvoiceItemsListCtrl::GetItemTotalsOfInvoice(int, int, int&, double&, double&) { return false; }
std::vector<CInvoiceLineView> CInvoiceItemsListCtrl::GetLinesForListBox(int) { return {}; }
void CInvoiceItemsListCtrl::UpdateInvoiceRecord() {}
void CInvoiceItemsListCtrl::OnContextSelection(int commandID) { CListWindow::OnContextSelection(commandID); }

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
    db::Recordset& rs = *m_pRecordSetC;
    try {
        rs.setFilter(QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        rs.requery();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (failure) *failure = e.description();
        // Only this recordset is made anew; it holds no lines until it is requeried again.
        db::Database& database = rs.database();
        m_pRecordSetC.reset();
        try {
            m_pRecordSetC = std::make_unique<db::Recordset>(database);
            m_pRecordSetC->open(QStringLiteral("select * from [InvoiceItems]"));
            m_pRecordSetC->setFilter(QStringLiteral("[InvoiceID] = -1"));
            m_pRecordSetC->requery();
        } catch (const db::Error& reopen) {
            Trace(10, reopen.description());
            m_pRecordSetC.reset();
        }
        return false;
    }
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
    const int choice = m_pInvoices ? m_pInvoices->GetPriceChoice() : 0;
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
