#include "invoiceslistctrl.h"

#include "customers/customerlistctrl.h"
#include "invoices/statusicons.h"
#include "items/invoiceitemslistctrl.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QApplication>
#include <algorithm>
#include <limits>

namespace {

QString DateText(double day) { return EngineDateText(day); }

// The status of the set's current row, from its flags and dates only.
InvoiceStatus StatusOf(const db::Recordset& rs) {
    CInvoiceRecord r;
    const auto on = [&](const char* f) { return rs.intValue(QLatin1String(f)) != 0; };
    const auto date = [&](const char* f) { return rs.doubleValue(QLatin1String(f)); };
    r.Ordered = on("Ordered");
    r.OnHold = on("OnHold");
    r.Shipped = on("Shipped");
    r.Received = on("Received");
    r.PickedUp = on("PickedUp");
    r.Paid = on("Paid");
    r.Closed = on("Closed");
    r.DateEntered = date("DateEntered");
    r.DateOrdered = date("DateOrdered");
    r.DateOnHold = date("DateOnHold");
    r.DateShipped = date("DateShipped");
    r.DateReceived = date("DateReceived");
    r.DatePickedUp = date("DatePickedUp");
    r.DateClosed = date("DateClosed");
    r.DatePaid = date("DatePaid");
    return DeriveInvoiceStatus(r);
}

const char* const kPriceNames[] = {"Baseline", "Discount", "Markup"};

} // namespace

CInvoicesListCtrl::CInvoicesListCtrl(CQuorvaneDoc* doc, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CInvoicesListCtrl"), schema::Invoice(), QStringLiteral("invoice"),
                  InvoiceColumnSet(), kInvoiceColumnGroup, parent) {
    setObjectName(QString::number(kWindowID));
    Model()->SetIcons(StatusIcons());
    setIconSize(QSize(16, 16));
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
        m_currentID = -1;
        if (m_pItems) m_pItems->DeleteAllItems();
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
    if (!CanProceed() || !m_pRecordSetAll) return fail(QStringLiteral("The invoice table is not open."));
    Model()->Clear();
    m_currentRow = -1;
    m_currentID = -1;
    if (m_pItems) m_pItems->DeleteAllItems();
    db::Recordset& all = *m_pRecordSetAll;
    GroupRebuilds done;
    try {
        db::Transaction tx(all.database());
        // Through the full set by the customer's ID: a set that failed to requery can never make
        // this delete someone else's invoices.
        all.requery();
        const QString filter = QStringLiteral("CustomerID = %1").arg(customerID);
        QSet<int> groups;
        for (bool found = all.findFirst(filter); found; found = all.findNext(filter)) {
            if (all.intValue(QStringLiteral("CustomerID")) != customerID) continue;
            const int group = all.intValue(QStringLiteral("InvoiceGroupID"));
            if (group >= 1 && all.intValue(QStringLiteral("GroupInvoice")) == 0) groups.insert(group);
            QString why;
            if (m_pItems && !m_pItems->DeleteAllInvoiceItemsOf(all.intValue(QStringLiteral("ID")), &why))
                throw db::Error(why);
            all.remove();
        }
        for (int group : groups) RebuildGroupInTransaction(group, done);
        tx.commit();
    } catch (const db::Error& e) {
        fail(e.description());
        ReQueryRecordsetAll();
        ReQueryRecordsetGroups();
        return false;
    }
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
    AfterGroupRebuilds(done);
    return true;
}

void CInvoicesListCtrl::SetCustomerNumberOfInvoices(int customerID, int number) {
    if (!m_pRecordSetAll) return;
    db::Recordset& all = *m_pRecordSetAll;
    all.requery();
    const QString filter = QStringLiteral("CustomerID = %1").arg(customerID);
    for (bool found = all.findFirst(filter); found; found = all.findNext(filter)) {
        if (all.intValue(QStringLiteral("CustomerNumber")) == number) continue;
        all.edit();
        all.setValue(QStringLiteral("CustomerNumber"), number);
        all.update();
    }
}

void CInvoicesListCtrl::MatchAllInvoicesToCustomers() {
    Trace20("MatchAllInvoicesToCustomers");
    if (!CanProceed() || !m_pRecordSetAll || !m_pCustomers) return;
    db::Recordset& all = *m_pRecordSetAll;
    try {
        db::Transaction tx(all.database());
        // Every invoice of the project, not only the selected customer's.
        all.requery();
        for (all.moveFirst(); !all.isEOF(); all.moveNext()) {
            const int customerID = m_pCustomers->GetCustomerIDFromCustomerNumber(all.intValue(QStringLiteral("CustomerNumber")));
            if (customerID == -1 || customerID == all.intValue(QStringLiteral("CustomerID"))) continue;
            all.edit();
            all.setValue(QStringLiteral("CustomerID"), customerID);
            all.update();
        }
        tx.commit();
    } catch (const db::Error& e) {
        ShowEngineError(e);
    }
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
}

void CInvoicesListCtrl::ValidateAllRecords() {
    Trace20("ValidateAllRecords");
    if (!CanProceed() || !m_pRecordSetAll) return;
    m_duplicateNumbers = false;
    db::Recordset& all = *m_pRecordSetAll;
    try {
        db::Transaction tx(all.database());
        // Every invoice of the project, by ID: the duplicate search moves through the same set.
        all.requery();
        std::vector<int> ids;
        for (all.moveFirst(); !all.isEOF(); all.moveNext()) ids.push_back(all.intValue(QStringLiteral("ID")));
        int topGroup = 0;
        for (int id : ids) {
            if (!all.findFirst(QStringLiteral("ID = %1").arg(id))) continue;
            CInvoiceRecord r;
            XferRecordsetToDlg(all, r);
            topGroup = std::max(topGroup, r.InvoiceGroupID);
            // Closed or not, a number in use is never handed out again.
            RaiseNumberCounter(r.InvoiceNumber);
            if (FindOtherInvoiceWithNumber(r.InvoiceNumber, id)) m_duplicateNumbers = true;
            if (!ValidateInvoiceValues(r) || !all.findFirst(QStringLiteral("ID = %1").arg(id))) continue;
            all.edit();
            XferDlgToRecordset(r, all);
            all.update();
        }
        if (topGroup >= Doc()->GetHighWaterInvoiceGroupID())
            Doc()->SetCounter(CQuorvaneDoc::InvoiceGroupID, topGroup < std::numeric_limits<int>::max() ? topGroup + 1 : topGroup);
        tx.commit();
    } catch (const db::Error& e) {
        ShowEngineError(e);
    }
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
    RefreshListCtrlFromRecordset();
    if (m_duplicateNumbers)
        Doc()->Prompter().MessageBox(QStringLiteral("WARNING!\n\nMore than one invoice has\nthe same invoice number.\n"
                                                    "Invoice items will be assigned to\nthe first invoice found."));
}

bool CInvoicesListCtrl::FindOtherInvoiceWithNumber(int number, int exceptID) {
    if (!m_pRecordSetAll) return false;
    db::Recordset& all = *m_pRecordSetAll;
    const QString filter = QStringLiteral("InvoiceNumber = %1").arg(number);
    try {
        for (bool found = all.findFirst(filter); found; found = all.findNext(filter))
            if (all.intValue(QStringLiteral("ID")) != exceptID) return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return false;
}

bool CInvoicesListCtrl::DeleteInvoices(const std::vector<int>& ids) {
    if (!m_pRecordSetAll || !m_pItems) return false;
    db::Recordset& all = *m_pRecordSetAll;
    GroupRebuilds done;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        db::Transaction tx(all.database());
        QSet<int> groups;
        for (int id : ids) {
            if (!all.findFirst(QStringLiteral("ID = %1").arg(id))) continue;
            const int group = all.intValue(QStringLiteral("InvoiceGroupID"));
            if (group >= 1 && all.intValue(QStringLiteral("GroupInvoice")) == 0) groups.insert(group);
            QString why;
            if (!m_pItems->DeleteAllInvoiceItemsOf(id, &why)) throw db::Error(why);
            all.remove();
        }
        for (int group : groups) RebuildGroupInTransaction(group, done);
        tx.commit();
    } catch (const db::Error& e) {
        QApplication::restoreOverrideCursor();
        ShowEngineError(e);
        ReQueryRecordsetAll();
        ReQueryRecordsetGroups();
        return false;
    }
    QApplication::restoreOverrideCursor();
    // The shown set loses the rows at its next requery; until then they are skipped as deleted.
    const int customerID = m_pCustomers ? m_pCustomers->GetCustomerID() : -1;
    RemoveRowsWithIDs(QSet<int>(ids.begin(), ids.end()));
    ReQueryRecordsetUsingID(customerID, false);
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
    AfterGroupRebuilds(done);
    return true;
}

void CInvoicesListCtrl::OnEditDelItem() {
    Trace20("OnEditDelItem");
    if (!CanProceed() || !CanEdit()) return;
    if (GetSelectedCount() >= 2) {
        DeleteMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (!ActivateRecordInRecordset(id) || IsInvoiceClosed()) return;
    const int row = Model()->RowOfID(id);
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete Record?"))) return;
    if (!DeleteInvoices({id})) return;
    SelectAfterDelete(row);
}

void CInvoicesListCtrl::DeleteMultipleItems() {
    Trace20("DeleteMultipleItems");
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete all selected records?"))) return;
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty() || !DeleteInvoices(GetSelectedIDs())) return;
    SelectAfterDelete(rows.front());
}

void CInvoicesListCtrl::SelectAfterDelete(int row) {
    // The row before the deleted one, or the one now in its place.
    m_currentRow = -1;
    m_currentID = -1;
    ClearSelected();
    const int count = GetItemCount();
    if (count > 0) SelectOnly(std::clamp(row - 1, 0, count - 1));
    else if (m_pItems) m_pItems->DeleteAllItems();
    UpdateItemsBackgroundColors();
    UpdateCustomerRecord();
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

void CInvoicesListCtrl::UpdateCustomerRecord() {
    // Sent: the customer's totals are recounted before this returns.
    if (m_pCustomers) m_pCustomers->OnRefreshTotals();
}

// ---------------------------------------------------------------- transfer
bool CInvoicesListCtrl::ActivateRecordInRecordset(int id) { return CListWindow::ActivateRecordInRecordset(id); }

void CInvoicesListCtrl::XferRecordsetToDlg(const db::Recordset& rs, CInvoiceRecord& r) {
    r.ID = rs.intValue(QStringLiteral("ID"));
    r.CustomerID = rs.intValue(QStringLiteral("CustomerID"));
    r.InvoiceGroupID = rs.intValue(QStringLiteral("InvoiceGroupID"));
    r.CustomerNumber = rs.intValue(QStringLiteral("CustomerNumber"));
    r.InvoiceNumber = rs.intValue(QStringLiteral("InvoiceNumber"));
    r.GroupInvoice = rs.intValue(QStringLiteral("GroupInvoice")) != 0;
    r.DateEntered = rs.doubleValue(QStringLiteral("DateEntered"));
    r.DateOrdered = rs.doubleValue(QStringLiteral("DateOrdered"));
    r.DateOnHold = rs.doubleValue(QStringLiteral("DateOnHold"));
    r.DateShipped = rs.doubleValue(QStringLiteral("DateShipped"));
    r.DateReceived = rs.doubleValue(QStringLiteral("DateReceived"));
    r.DatePickedUp = rs.doubleValue(QStringLiteral("DatePickedUp"));
    r.DateClosed = rs.doubleValue(QStringLiteral("DateClosed"));
    r.DatePaid = rs.doubleValue(QStringLiteral("DatePaid"));
    r.Ordered = rs.intValue(QStringLiteral("Ordered")) != 0;
    r.OnHold = rs.intValue(QStringLiteral("OnHold")) != 0;
    r.Shipped = rs.intValue(QStringLiteral("Shipped")) != 0;
    r.Received = rs.intValue(QStringLiteral("Received")) != 0;
    r.PickedUp = rs.intValue(QStringLiteral("PickedUp")) != 0;
    r.Paid = rs.intValue(QStringLiteral("Paid")) != 0;
    r.Closed = rs.intValue(QStringLiteral("Closed")) != 0;
    r.ItemCount = rs.intValue(QStringLiteral("ItemCount"));
    r.ItemsSubtotal = rs.doubleValue(QStringLiteral("ItemsSubtotal"));
    r.DiscountPercent = rs.doubleValue(QStringLiteral("DiscountPercent"));
    r.DiscountAmount = rs.doubleValue(QStringLiteral("DiscountAmount"));
    r.ShipWeight = rs.doubleValue(QStringLiteral("ShipWeight"));
    r.ShipCostPerLb = rs.doubleValue(QStringLiteral("ShipCostPerLb"));
    r.ShipCharge = rs.doubleValue(QStringLiteral("ShipCharge"));
    r.TaxRate = rs.doubleValue(QStringLiteral("TaxRate"));
    r.SalesTax = rs.doubleValue(QStringLiteral("SalesTax"));
    r.InvoiceTotal = rs.doubleValue(QStringLiteral("InvoiceTotal"));
    r.AmountPaid = rs.doubleValue(QStringLiteral("AmountPaid"));
    r.PriceChoice = rs.intValue(QStringLiteral("PriceChoice"));
    r.Comment = rs.textValue(QStringLiteral("Comment"));
    r.UserField1 = rs.textValue(QStringLiteral("UserField1"));
    r.UserField2 = rs.textValue(QStringLiteral("UserField2"));
}
void CInvoicesListCtrl::XferDlgToRecordset(const CInvoiceRecord& r, db::Recordset& rs) {
    const auto text = [&](const char* f, const QString& v) { rs.setValue(QLatin1String(f), CRecordTable::Blank(v)); };
    const auto flag = [&](const char* f, bool v) { rs.setValue(QLatin1String(f), v ? 1 : 0); };
    const auto num = [&](const char* f, double v) { rs.setValue(QLatin1String(f), v); };
    rs.setValue(QStringLiteral("ID"), r.ID);
    rs.setValue(QStringLiteral("CustomerID"), r.CustomerID);
    rs.setValue(QStringLiteral("InvoiceGroupID"), r.InvoiceGroupID);
    rs.setValue(QStringLiteral("CustomerNumber"), r.CustomerNumber);
    rs.setValue(QStringLiteral("InvoiceNumber"), r.InvoiceNumber);
    flag("GroupInvoice", r.GroupInvoice);
    num("DateEntered", r.DateEntered);
    num("DateOrdered", r.DateOrdered);
    num("DateOnHold", r.DateOnHold);
    num("DateShipped", r.DateShipped);
    num("DateReceived", r.DateReceived);
    num("DatePickedUp", r.DatePickedUp);
    num("DateClosed", r.DateClosed);
    num("DatePaid", r.DatePaid);
    flag("Ordered", r.Ordered);
    flag("OnHold", r.OnHold);
    flag("Shipped", r.Shipped);
    flag("Received", r.Received);
    flag("PickedUp", r.PickedUp);
    flag("Paid", r.Paid);
    flag("Closed", r.Closed);
    rs.setValue(QStringLiteral("ItemCount"), r.ItemCount);
    num("ItemsSubtotal", r.ItemsSubtotal);
    num("DiscountPercent", r.DiscountPercent);
    num("DiscountAmount", r.DiscountAmount);
    num("ShipWeight", r.ShipWeight);
    num("ShipCostPerLb", r.ShipCostPerLb);
    num("ShipCharge", r.ShipCharge);
    num("TaxRate", r.TaxRate);
    num("SalesTax", r.SalesTax);
    num("InvoiceTotal", r.InvoiceTotal);
    num("AmountPaid", r.AmountPaid);
    rs.setValue(QStringLiteral("PriceChoice"), r.PriceChoice);
    text("Comment", r.Comment);
    text("UserField1", r.UserField1);
    text("UserField2", r.UserField2);
}
QVariant CInvoicesListCtrl::CurrentValue(const char* field) {
    if (!CanProceed()) return {};
    try {
        db::Recordset& rs = *GetPtrRecordset();
        // A walk may have left the set elsewhere: the current invoice is the selected one.
        if (m_currentID >= 0 && (rs.isBOF() || rs.isEOF() || rs.intValue(QStringLiteral("ID")) != m_currentID))
            ActivateRecordInRecordset(m_currentID);
        if (rs.isBOF() || rs.isEOF()) return {};
        return rs.value(QLatin1String(field));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return {};
    }
}

int CInvoicesListCtrl::GetInvoiceNumber() { return CurrentValue("InvoiceNumber").toInt(); }
int CInvoicesListCtrl::GetInvoiceGroupID() { return CurrentValue("InvoiceGroupID").toInt(); }
int CInvoicesListCtrl::GetPriceChoice() { return CurrentValue("PriceChoice").toInt(); }
bool CInvoicesListCtrl::IsGroupInvoice() { return CurrentValue("GroupInvoice").toInt() != 0; }
bool CInvoicesListCtrl::IsPartOfGroupInvoice() {
    const QVariant group = CurrentValue("InvoiceGroupID");
    return group.toInt() >= 1 && CurrentValue("GroupInvoice").toInt() == 0;
}
bool CInvoicesListCtrl::IsInvoiceClosed() { return CurrentValue("Closed").toInt() != 0; }
bool CInvoicesListCtrl::IsInvoiceOrdered() { return CurrentValue("Ordered").toInt() != 0; }

bool CInvoicesListCtrl::IsInvoiceClosed(int id) {
    if (id < 1 || !m_pRecordSetAll) return false;
    try {
        db::Recordset& all = *m_pRecordSetAll;
        if (!all.findFirst(QStringLiteral("ID = %1").arg(id))) return false;
        return all.intValue(QStringLiteral("Closed")) != 0;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

int CInvoicesListCtrl::GetInvoiceIDFromInvoiceNumber(int number) {
    if (!m_pRecordSetAll) return -1;
    try {
        db::Recordset& all = *m_pRecordSetAll;
        if (!all.findFirst(QStringLiteral("InvoiceNumber = %1").arg(number))) return -1;
        return all.intValue(QStringLiteral("ID"));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return -1;
    }
}

bool CInvoicesListCtrl::SetPriceChoice(int choice) {
    if (m_currentID < 0 || CurrentValue("ID").toInt() != m_currentID) return false;
    if (IsInvoiceClosed()) return false;
    db::Recordset& rs = *GetPtrRecordset();
    if (!WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { r.setValue(QStringLiteral("PriceChoice"), choice); },
                  [this](const db::Error& e) { Trace(10, e.description()); }))
        return false;
    PutRecordToListCtrl(false);
    return true;
}

bool CInvoicesListCtrl::SetPriceChoiceOf(int invoiceID, int choice) {
    if (invoiceID == m_currentID && invoiceID >= 0) return SetPriceChoice(choice);
    if (invoiceID < 1 || !m_pRecordSetAll) return false;
    db::Recordset& all = *m_pRecordSetAll;
    try {
        if (!all.findFirst(QStringLiteral("ID = %1").arg(invoiceID))) return false;
        if (all.intValue(QStringLiteral("Closed")) != 0) return false;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
    return WriteRow(all, RowWrite::Edit, [&](db::Recordset& r) { r.setValue(QStringLiteral("PriceChoice"), choice); },
                    [this](const db::Error& e) { Trace(10, e.description()); });
}

void CInvoicesListCtrl::OnRefreshTotals() {
    Trace20("OnRefreshTotals");
    if (!m_pItems || CurrentValue("ID").toInt() != m_currentID || m_currentID < 0 || IsInvoiceClosed()) return;
    int count = 0;
    double weight = 0, subtotal = 0;
    if (!m_pItems->GetItemTotals(count, weight, subtotal)) return;
    CurrentValue("ID"); // the item list's walk may have read through the invoice set
    db::Recordset& rs = *GetPtrRecordset();
    const InvoiceAmounts a =
        ComputeInvoice(subtotal, rs.doubleValue(QStringLiteral("DiscountPercent")), weight,
                       rs.doubleValue(QStringLiteral("ShipCostPerLb")), rs.doubleValue(QStringLiteral("TaxRate")));
    if (!WriteRow(
            rs, RowWrite::Edit,
            [&](db::Recordset& r) {
                r.setValue(QStringLiteral("ItemCount"), count);
                r.setValue(QStringLiteral("ShipWeight"), weight);
                r.setValue(QStringLiteral("ItemsSubtotal"), subtotal);
                WriteAmounts(r, a);
            },
            [this](const db::Error& e) { ShowEngineError(e); }))
        return;
    PutRecordToListCtrl(false);
    UpdateCustomerRecord();
}

void CInvoicesListCtrl::UpdateValuesFromSubTotal() {
    Trace20("UpdateValuesFromSubTotal");
    if (CurrentValue("ID").toInt() != m_currentID || m_currentID < 0 || IsInvoiceClosed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    const InvoiceAmounts a = ComputeInvoice(
        rs.doubleValue(QStringLiteral("ItemsSubtotal")), rs.doubleValue(QStringLiteral("DiscountPercent")),
        rs.doubleValue(QStringLiteral("ShipWeight")), rs.doubleValue(QStringLiteral("ShipCostPerLb")),
        rs.doubleValue(QStringLiteral("TaxRate")));
    WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { WriteAmounts(r, a); },
             [this](const db::Error& e) { ShowEngineError(e); });
}

void CInvoicesListCtrl::WriteAmounts(db::Recordset& rs, const InvoiceAmounts& a) {
    rs.setValue(QStringLiteral("DiscountAmount"), a.D);
    rs.setValue(QStringLiteral("ShipCharge"), a.C);
    rs.setValue(QStringLiteral("SalesTax"), a.X);
    rs.setValue(QStringLiteral("InvoiceTotal"), a.T);
}

void CInvoicesListCtrl::ShowEngineError(const db::Error& e) {
    Trace(10, QStringLiteral("CInvoicesListCtrl: ") + e.description());
    Doc()->Prompter().MessageBox(e.description());
}
void CInvoicesListCtrl::UpdateItemsBackgroundColors() {
    if (!m_pItems) return;
    const bool grey = m_currentID >= 0 && (IsInvoiceClosed() || IsGroupInvoice());
    m_pItems->SetBackgroundColor(grey ? QColor(196, 196, 196) : QColor(Qt::white));
}
std::vector<QIcon> CInvoicesListCtrl::StatusIcons() { return InvoiceStatusIcons(); }
int CInvoicesListCtrl::RowIcon() { return StatusOf(*GetPtrRecordset()).icon; }

void CInvoicesListCtrl::OnRowActivated(int id) {
    UpdateItemsBackgroundColors();
    if (m_pItems) m_pItems->ReQueryRecordsetUsingID(id);
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
    case 3:
    case 4: {
        const InvoiceStatus status = StatusOf(rs);
        return column == 3 ? status.text : DateText(status.date);
    }
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
