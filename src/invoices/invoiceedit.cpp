#include "invoices/invoiceslistctrl.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceinfodlg.h"
#include "invoices/invoicemultieditdlg.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"

#include <QApplication>
#include <limits>

// Adding and editing invoices through the invoice dialog and the multi-edit dialog.

CInvoiceRecord CInvoicesListCtrl::NewInvoiceRecord() {
    CInvoiceRecord r;
    r.ID = Doc()->GetHighWaterInvoiceID();
    r.InvoiceNumber = Doc()->GetHighWaterInvoiceNbr();
    r.DateEntered = EngineDateNow();
    if (m_pCustomers) {
        r.CustomerID = m_pCustomers->GetCustomerID();
        r.CustomerNumber = m_pCustomers->GetCustomerNumber();
        r.CustomerName = m_pCustomers->GetCustomerName(r.CustomerID);
        r.PriceChoice = m_pCustomers->GetCustomerPriceChoice();
        r.DiscountPercent = m_pCustomers->GetCustomerDefDiscountRate();
        r.TaxRate = m_pCustomers->IsTaxable() ? m_pCustomers->GetCustomerDefTaxRate() : 0.0;
        if (m_pCustomers->IsGroupOrder()) {
            r.GroupInvoice = true;
            r.InvoiceGroupID = Doc()->GetHighWaterInvoiceGroupID();
        }
    }
    r.ShipCostPerLb = m_pStores ? m_pStores->GetStoreShippingCost() : 0.0;
    return r;
}

void CInvoicesListCtrl::RaiseNumberCounter(int number) {
    if (number >= Doc()->GetHighWaterInvoiceNbr())
        Doc()->SetInvoiceNbr(number < std::numeric_limits<int>::max() ? number + 1 : number);
}

bool CInvoicesListCtrl::AddInvoice(CInvoiceRecord& r) {
    Trace20("AddInvoice");
    if (!CanProceed()) return false;
    // The identifiers are taken again while the row is stored: another user of the file may
    // have added an invoice or a group while the dialog was open.
    const bool stored = Doc()->StoreWithNewID(CQuorvaneDoc::InvoiceID, [&](int id) {
        r.ID = id;
        if (r.GroupInvoice) {
            r.InvoiceGroupID = Doc()->GetHighWaterInvoiceGroupID();
            Doc()->IncrementInvoiceGroupID();
        }
        db::Recordset& rs = *GetPtrRecordset();
        rs.addNew();
        XferDlgToRecordset(r, rs);
        rs.update();
        Doc()->IncrementInvoiceNbr();
        RaiseNumberCounter(r.InvoiceNumber);
        return true;
    });
    if (!stored) {
        if (GetPtrRecordset()->editMode() != db::Recordset::NoEdit) GetPtrRecordset()->cancelUpdate();
        return false;
    }
    ReQueryRecordsetAll();
    ReQueryRecordsetGroups();
    if (ActivateRecordInRecordset(r.ID) && (!m_pCustomers || r.CustomerID == m_pCustomers->GetCustomerID())) {
        PutRecordToListCtrl(true);
        SelectOnly(Model()->RowOfID(r.ID));
        UpdateCustomerRecord();
    } else if (m_currentID >= 0) {
        ActivateRecordInRecordset(m_currentID);
    }
    return true;
}

CInvoiceDlgServices CInvoicesListCtrl::DialogServices(bool existing) {
    CInvoiceDlgServices services;
    services.lines = [this, existing](int choice) {
        return existing && m_pItems ? m_pItems->GetLinesForListBox(choice) : std::vector<CInvoiceLineView>{};
    };
    services.writePriceChoice = [this, existing](int choice) {
        if (!existing || !SetPriceChoice(choice)) return false;
        if (m_pItems) m_pItems->RefreshListCtrlFromRecordset();
        return true;
    };
    services.checkGroup = [this](int group) {
        const int id = FindGroupRecordWithGroupID(group);
        if (id == -1) return CInvoiceDlgServices::GroupCheck::NotFound;
        if (IsInvoiceClosed(id)) return CInvoiceDlgServices::GroupCheck::Closed;
        return CInvoiceDlgServices::GroupCheck::Ok;
    };
    return services;
}

void CInvoicesListCtrl::OnEditAddItem() {
    Trace20("OnEditAddItem");
    if (!CanProceed()) return;
    const int customerID = m_pCustomers ? m_pCustomers->GetCustomerID() : -1;
    if (customerID == -1) {
        Doc()->Prompter().MessageBox(QStringLiteral("Select a customer first!\n"));
        return;
    }
    CInvoiceRecord record = NewInvoiceRecord();
    if (m_pItems) m_pItems->DeleteAllItems(); // the new invoice has no lines yet
    CInvoiceInfoDlg dlg(record, &Doc()->Prompter(), DialogServices(false), this);
    if (Doc()->Prompter().ExecDialog(dlg) == QDialog::Accepted) {
        CInvoiceRecord entered = dlg.Record();
        entered.CustomerID = record.CustomerID;
        entered.CustomerNumber = record.CustomerNumber;
        entered.GroupInvoice = record.GroupInvoice;
        AddInvoice(entered);
    } else if (m_currentID >= 0 && m_pItems) {
        m_pItems->ReQueryRecordsetUsingID(m_currentID);
    }
    EnsureItemActive();
    UpdateItemsBackgroundColors();
}

void CInvoicesListCtrl::OnEditItem() {
    Trace20("OnEditItem");
    if (!CanProceed() || !CanEdit()) return;
    if (GetSelectedCount() >= 2) {
        EditMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (!ActivateRecordInRecordset(id)) return;
    scrollTo(Model()->index(GetCurrentRow(), 0));
    CInvoiceRecord stored;
    XferRecordsetToDlg(*GetPtrRecordset(), stored);
    stored.CustomerName = m_pCustomers ? m_pCustomers->GetCustomerName(stored.CustomerID) : QString();
    CInvoiceInfoDlg dlg(stored, &Doc()->Prompter(), DialogServices(true), this);
    const bool accepted = Doc()->Prompter().ExecDialog(dlg) == QDialog::Accepted;
    if (!accepted) {
        // A price radio wrote the stored invoice at once: its totals follow whatever the outcome.
        if (dlg.PriceChoiceWritten()) {
            OnRefreshTotals();
            if (IsPartOfGroupInvoice()) UpdateGroupInvoiceTotals(GetInvoiceGroupID());
        }
        return;
    }
    CInvoiceRecord edited = dlg.Record();
    edited.ID = stored.ID;
    edited.CustomerID = stored.CustomerID;
    edited.CustomerNumber = stored.CustomerNumber;
    edited.GroupInvoice = stored.GroupInvoice;
    if (edited.GroupInvoice) edited.InvoiceGroupID = stored.InvoiceGroupID;
    StoreEditedInvoice(stored, edited);
}

bool CInvoicesListCtrl::StoreEditedInvoice(const CInvoiceRecord& before, const CInvoiceRecord& edited) {
    db::Recordset& rs = *GetPtrRecordset();
    GroupRebuilds done;
    try {
        db::Transaction tx(rs.database());
        if (!ActivateRecordInRecordset(edited.ID)) throw db::Error(QStringLiteral("Failed to locate record!\n"));
        rs.edit();
        XferDlgToRecordset(edited, rs);
        rs.update();
        RaiseNumberCounter(edited.InvoiceNumber);
        // A member that leaves or changes its group leaves its old group invoice too.
        const int oldGroup = before.GroupInvoice ? 0 : before.InvoiceGroupID;
        const int newGroup = edited.GroupInvoice ? 0 : edited.InvoiceGroupID;
        if (oldGroup >= 1 && oldGroup != newGroup) RebuildGroupInTransaction(oldGroup, done);
        if (newGroup >= 1) RebuildGroupInTransaction(newGroup, done);
        tx.commit();
    } catch (const db::Error& e) {
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        ShowEngineError(e);
        ActivateRecordInRecordset(edited.ID);
        return false;
    }
    ActivateRecordInRecordset(edited.ID);
    PutRecordToListCtrl(false);
    UpdateCustomerRecord();
    UpdateItemsBackgroundColors();
    if (m_pItems) m_pItems->ReQueryRecordsetUsingID(edited.ID);
    AfterGroupRebuilds(done);
    if (edited.GroupInvoice) MatchInvoicesToGroupInvoice(edited.InvoiceGroupID);
    ActivateRecordInRecordset(edited.ID);
    return true;
}

void CInvoicesListCtrl::EditMultipleItems() {
    Trace20("EditMultipleItems");
    const int activeID = GetCurrentID();
    CInvoiceMultiEditDlg dlg(GetPriceChoice(), this);
    if (Doc()->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    const CInvoiceMultiEdit changes = dlg.Changes();
    if (!changes.AnyChange()) return;
    db::Recordset& rs = *GetPtrRecordset();
    const double now = EngineDateNow();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Model()->BeginChanges();
    try {
        db::Transaction tx(rs.database());
        for (int id : GetSelectedIDs()) {
            if (!ActivateRecordInRecordset(id)) continue;
            CInvoiceRecord r;
            XferRecordsetToDlg(rs, r);
            if (r.Closed) continue; // closed invoices are frozen
            // Each invoice is recomputed from its own lines.
            double subtotal = r.ItemsSubtotal;
            if (changes.price && changes.priceChoice != r.PriceChoice && m_pItems) {
                int count = 0;
                double weight = 0;
                m_pItems->GetItemTotalsOfInvoice(id, changes.priceChoice, count, weight, subtotal);
                if (!ActivateRecordInRecordset(id)) continue;
            }
            if (!ApplyInvoiceMultiEdit(changes, r, subtotal, now)) continue;
            rs.edit();
            XferDlgToRecordset(r, rs);
            rs.update();
            PutRecordToListCtrl(false);
        }
        tx.commit();
    } catch (const db::Error& e) {
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        Model()->EndChanges();
        QApplication::restoreOverrideCursor();
        ShowEngineError(e);
        RefreshListCtrlFromRecordset(); // the rolled-back rows show their stored values again
        return;
    }
    Model()->EndChanges();
    QApplication::restoreOverrideCursor();
    ActivateRecordInRecordset(activeID);
    UpdateCustomerRecord();
    UpdateItemsBackgroundColors();
    if (m_pItems) m_pItems->ReQueryRecordsetUsingID(activeID);
}
