#include "invoiceitemslistctrl.h"

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

void CInvoiceItemsListCtrl::ReQueryRecordsetUsingID(int invoiceID) {
    Trace20("ReQueryRecordsetUsingID");
    if (!CanProceed()) return;
    try {
        GetPtrRecordset()->setFilter(QStringLiteral("[InvoiceID] = %1").arg(invoiceID));
        GetPtrRecordset()->requery();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return;
    }
    RefreshListCtrlFromRecordset();
}

void CInvoiceItemsListCtrl::OnRefreshInvoiceItemPointers() {
    Trace20("OnRefreshInvoiceItemPointers");
    RefreshListCtrlFromRecordset();
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
    const char* priceField = m_priceChoice == 1 ? "DiscountPrice" : m_priceChoice == 2 ? "MarkupPrice" : "BaseLinePrice";
    const double unit = rs.doubleValue(QLatin1String(priceField));
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
