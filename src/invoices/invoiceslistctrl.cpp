#include "invoiceslistctrl.h"

#include "customers/customerlistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QDate>

namespace {

// Day 1 is 31 December 1899; below 1 means not set.
QString DateText(double day) {
    if (day < 1.0) return QStringLiteral(" ");
    return QDate(1899, 12, 30).addDays(qint64(day)).toString(QStringLiteral("MM/dd/yyyy"));
}

const char* const kPriceNames[] = {"Baseline", "Discount", "Markup"};

} // namespace

CInvoicesListCtrl::CInvoicesListCtrl(CQuorvaneDoc* doc, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CInvoicesListCtrl"), schema::Invoice(), QStringLiteral("invoice"),
                  InvoiceColumnSet(), kInvoiceColumnGroup, parent) {
    setObjectName(QString::number(kWindowID));
}

CInvoicesListCtrl::~CInvoicesListCtrl() = default;

bool CInvoicesListCtrl::OpenDaoRecordset(db::Database& database) {
    if (!CListWindow::OpenDaoRecordset(database)) return false;
    try {
        Trace20("OpenDaoRecordsetAll");
        m_pRecordSetAll = std::make_unique<db::Recordset>(database);
        m_pRecordSetAll->open(QStringLiteral("select * from [Invoice]"));
        Trace20("OpenDaoRecordsetGroups");
        m_pRecordSetGroups = std::make_unique<db::Recordset>(database);
        m_pRecordSetGroups->open(QStringLiteral("select * from [Invoice]"));
        // Until a customer is chosen the list shows nobody's invoices.
        GetPtrRecordset()->setFilter(QStringLiteral("[CustomerID] = -1"));
        GetPtrRecordset()->requery();
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

void CInvoicesListCtrl::CleanUp() {
    CListWindow::CleanUp();
    m_pRecordSetAll.reset();
    m_pRecordSetGroups.reset();
}

void CInvoicesListCtrl::ReQueryRecordsetUsingID(int customerID, bool clear) {
    Trace20("ReQueryRecordsetUsingID");
    if (!CanProceed()) return;
    if (clear) {
        Model()->Clear();
        m_currentRow = -1;
        if (m_pItems) m_pItems->ReQueryRecordsetUsingID(-1);
    }
    db::Recordset& rs = *GetPtrRecordset();
    try {
        rs.setFilter(QStringLiteral("[CustomerID] = %1").arg(customerID));
        rs.requery();
        if (!rs.isEOF()) {
            rs.moveLast();
            TraceF(20, "  Requery Count = %ld\n", rs.recordCount());
        }
    } catch (const db::Error& e) {
        Trace(10, e.description());
        // Made anew, the set holds nobody's invoices: unfiltered it would hold everyone's.
        db::Database& database = rs.database();
        if (CListWindow::OpenDaoRecordset(database)) try {
                GetPtrRecordset()->setFilter(QStringLiteral("[CustomerID] = -1"));
                GetPtrRecordset()->requery();
            } catch (const db::Error& again) {
                Trace(10, again.description());
            }
        return;
    }
    if (clear) {
        RefreshListCtrlFromRecordset();
        UpdateCustomerRecord();
    }
}

void CInvoicesListCtrl::ReQueryRecordsetAll() {
    if (m_pRecordSetAll) try {
            m_pRecordSetAll->requery();
        } catch (const db::Error& e) {
            Trace(10, e.description());
        }
}

void CInvoicesListCtrl::ReQueryRecordsetGroups() {
    if (m_pRecordSetGroups) try {
            m_pRecordSetGroups->requery();
        } catch (const db::Error& e) {
            Trace(10, e.description());
        }
}

bool CInvoicesListCtrl::DeleteAllCustomerInvoices(int customerID, QString* failure) {
    Trace20("DeleteAllCustomerInvoices");
    const auto fail = [&](const QString& why) {
        Trace(10, why);
        if (failure) *failure = why;
        return false;
    };
    if (!CanProceed()) return fail(QStringLiteral("The invoice table is not open."));
    Model()->Clear();
    m_currentRow = -1;
    if (m_pItems) m_pItems->DeleteAllItems();
    db::Recordset& rs = *GetPtrRecordset();
    bool deleted = false;
    try {
        db::Transaction tx(rs.database());
        rs.setFilter(QStringLiteral("[CustomerID] = %1").arg(customerID));
        rs.requery();
        rs.moveFirst();
        while (!rs.isEOF()) {
            if (rs.intValue(QStringLiteral("CustomerID")) == customerID) {
                QString why;
                if (m_pItems && !m_pItems->DeleteAllInvoiceItemsOf(rs.intValue(QStringLiteral("ID")), &why))
                    throw db::Error(why);
                rs.remove();
            }
            rs.moveNext();
        }
        tx.commit();
        deleted = true;
    } catch (const db::Error& e) {
        fail(e.description());
    }
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
    return deleted;
}

void CInvoicesListCtrl::GetItemTotals(int& count, double& balance) {
    count = GetItemCount();
    balance = 0.0;
    if (!CanProceed() || !m_pCustomers || m_pCustomers->GetCustomerID() < 0 || count == 0) return;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            balance += rs.doubleValue(QStringLiteral("InvoiceTotal")) - rs.doubleValue(QStringLiteral("AmountPaid"));
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    ActivateRecordInRecordset(m_currentID);
}

void CInvoicesListCtrl::GetItemTotalsUsingRecordsetGroups(int& count, double& balance, int customerID) {
    count = 0;
    balance = 0.0;
    if (!m_pRecordSetGroups) return;
    db::Recordset& rs = *m_pRecordSetGroups;
    try {
        if (rs.recordCount() == 0) return;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            if (rs.intValue(QStringLiteral("CustomerID")) == customerID) {
                ++count;
                balance += rs.doubleValue(QStringLiteral("InvoiceTotal")) - rs.doubleValue(QStringLiteral("AmountPaid"));
            }
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
}

void CInvoicesListCtrl::UpdateCustomerRecord() {
    // Sent: the customer's totals are recounted before this returns.
    if (m_pCustomers) m_pCustomers->OnRefreshTotals();
}

CInvoicesListCtrl::Status CInvoicesListCtrl::DeriveStatus(const db::Recordset& rs) {
    const auto on = [&](const char* f) { return rs.intValue(QLatin1String(f)) != 0; };
    const auto date = [&](const char* f) { return rs.doubleValue(QLatin1String(f)); };
    Status s{QStringLiteral("New"), date("DateEntered"), 0};
    if (on("Ordered")) s = {QStringLiteral("Ordered"), date("DateOrdered"), 1};
    if (on("OnHold")) s = {QStringLiteral("On Hold"), date("DateOnHold"), 2};
    if (on("Shipped")) s = {QStringLiteral("Shipped"), date("DateShipped"), 3};
    else if (on("PickedUp")) s = {QStringLiteral("Picked Up"), date("DatePickedUp"), 5};
    if (on("Received")) s = {QStringLiteral("Received"), date("DateReceived"), 4};
    if (on("Paid")) s = {QStringLiteral("Paid"), date("DatePaid"), 6};
    if (on("Closed")) s = {QStringLiteral("CLOSED"), date("DateClosed"), 7};
    return s;
}

QString CInvoicesListCtrl::CellText(int column) {
    const db::Recordset& rs = *GetPtrRecordset();
    const auto money = [&](const char* f) { return FormatC(kFormatMoney7, rs.doubleValue(QLatin1String(f))); };
    const auto rate = [&](const char* f) { return FormatRate(kFormatRate, rs.doubleValue(QLatin1String(f))); };
    const auto date = [&](const char* f) { return DateText(rs.doubleValue(QLatin1String(f))); };
    switch (column) {
    case 0: return QString::number(rs.intValue(QStringLiteral("InvoiceNumber")));
    case 1: return QString::number(rs.intValue(QStringLiteral("InvoiceGroupID")));
    case 2: return m_pCustomers ? m_pCustomers->GetCustomerName(rs.intValue(QStringLiteral("CustomerID"))) : QStringLiteral(" ");
    case 3: return DeriveStatus(rs).text;
    case 4: return DateText(DeriveStatus(rs).date);
    case 5: return QString::number(rs.intValue(QStringLiteral("ItemCount")));
    case 6: return money("ItemsSubtotal");
    case 7: {
        const int choice = rs.intValue(QStringLiteral("PriceChoice"));
        return QLatin1String(kPriceNames[choice >= 0 && choice <= 2 ? choice : 0]);
    }
    case 8: return rate("DiscountPercent");
    case 9: return money("DiscountAmount");
    case 10: return FormatC("%5.2f", rs.doubleValue(QStringLiteral("ShipWeight")));
    case 11: return money("ShipCostPerLb");
    case 12: return money("ShipCharge");
    case 13: return rate("TaxRate");
    case 14: return money("SalesTax");
    case 15: return money("InvoiceTotal");
    case 16: return money("AmountPaid");
    case 17:
        return FormatC(kFormatMoney7, rs.doubleValue(QStringLiteral("InvoiceTotal")) -
                                          rs.doubleValue(QStringLiteral("AmountPaid")));
    case 18: return date("DateEntered");
    case 19: return date("DateOrdered");
    case 20: return date("DateOnHold");
    case 21: return date("DateShipped");
    case 22: return date("DateReceived");
    case 23: return date("DatePickedUp");
    case 24: return date("DatePaid");
    case 25: return rs.textValue(QStringLiteral("UserField1"));
    case 26: return rs.textValue(QStringLiteral("UserField2"));
    default: return {};
    }
}
