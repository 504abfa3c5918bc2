#include "customerlistctrl.h"

#include "customers/customerinfodlg.h"
#include "customers/customermultieditdlg.h"
#include "customers/customermultieditrules.h"
#include "invoices/invoiceslistctrl.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QApplication>

#include <limits>

namespace {
const QString kID = QStringLiteral("ID");
const QString kNbr = QStringLiteral("CustomerNbr");

QString Flag(int v) { return v ? QStringLiteral("Y") : QStringLiteral(" "); }
} // namespace

CCustomerListCtrl::CCustomerListCtrl(CQuorvaneDoc* doc, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CCustomerListCtrl"), schema::Customer(), QStringLiteral("customer"),
                  CustomerColumnSet(), kCustomerColumnGroup, parent) {
    setObjectName(QString::number(kWindowID));
}

CCustomerListCtrl::~CCustomerListCtrl() = default;

void CCustomerListCtrl::ShowEngineError(const db::Error& e) {
    Trace(10, QStringLiteral("CCustomerListCtrl: ") + e.description());
    Doc()->Prompter().MessageBox(e.description());
}

bool CCustomerListCtrl::OpenDaoRecordset(db::Database& database) {
    if (!CListWindow::OpenDaoRecordset(database)) return false;
    Trace20("OpenDaoRecordsetB");
    try {
        m_pRecordSetB = std::make_unique<db::Recordset>(database);
        m_pRecordSetB->open(QStringLiteral("select * from [Customer]"));
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        m_pRecordSetB.reset();
        return false;
    }
}

void CCustomerListCtrl::CleanUp() {
    CListWindow::CleanUp();
    m_pRecordSetB.reset();
}

bool CCustomerListCtrl::ActivateRecordInRecordset(int id) {
    if (id < 0 || !CanProceed()) return false;
    try {
        return GetPtrRecordset()->findFirst(QStringLiteral("ID = %1").arg(id));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        Doc()->Prompter().MessageBox(QStringLiteral("Failed to locate record!\n"));
        return false;
    }
}

bool CCustomerListCtrl::ActivateRecordInRecordsetB(int id) {
    if (id < 0 || !m_pRecordSetB) return false;
    try {
        return m_pRecordSetB->findFirst(QStringLiteral("ID = %1").arg(id));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

void CCustomerListCtrl::ReQueryRecordsetB() {
    Trace20("ReQueryRecordsetB");
    if (!m_pRecordSetB) return;
    try {
        m_pRecordSetB->requery();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        db::Database& database = m_pRecordSetB->database();
        m_pRecordSetB.reset();
        try {
            m_pRecordSetB = std::make_unique<db::Recordset>(database);
            m_pRecordSetB->open(QStringLiteral("select * from [Customer]"));
        } catch (const db::Error&) {
            m_pRecordSetB.reset();
        }
    }
}

// ---------------------------------------------------------------- transfer and cells

void CCustomerListCtrl::XferRecordsetToDlg(const db::Recordset& rs, CCustomerRecord& r) {
    r.ID = rs.intValue(kID);
    r.CustomerNbr = rs.intValue(kNbr);
    r.Name = rs.textValue(QStringLiteral("Name"));
    r.Address1 = rs.textValue(QStringLiteral("Address1"));
    r.Address2 = rs.textValue(QStringLiteral("Address2"));
    r.City = rs.textValue(QStringLiteral("City"));
    r.State = rs.textValue(QStringLiteral("State"));
    r.Zip = rs.textValue(QStringLiteral("Zip"));
    r.Phone = rs.textValue(QStringLiteral("Phone"));
    r.Fax = rs.textValue(QStringLiteral("Fax"));
    r.Work = rs.textValue(QStringLiteral("Work"));
    r.InvoiceCnt = rs.intValue(QStringLiteral("InvoiceCnt"));
    r.BalanceDue = rs.doubleValue(QStringLiteral("BalanceDue"));
    r.DiscountRate = rs.doubleValue(QStringLiteral("DiscountRate"));
    r.TaxRate = rs.doubleValue(QStringLiteral("TaxRate"));
    r.Comment = rs.textValue(QStringLiteral("Comment"));
    r.Business = rs.intValue(QStringLiteral("Business"));
    r.Taxable = rs.intValue(QStringLiteral("Taxable"));
    r.ShareOrder = rs.intValue(QStringLiteral("ShareOrder"));
    r.PriceChoice = rs.intValue(QStringLiteral("PriceChoice"));
    r.UserField1 = rs.textValue(QStringLiteral("UserField1"));
    r.UserField2 = rs.textValue(QStringLiteral("UserField2"));
}

void CCustomerListCtrl::XferDlgToRecordset(const CCustomerRecord& r, db::Recordset& rs) {
    const auto text = [&](const char* f, const QString& v) { rs.setValue(QLatin1String(f), CRecordTable::Blank(v)); };
    rs.setValue(kID, r.ID);
    rs.setValue(kNbr, r.CustomerNbr);
    text("Name", r.Name);
    text("Address1", r.Address1);
    text("Address2", r.Address2);
    text("City", r.City);
    text("State", r.State);
    text("Zip", r.Zip);
    text("Phone", r.Phone);
    text("Fax", r.Fax);
    text("Work", r.Work);
    rs.setValue(QStringLiteral("InvoiceCnt"), r.InvoiceCnt);
    rs.setValue(QStringLiteral("BalanceDue"), r.BalanceDue);
    rs.setValue(QStringLiteral("DiscountRate"), r.DiscountRate);
    rs.setValue(QStringLiteral("TaxRate"), r.TaxRate);
    text("Comment", r.Comment);
    rs.setValue(QStringLiteral("Business"), r.Business ? 1 : 0);
    rs.setValue(QStringLiteral("Taxable"), r.Taxable ? 1 : 0);
    rs.setValue(QStringLiteral("ShareOrder"), r.ShareOrder ? 1 : 0);
    rs.setValue(QStringLiteral("PriceChoice"), r.PriceChoice);
    text("UserField1", r.UserField1);
    text("UserField2", r.UserField2);
}

QString CCustomerListCtrl::CellTextOf(const db::Recordset& rs, int column) {
    static const char* const kText[] = {nullptr, "Name", "Address1", "Address2", "City", "State",
                                        "Zip",   "Phone", "Work",    "Fax"};
    switch (column) {
    case 0: return QString::number(rs.intValue(kNbr));
    case 10: return QString::number(rs.intValue(QStringLiteral("InvoiceCnt")));
    case 11: return FormatC(kFormatMoney7, rs.doubleValue(QStringLiteral("BalanceDue")));
    case 12: return FormatRate(kFormatRate, rs.doubleValue(QStringLiteral("DiscountRate")));
    case 13: return FormatRate(kFormatRate, rs.doubleValue(QStringLiteral("TaxRate")));
    case 14: return Flag(rs.intValue(QStringLiteral("Business")));
    case 15: return Flag(rs.intValue(QStringLiteral("Taxable")));
    case 16: return Flag(rs.intValue(QStringLiteral("ShareOrder")));
    case 17:
        switch (rs.intValue(QStringLiteral("PriceChoice"))) {
        case 1: return QStringLiteral("Discount");
        case 2: return QStringLiteral("Markup");
        default: return QStringLiteral("Baseline");
        }
    case 18: return rs.textValue(QStringLiteral("UserField1"));
    case 19: return rs.textValue(QStringLiteral("UserField2"));
    default:
        if (column >= 1 && column <= 9) return rs.textValue(QLatin1String(kText[column]));
        return {};
    }
}

QString CCustomerListCtrl::CellText(int column) { return CellTextOf(*GetPtrRecordset(), column); }

// ---------------------------------------------------------------- selection follows

void CCustomerListCtrl::OnRowActivated(int id) {
    if (m_pInvoices) m_pInvoices->ReQueryRecordsetUsingID(id, true);
    emit Doc()->allViewsUpdateRequested();
}

QVariant CCustomerListCtrl::Field(const char* name) {
    if (!CanProceed()) return {};
    try {
        db::Recordset& rs = *GetPtrRecordset();
        if (rs.isBOF() || rs.isEOF()) return {};
        return rs.value(QLatin1String(name));
    } catch (const db::Error&) {
        return {};
    }
}

int CCustomerListCtrl::GetCustomerID() {
    const QVariant v = Field("ID");
    return v.isValid() ? v.toInt() : -1;
}
int CCustomerListCtrl::GetCustomerNumber() { return Field("CustomerNbr").toInt(); }
double CCustomerListCtrl::GetCustomerDefTaxRate() { return Field("TaxRate").toDouble(); }
double CCustomerListCtrl::GetCustomerDefDiscountRate() { return Field("DiscountRate").toDouble(); }
int CCustomerListCtrl::GetCustomerPriceChoice() { return Field("PriceChoice").toInt(); }
bool CCustomerListCtrl::IsTaxable() { return GetCurrentID() != -1 && Field("Taxable").toInt() != 0; }
bool CCustomerListCtrl::IsGroupOrder() { return GetCurrentID() != -1 && Field("ShareOrder").toInt() != 0; }

int CCustomerListCtrl::GetCustomerIDFromCustomerNumber(int number) {
    Trace20("GetCustomerIDFromCustomerNumber");
    if (!CanProceed() || !m_pRecordSetB) return -1;
    try {
        // On the second recordset: the main one stays on the selected customer, whose number,
        // rates and totals the other lists read and write. Both are requeried together.
        db::Recordset& rs = *m_pRecordSetB;
        if (!rs.findFirst(QStringLiteral("CustomerNbr = %1").arg(number))) return -1;
        return rs.intValue(kID);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return -1;
    }
}

QString CCustomerListCtrl::GetCustomerName(int id) {
    const int row = Model()->RowOfID(id);
    if (row < 0 || Model()->columnCount() == 0) return QStringLiteral(" ");
    return GetItemText(row, 0);
}

void CCustomerListCtrl::RaiseNumberCounter(int number) {
    // The largest number (refused by the dialog, possible in an imported row) leaves the counter
    // at the largest value rather than wrapping it.
    if (number >= Doc()->GetHighWaterCustomerNbr())
        Doc()->SetCustomerNbr(number < std::numeric_limits<int>::max() ? number + 1 : number);
}

// ---------------------------------------------------------------- commands

void CCustomerListCtrl::OnEditAddItem() {
    Trace20("OnEditAddItem");
    if (!CanProceed()) return;
    CCustomerRecord record;
    record.ID = Doc()->GetHighWaterCustomerID();
    record.CustomerNbr = Doc()->GetHighWaterCustomerNbr();
    CCustomerInfoDlg dlg(record, &Doc()->Prompter(), this);
    if (Doc()->Prompter().ExecDialog(dlg) == QDialog::Accepted) {
        CCustomerRecord entered = dlg.Record();
        AddCustomer(entered);
    }
    EnsureItemActive();
    ReQueryRecordsetB();
}

bool CCustomerListCtrl::AddCustomer(CCustomerRecord& entered) {
    if (!CanProceed()) return false;
    // The identifier is taken again now: another user may have added a customer while the
    // dialog was open.
    const bool stored = Doc()->StoreWithNewID(CQuorvaneDoc::CustomerID, [&](int id) {
        entered.ID = id;
        return WriteRow(
            *GetPtrRecordset(), RowWrite::Add, [&](db::Recordset& rs) { XferDlgToRecordset(entered, rs); },
            [this](const db::Error& e) { ShowEngineError(e); });
    });
    if (!stored) return false;
    ActivateRecordInRecordset(entered.ID);
    PutRecordToListCtrl(true);
    if (m_pInvoices) m_pInvoices->ReQueryRecordsetUsingID(entered.ID, true);
    SelectOnly(Model()->RowOfID(entered.ID));
    Doc()->IncrementCustomerNbr();
    RaiseNumberCounter(entered.CustomerNbr);
    return true;
}

void CCustomerListCtrl::OnEditItem() {
    Trace20("OnEditItem");
    if (!CanProceed() || !CanEdit()) return;
    if (GetSelectedCount() >= 2) {
        EditMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (!ActivateRecordInRecordset(id)) return;
    scrollTo(Model()->index(GetCurrentRow(), 0));
    db::Recordset& rs = *GetPtrRecordset();
    CCustomerRecord record;
    XferRecordsetToDlg(rs, record);
    CCustomerInfoDlg dlg(record, &Doc()->Prompter(), this);
    if (Doc()->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    CCustomerRecord edited = dlg.Record();
    edited.ID = record.ID;
    edited.InvoiceCnt = record.InvoiceCnt;
    edited.BalanceDue = record.BalanceDue;
    try {
        db::Transaction tx(rs.database());
        rs.edit();
        XferDlgToRecordset(edited, rs);
        rs.update();
        if (m_pInvoices && edited.CustomerNbr != record.CustomerNbr)
            m_pInvoices->SetCustomerNumberOfInvoices(edited.ID, edited.CustomerNbr);
        tx.commit();
    } catch (const db::Error& e) {
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        ShowEngineError(e);
        return;
    }
    RaiseNumberCounter(edited.CustomerNbr);
    PutRecordToListCtrl(false);
    ReQueryRecordsetB();
}

bool CCustomerListCtrl::DeleteCustomerWithInvoices(int id, QString& failure) {
    if (m_pInvoices && !m_pInvoices->DeleteAllCustomerInvoices(id, &failure)) return false;
    db::Recordset& rs = *GetPtrRecordset();
    if (!rs.findFirst(QStringLiteral("ID = %1").arg(id))) {
        failure = QStringLiteral("Failed to locate record!\n");
        return false;
    }
    rs.removeAndStepBack();
    return true;
}

bool CCustomerListCtrl::DeleteCustomersWithInvoices(const std::vector<int>& ids) {
    QString failure;
    try {
        db::Transaction tx(*Doc()->GetPtrDatabase());
        for (int id : ids)
            if (!DeleteCustomerWithInvoices(id, failure)) throw db::Error(failure);
        tx.commit();
        return true;
    } catch (const db::Error& e) {
        ShowEngineError(e);
    }
    // Rolled back: every row is in the file and in the recordsets again. The invoice list was
    // emptied on the way, so the active customer's invoices are shown anew.
    m_currentRow = -1;
    EnsureItemActive();
    ReQueryRecordsetB();
    return false;
}

void CCustomerListCtrl::OnEditDelItem() {
    Trace20("OnEditDelItem");
    if (!CanProceed() || !CanEdit()) return;
    if (GetSelectedCount() >= 2) {
        DeleteMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (!ActivateRecordInRecordset(id)) return;
    scrollTo(Model()->index(GetCurrentRow(), 0));
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete Customer Record?"))) return;
    if (!DeleteCustomersWithInvoices({id})) return;
    Model()->RemoveRow(Model()->RowOfID(id));
    m_currentRow = -1;
    ClearSelected();
    const int next = FindCurrentRecordInListCtrl();
    if (next >= 0) SelectOnly(next);
    EnsureItemActive();
    if (GetItemCount() == 0 && m_pInvoices) m_pInvoices->ReQueryRecordsetUsingID(-1, true);
    ReQueryRecordsetB();
}

void CCustomerListCtrl::DeleteMultipleItems() {
    Trace20("DeleteMultipleItems");
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete all selected records?"))) return;
    const std::vector<int> ids = GetSelectedIDs();
    if (!DeleteCustomersWithInvoices(ids)) return;
    RemoveRowsWithIDs(QSet<int>(ids.begin(), ids.end()));
    EnsureItemActive();
    if (GetItemCount() == 0 && m_pInvoices) m_pInvoices->ReQueryRecordsetUsingID(-1, true);
    ReQueryRecordsetB();
}

void CCustomerListCtrl::EditMultipleItems() {
    Trace20("EditMultipleItems");
    const int activeID = GetCurrentID();
    CCustomerMultiEditDlg dlg(GetCustomerPriceChoice(), this);
    if (Doc()->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    const CCustomerMultiEdit changes = dlg.Changes();
    if (!changes.AnyChange()) return;
    db::Recordset& rs = *GetPtrRecordset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        db::Transaction tx(rs.database());
        for (int row : GetSelectedRows()) {
            if (!ActivateRecordInRecordset(GetItemID(row))) continue;
            CCustomerRecord record;
            XferRecordsetToDlg(rs, record);
            ApplyCustomerMultiEdit(changes, record);
            rs.edit();
            XferDlgToRecordset(record, rs);
            rs.update();
            PutRecordToListCtrl(false);
        }
        tx.commit();
    } catch (const db::Error& e) {
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        ShowEngineError(e);
        RefreshListCtrlFromRecordset(); // the rolled-back rows show their stored values again
    }
    QApplication::restoreOverrideCursor();
    ActivateRecordInRecordset(activeID);
}

void CCustomerListCtrl::ValidateAllRecords() {
    Trace20("ValidateAllRecords");
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    m_duplicateNumbers = false;
    db::Recordset& rs = *GetPtrRecordset();
    ReQueryRecordsetB();
    try {
        db::Transaction tx(rs.database());
        // A customer without a number goes, and its invoices and their lines with it.
        std::vector<int> numberless;
        rs.moveFirst();
        while (!rs.isEOF()) {
            const int number = rs.intValue(kNbr);
            const int id = rs.intValue(kID);
            if (number == 0) {
                numberless.push_back(id);
                rs.moveNext();
                continue;
            }
            const QString filter = QStringLiteral("CustomerNbr = %1").arg(number);
            for (bool found = m_pRecordSetB->findFirst(filter); found; found = m_pRecordSetB->findNext(filter))
                if (m_pRecordSetB->intValue(kID) != id) {
                    m_duplicateNumbers = true;
                    break;
                }
            RaiseNumberCounter(number);
            rs.moveNext();
        }
        QString failure;
        for (int id : numberless)
            if (!DeleteCustomerWithInvoices(id, failure)) throw db::Error(failure);
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    ReQueryRecordsetB();
    RefreshListCtrlFromRecordset();
    if (m_duplicateNumbers)
        Doc()->Prompter().MessageBox(QStringLiteral("WARNING!\n\nMore than one customer has\nthe same customer number.\n"
                                                    "Invoices will be assigned to\nthe first customer found."));
}

// ---------------------------------------------------------------- totals

void CCustomerListCtrl::OnRefreshTotals() {
    Trace20("OnRefreshTotals");
    if (!CanProceed() || !m_pInvoices) return;
    int count = 0;
    double balance = 0.0;
    m_pInvoices->GetItemTotals(count, balance);
    db::Recordset& rs = *GetPtrRecordset();
    if (rs.recordCount() == 0 || rs.isBOF() || rs.isEOF()) return;
    const auto totals = [&](db::Recordset& r) {
        r.setValue(QStringLiteral("InvoiceCnt"), count);
        r.setValue(QStringLiteral("BalanceDue"), balance);
    };
    if (WriteRow(rs, RowWrite::Edit, totals, [this](const db::Error& e) { ShowEngineError(e); }))
        PutRecordToListCtrl(false);
}

void CCustomerListCtrl::OnRefreshAllTotals() {
    Trace20("OnRefreshAllTotals");
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0 || !m_pInvoices) return;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        std::vector<int> ids;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) ids.push_back(rs.intValue(kID));
        for (int id : ids) {
            if (!ActivateRecordInRecordset(id)) continue;
            m_pInvoices->ReQueryRecordsetUsingID(id, false);
            OnRefreshTotals();
        }
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    m_currentRow = -1;
    EnsureItemActive();
}

void CCustomerListCtrl::OnRefreshGroupTotals(int customerID) {
    Trace20("OnRefreshGroupTotals");
    if (customerID <= 0 || !m_pRecordSetB || !m_pInvoices) return;
    ReQueryRecordsetB();
    if (!ActivateRecordInRecordsetB(customerID)) return;
    int count = 0;
    double balance = 0.0;
    if (!m_pInvoices->GetItemTotalsUsingRecordsetGroups(count, balance, customerID)) return;
    const auto totals = [&](db::Recordset& r) {
        r.setValue(QStringLiteral("InvoiceCnt"), count);
        r.setValue(QStringLiteral("BalanceDue"), balance);
    };
    if (!WriteRow(*m_pRecordSetB, RowWrite::Edit, totals, [this](const db::Error& e) { ShowEngineError(e); }))
        return;
    const int row = Model()->RowOfID(customerID);
    if (row < 0) return;
    QStringList cells; // from the second recordset: the main one stays where it is
    for (const ColumnSlot& slot : Columns().Slots()) {
        if (!slot.Used) break;
        cells << CellTextOf(*m_pRecordSetB, slot.ColumnIndex);
    }
    Model()->SetRow(row, cells);
}
