#include "invoices/invoiceslistctrl.h"

#include "customers/customerlistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "trace/tracesink.h"

#include <QSet>

// The group invoice bookkeeping: a group invoice holds its members' lines and is totalled from
// them; its members take its status, rates and price choice.

namespace {
const QString kID = QStringLiteral("ID");
const QString kGroupID = QStringLiteral("InvoiceGroupID");
const QString kGroupInvoice = QStringLiteral("GroupInvoice");

QString GroupFilter(int group) { return QStringLiteral("InvoiceGroupID = %1").arg(group); }
} // namespace

int CInvoicesListCtrl::FindGroupRecordWithGroupID(int group) {
    if (group <= 0 || !m_pRecordSetGroups) return -1;
    try {
        db::Recordset& g = *m_pRecordSetGroups;
        g.requery();
        if (g.recordCount() == 0) return -1;
        const QString filter = GroupFilter(group);
        for (bool found = g.findFirst(filter); found; found = g.findNext(filter))
            if (g.intValue(kGroupInvoice) != 0) return g.intValue(kID);
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return -1;
}

std::vector<int> CInvoicesListCtrl::GroupMembers(int group) {
    std::vector<int> members;
    db::Recordset& all = *m_pRecordSetAll;
    all.requery();
    const QString filter = GroupFilter(group);
    for (bool found = all.findFirst(filter); found; found = all.findNext(filter))
        if (all.intValue(kGroupInvoice) == 0 && all.intValue(kGroupID) == group) members.push_back(all.intValue(kID));
    return members;
}

void CInvoicesListCtrl::RebuildGroupInvoice(int groupInvoiceID, int group) {
    db::Recordset& g = *m_pRecordSetGroups;
    if (!g.findFirst(QStringLiteral("ID = %1").arg(groupInvoiceID))) throw db::Error(QStringLiteral("Failed to locate record!\n"));
    const int number = g.intValue(QStringLiteral("InvoiceNumber"));
    const int choice = g.intValue(QStringLiteral("PriceChoice"));
    const double p = g.doubleValue(QStringLiteral("DiscountPercent"));
    const double r = g.doubleValue(QStringLiteral("ShipCostPerLb"));
    const double t = g.doubleValue(QStringLiteral("TaxRate"));
    QString failure;
    if (!m_pItems->DeleteAllInvoiceItemsOf(groupInvoiceID, &failure)) throw db::Error(failure);
    for (int member : GroupMembers(group)) {
        if (!m_pItems->ReQueryRecordsetBUsingID(member)) throw db::Error(QStringLiteral("Failed to read the lines of a group member."));
        if (!m_pItems->CopyItemsToGroupInvoice(groupInvoiceID, number, &failure)) throw db::Error(failure);
    }
    int count = 0;
    double weight = 0, subtotal = 0;
    m_pItems->GetItemTotalsOfInvoice(groupInvoiceID, choice, count, weight, subtotal);
    const InvoiceAmounts a = ComputeInvoice(subtotal, p, weight, r, t, false);
    if (!g.findFirst(QStringLiteral("ID = %1").arg(groupInvoiceID))) throw db::Error(QStringLiteral("Failed to locate record!\n"));
    g.edit();
    g.setValue(QStringLiteral("ItemCount"), count);
    g.setValue(QStringLiteral("ItemsSubtotal"), subtotal);
    g.setValue(QStringLiteral("ShipWeight"), weight);
    WriteAmounts(g, a);
    g.update();
}

int CInvoicesListCtrl::RebuildGroupInTransaction(int group, GroupRebuilds& done) {
    if (group <= 0 || !m_pItems || !m_pRecordSetAll) return -1;
    const int id = FindGroupRecordWithGroupID(group);
    if (id == -1) return -1;
    db::Recordset& g = *m_pRecordSetGroups;
    const int customerID = g.intValue(QStringLiteral("CustomerID"));
    // A closed group invoice is never rebuilt; the option only decides whether the user hears of it.
    if (g.intValue(QStringLiteral("Closed")) != 0) {
        if (Doc()->IsVerifyOn()) {
            const QString name = m_pCustomers ? m_pCustomers->GetCustomerName(customerID) : QStringLiteral(" ");
            done.closedMessages << QStringLiteral("Failed to update Group invoice!\n\nThe modified invoice belongs to a "
                                                  "group invoice,\nbut the group invoice is closed!\n\nGROUP invoice "
                                                  "#%1 for customer: %2")
                                       .arg(g.intValue(QStringLiteral("InvoiceNumber")))
                                       .arg(name);
        }
        return -1;
    }
    RebuildGroupInvoice(id, group);
    done.groupInvoices.insert(id);
    done.customers.insert(customerID);
    return id;
}

void CInvoicesListCtrl::AfterGroupRebuilds(const GroupRebuilds& done) {
    for (int id : done.groupInvoices) AfterGroupChange(id);
    for (int customer : done.customers) UpdateGroupCustomerRecord(customer);
    for (const QString& message : done.closedMessages) Doc()->Prompter().MessageBox(message);
}

bool CInvoicesListCtrl::UpdateGroupInvoiceTotals(int group) {
    Trace20("UpdateGroupInvoiceTotals");
    if (!m_pRecordSetAll) return false;
    GroupRebuilds done;
    int id = -1;
    try {
        db::Transaction tx(m_pRecordSetAll->database());
        id = RebuildGroupInTransaction(group, done);
        tx.commit();
    } catch (const db::Error& e) {
        ShowEngineError(e);
        return false;
    }
    AfterGroupRebuilds(done);
    return id != -1;
}

void CInvoicesListCtrl::AfterGroupChange(int changedID) {
    // The changed invoice may be on show: its row, and its lines when it is the current one.
    const int row = Model()->RowOfID(changedID);
    if (row < 0) return;
    if (ActivateRecordInRecordset(changedID)) PutRecordToListCtrl(false);
    if (m_currentID >= 0) ActivateRecordInRecordset(m_currentID);
    if (changedID == m_currentID && m_pItems) m_pItems->ReQueryRecordsetUsingID(changedID);
}

bool CInvoicesListCtrl::MatchInvoicesToGroupInvoice(int group) {
    Trace20("MatchInvoicesToGroupInvoice");
    if (group <= 0 || !m_pRecordSetAll) return false;
    const int id = FindGroupRecordWithGroupID(group);
    if (id == -1) return false;
    CInvoiceRecord groupRecord;
    XferRecordsetToDlg(*m_pRecordSetGroups, groupRecord);
    QSet<int> customers;
    try {
        db::Transaction tx(m_pRecordSetAll->database());
        db::Recordset& all = *m_pRecordSetAll;
        for (int member : GroupMembers(group)) {
            if (!all.findFirst(QStringLiteral("ID = %1").arg(member))) continue;
            CInvoiceRecord r;
            XferRecordsetToDlg(all, r);
            if (r.Closed) continue; // a closed invoice is frozen
            const bool reprice = r.DiscountPercent != groupRecord.DiscountPercent ||
                                 r.ShipCostPerLb != groupRecord.ShipCostPerLb || r.TaxRate != groupRecord.TaxRate ||
                                 r.PriceChoice != groupRecord.PriceChoice;
            CopyGroupStatus(groupRecord, r);
            if (reprice && m_pItems) {
                m_pItems->GetItemTotalsOfInvoice(member, r.PriceChoice, r.ItemCount, r.ShipWeight, r.ItemsSubtotal);
                const InvoiceAmounts a = ComputeInvoice(r.ItemsSubtotal, r.DiscountPercent, r.ShipWeight,
                                                        r.ShipCostPerLb, r.TaxRate);
                r.DiscountAmount = a.D;
                r.ShipCharge = a.C;
                r.SalesTax = a.X;
                r.InvoiceTotal = a.T;
            }
            if (!all.findFirst(QStringLiteral("ID = %1").arg(member))) continue;
            all.edit();
            XferDlgToRecordset(r, all);
            all.update();
            customers.insert(r.CustomerID);
            AfterGroupChange(member);
        }
        tx.commit();
    } catch (const db::Error& e) {
        ShowEngineError(e);
        RefreshListCtrlFromRecordset();
        return false;
    }
    for (int customer : customers) UpdateGroupCustomerRecord(customer);
    return true;
}

void CInvoicesListCtrl::CopyGroupStatus(const CInvoiceRecord& from, CInvoiceRecord& to) {
    to.DateOrdered = from.DateOrdered;
    to.DateOnHold = from.DateOnHold;
    to.DateShipped = from.DateShipped;
    to.DateReceived = from.DateReceived;
    to.DatePickedUp = from.DatePickedUp;
    to.DateClosed = from.DateClosed;
    to.DatePaid = from.DatePaid;
    to.Ordered = from.Ordered;
    to.OnHold = from.OnHold;
    to.Shipped = from.Shipped;
    to.Received = from.Received;
    to.PickedUp = from.PickedUp;
    to.Paid = from.Paid;
    to.Closed = from.Closed;
    to.DiscountPercent = from.DiscountPercent;
    to.ShipCostPerLb = from.ShipCostPerLb;
    to.TaxRate = from.TaxRate;
    to.PriceChoice = from.PriceChoice;
}

void CInvoicesListCtrl::UpdateGroupCustomerRecord(int customerID) {
    // Sent: the owner's totals are recounted before this returns.
    if (m_pCustomers) m_pCustomers->OnRefreshGroupTotals(customerID);
}

bool CInvoicesListCtrl::GetItemTotalsUsingRecordsetGroups(int& count, double& balance, int customerID) {
    count = 0;
    balance = 0.0;
    if (!m_pRecordSetGroups) return false;
    db::Recordset& g = *m_pRecordSetGroups;
    try {
        g.requery();
        if (g.recordCount() == 0) return false;
        // Every invoice of the customer, found through the index rather than by a walk of all.
        const QString filter = QStringLiteral("CustomerID = %1").arg(customerID);
        for (bool found = g.findFirst(filter); found; found = g.findNext(filter)) {
            ++count;
            balance += g.doubleValue(QStringLiteral("InvoiceTotal")) - g.doubleValue(QStringLiteral("AmountPaid"));
        }
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}
