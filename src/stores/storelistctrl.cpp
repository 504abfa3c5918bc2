#include "storelistctrl.h"

#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/pricingrules.h"
#include "stores/storeiteminfodlg.h"
#include "stores/storeitemmultieditdlg.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProgressDialog>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {
const QString kID = QStringLiteral("ID");

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

CStoreListCtrl::CStoreListCtrl(CQuorvaneDoc* doc, CStoreTabCtrl* tabs, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CStoreListCtrl"), schema::StoreItems(0), QStringLiteral("Item"),
                  StoreItemColumnSet(), StoreItemColumnGroup(0), parent),
      m_pTabs(tabs) {
    m_underlineTimer.setSingleShot(true);
    connect(&m_underlineTimer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { PaintUnderlines(200); });
}

CStoreListCtrl::~CStoreListCtrl() = default;

void CStoreListCtrl::DefineTableName(int storeID) {
    m_storeID = storeID;
    Table().SetDefinition(schema::StoreItems(storeID));
    Columns().SetGroup(StoreItemColumnGroup(storeID));
}

// ---------------------------------------------------------------- refused writes

// The refusals of one command that writes many items make one message.
struct CStoreListCtrl::RefusalBatch {
    explicit RefusalBatch(CStoreListCtrl& list) : m_list(list) { ++m_list.m_batchDepth; }
    ~RefusalBatch() {
        if (--m_list.m_batchDepth == 0) m_list.TellRefused();
    }
    RefusalBatch(const RefusalBatch&) = delete;
    RefusalBatch& operator=(const RefusalBatch&) = delete;
    CStoreListCtrl& m_list;
};

void CStoreListCtrl::WriteRefused(const db::Error& e) {
    Trace(10, e.description());
    if (m_refused++ == 0) m_firstRefusal = e.description();
    if (m_batchDepth == 0) TellRefused();
}

std::function<void(const db::Error&)> CStoreListCtrl::Refused() {
    return [this](const db::Error& e) { WriteRefused(e); };
}

void CStoreListCtrl::TellRefused() {
    if (m_refused == 0) return;
    const QString text =
        m_refused == 1 ? QStringLiteral("The store item could not be stored.\n%1").arg(m_firstRefusal)
                       : QStringLiteral("%1 store items could not be stored.\n%2").arg(m_refused).arg(m_firstRefusal);
    m_refused = 0;
    m_firstRefusal.clear();
    Doc()->Prompter().MessageBox(text, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
}

// ---------------------------------------------------------------- transfer and cells

void CStoreListCtrl::XferRecordsetToDlg(const db::Recordset& rs, CStoreItemRecord& r) {
    const auto d = [&](const char* f) { return rs.doubleValue(QLatin1String(f)); };
    const auto t = [&](const char* f) { return rs.textValue(QLatin1String(f)); };
    r.ID = rs.intValue(kID);
    r.ItemCode = t("ItemCode");
    r.Description = t("Description");
    r.ContainerType = t("ContainerType");
    r.DiscountGrpName = t("DiscountGrpName");
    r.BaseLinePrice = d("BaseLinePrice");
    r.DiscountPrice = d("DiscountPrice");
    r.MarkupPrice = d("MarkupPrice");
    r.DiscountPercent = d("DiscountPercent");
    r.MarkupPercent = d("MarkupPercent");
    r.BasePricePerOz = d("BasePricePerOz");
    r.DiscPricePerOz = d("DiscPricePerOz");
    r.MarkupPricePerOz = d("MarkupPricePerOz");
    r.ProdOunces = d("ProdOunces");
    r.ProdPounds = d("ProdPounds");
    r.ShipOunces = d("ShipOunces");
    r.ShipPounds = d("ShipPounds");
    r.QtyInStock = rs.intValue(QStringLiteral("QtyInStock"));
    r.UserField1 = t("UserField1");
    r.UserField2 = t("UserField2");
}

void CStoreListCtrl::XferDlgToRecordset(const CStoreItemRecord& r, db::Recordset& rs) {
    const auto d = [&](const char* f, double v) { rs.setValue(QLatin1String(f), v); };
    const auto t = [&](const char* f, const QString& v) { rs.setValue(QLatin1String(f), CRecordTable::Blank(v)); };
    rs.setValue(kID, r.ID);
    t("ItemCode", r.ItemCode);
    t("Description", r.Description);
    t("ContainerType", r.ContainerType);
    t("DiscountGrpName", r.DiscountGrpName);
    d("BaseLinePrice", r.BaseLinePrice);
    d("DiscountPrice", r.DiscountPrice);
    d("MarkupPrice", r.MarkupPrice);
    d("DiscountPercent", r.DiscountPercent);
    d("MarkupPercent", r.MarkupPercent);
    d("BasePricePerOz", r.BasePricePerOz);
    d("DiscPricePerOz", r.DiscPricePerOz);
    d("MarkupPricePerOz", r.MarkupPricePerOz);
    d("ProdOunces", r.ProdOunces);
    d("ProdPounds", r.ProdPounds);
    d("ShipOunces", r.ShipOunces);
    d("ShipPounds", r.ShipPounds);
    rs.setValue(QStringLiteral("QtyInStock"), r.QtyInStock);
    t("UserField1", r.UserField1);
    t("UserField2", r.UserField2);
}

QString CStoreListCtrl::CellText(int column) {
    const db::Recordset& rs = *GetPtrRecordset();
    const auto d = [&](const char* f) { return rs.doubleValue(QLatin1String(f)); };
    switch (column) {
    case 0: return rs.textValue(QStringLiteral("ItemCode"));
    case 1: return rs.textValue(QStringLiteral("Description"));
    case 2: return rs.textValue(QStringLiteral("ContainerType"));
    case 3: {
        const QString group = rs.textValue(QStringLiteral("DiscountGrpName"));
        return d("DiscountPercent") > 0.0 && group == QLatin1String("default") ? QStringLiteral("<none>") : group;
    }
    case 4: return FormatC(kFormatMoney7, d("BaseLinePrice"));
    case 5: return FormatC(kFormatMoney7, d("DiscountPrice"));
    case 6: return FormatC(kFormatMoney7, d("MarkupPrice"));
    case 7: return FormatRate(kFormatRate, d("DiscountPercent"));
    case 8: return FormatRate(kFormatRate, d("MarkupPercent"));
    case 9: return FormatC("%5.2f", d("BasePricePerOz"));
    case 10: return FormatC("%5.2f", d("DiscPricePerOz"));
    case 11: return FormatC("%5.2f", d("MarkupPricePerOz"));
    case 12: return FormatC("%5.1f lb", d("ProdPounds"));
    case 13: return FormatC("%5.1f Oz", d("ProdOunces"));
    case 14: return FormatC("%5.1f lb", d("ShipPounds"));
    case 15: return FormatC("%5.1f Oz", d("ShipOunces"));
    case 16: return QString::number(rs.intValue(QStringLiteral("QtyInStock")));
    case 17: return rs.textValue(QStringLiteral("UserField1"));
    case 18: return rs.textValue(QStringLiteral("UserField2"));
    default: return {};
    }
}

// ---------------------------------------------------------------- refill, underlines

void CStoreListCtrl::RefillProgress(int done, int total) {
    if (done == 0) {
        // Modeless: the refill runs on, the bar shows how far it got.
        m_progress = new QProgressDialog(QString(), QString(), 0, 100, this);
        m_progress->setWindowTitle(QStringLiteral("Progress Dialog"));
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setMinimumDuration(0);
        m_progress->setValue(0);
        m_progressShown = 0;
        return;
    }
    if (!m_progress || total <= 0) return;
    const int percent = int(double(done) / total * 100.0);
    if (percent - m_progressShown >= 5) {
        m_progressShown = percent;
        m_progress->setValue(percent);
    }
}

void CStoreListCtrl::AfterRefresh() {
    if (m_progress) {
        m_progress->close();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    if (CanProceed() && GetPtrRecordset()->recordCount() > 0) {
        try {
            GetPtrRecordset()->moveFirst();
        } catch (const db::Error&) {
        }
    }
}

void CStoreListCtrl::OnRowActivated(int) { PaintUnderlines(200); }

void CStoreListCtrl::PaintUnderlines(int delayMs) { m_underlineTimer.start(delayMs); }

void CStoreListCtrl::scrollContentsBy(int dx, int dy) {
    CListWindow::scrollContentsBy(dx, dy);
    PaintUnderlines(10);
}

QColor CStoreListCtrl::UnderlineColor(int row) const {
    const bool marked = IsRowSelected(row) || FocusedRow() == row;
    if (!marked) return Qt::white;
    return row == m_currentRow ? QColor(0, 0, 255) : QColor(160, 160, 255);
}

void CStoreListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    CListWindow::drawRow(painter, option, index);
    const int bottom = option.rect.bottom();
    if (bottom < 0) return; // rows under the header get no line
    painter->save();
    painter->setPen(QPen(UnderlineColor(index.row()), 1, Qt::SolidLine));
    painter->drawLine(0, bottom, 3000, bottom);
    painter->restore();
}

// ---------------------------------------------------------------- record commands

void CStoreListCtrl::StandOnRow(int row) {
    ClearSelected();
    SelectOnly(row);
    if (row >= 0) scrollTo(Model()->index(row, 0));
    PaintUnderlines(200);
}

void CStoreListCtrl::OnEditAddItem() {
    Trace20("OnEditAddItem");
    if (!CanProceed()) return;
    CStoreItemRecord record;
    record.ID = Doc()->GetHighWaterStoreItemsID();
    CStoreItemInfoDlg dlg(record, Doc(), this);
    if (Doc()->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    CStoreItemRecord entered = dlg.Record();
    AddStoreItem(entered);
}

bool CStoreListCtrl::AddStoreItem(CStoreItemRecord& entered) {
    if (!CanProceed()) return false;
    // Taken again now: another user may have added an item while the dialog was open.
    const bool stored = Doc()->StoreWithNewID(CQuorvaneDoc::StoreItemsID, [&](int id) {
        entered.ID = id;
        return WriteRow(*GetPtrRecordset(), RowWrite::Add, [&](db::Recordset& r) { XferDlgToRecordset(entered, r); },
                        Refused());
    });
    if (!stored) return false;
    ActivateRecordInRecordset(entered.ID);
    PutRecordToListCtrl(true);
    StandOnRow(Model()->RowOfID(entered.ID));
    return true;
}

void CStoreListCtrl::OnEditItem() {
    Trace20("OnEditItem");
    if (!CanProceed()) return;
    if (GetSelectedCount() >= 2) {
        EditMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (id < 0 || !ActivateRecordInRecordset(id)) return;
    db::Recordset& rs = *GetPtrRecordset();
    CStoreItemRecord record;
    XferRecordsetToDlg(rs, record);
    CStoreItemInfoDlg dlg(record, Doc(), this);
    if (Doc()->Prompter().ExecDialog(dlg) == QDialog::Accepted) {
        CStoreItemRecord edited = dlg.Record();
        edited.ID = id;
        if (ActivateRecordInRecordset(id) &&
            WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { XferDlgToRecordset(edited, r); }, Refused()))
            PutRecordToListCtrl(false);
    }
    PaintUnderlines(200);
}

void CStoreListCtrl::OnEditDelItem() {
    Trace20("OnEditDelItem");
    if (!CanProceed()) return;
    if (GetSelectedCount() >= 2) {
        DeleteMultipleItems();
        return;
    }
    const int id = GetCurrentID();
    if (id < 0 || !ActivateRecordInRecordset(id)) return;
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete Store Item Record?"))) return;
    db::Recordset& rs = *GetPtrRecordset();
    Model()->RemoveRow(Model()->RowOfID(id));
    m_currentRow = -1;
    try {
        ActivateRecordInRecordset(id);
        rs.removeAndStepBack();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return;
    }
    const int row = FindCurrentRecordInListCtrl();
    if (row >= 0) StandOnRow(row);
}

void CStoreListCtrl::DeleteMultipleItems() {
    Trace20("DeleteMultipleItems");
    if (Doc()->IsVerifyOn() && !Doc()->Prompter().AskYesNo(QStringLiteral("Delete all selected records?"))) return;
    db::Recordset& rs = *GetPtrRecordset();
    const WaitCursor wait;
    try {
        db::Transaction tx(rs.database());
        QSet<int> gone;
        for (int id : GetSelectedIDs())
            if (ActivateRecordInRecordset(id)) {
                rs.remove();
                gone.insert(id);
            }
        tx.commit();
        RemoveRowsWithIDs(gone);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        RefreshListCtrlFromRecordset(); // the rolled-back rows come back
    }
    EnsureItemActive();
}

void CStoreListCtrl::EditMultipleItems() {
    Trace20("EditMultipleItems");
    CStoreItemMultiEditDlg dlg(Doc(), this);
    if (Doc()->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    const CStoreItemMultiEdit changes = dlg.Changes();
    if (!changes.AnyTicked()) return;
    viewport()->update();
    const auto table = CStoreItemMultiEditDlg::DiscountTableOf(Doc());
    const QStringList containers = CStoreItemMultiEditDlg::ContainerListOf(Doc());
    db::Recordset& rs = *GetPtrRecordset();
    const RefusalBatch batch(*this);
    const WaitCursor wait;
    // One notice to the view for all the rewritten rows, whatever happens below.
    struct Batch {
        CReportModel* model;
        explicit Batch(CReportModel* m) : model(m) { model->BeginChanges(); }
        ~Batch() { model->EndChanges(); }
    } viewBatch(Model());
    try {
        db::Transaction tx(rs.database());
        for (int row : GetSelectedRows()) {
            if (!ActivateRecordInRecordset(GetItemID(row))) continue;
            CStoreItemRecord record;
            XferRecordsetToDlg(rs, record);
            ApplyStoreItemMultiEdit(changes, table, containers, record);
            // An item that fails stays as it was; the others go on.
            if (WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { XferDlgToRecordset(record, r); }, Refused()))
                Model()->SetRow(row, RowCells());
        }
        tx.commit();
    } catch (const db::Error& e) {
        WriteRefused(e);
        RefreshListCtrlFromRecordset();
    }
    EnsureItemActive();
}

bool CStoreListCtrl::OnFindItem(const QString& text) {
    Trace20("OnFindItem");
    if (!CanProceed() || GetItemCount() == 0) return false;
    const WaitCursor wait;
    db::Recordset& rs = *GetPtrRecordset();
    const QString needle = text.toLower();
    static const QString fields[] = {QStringLiteral("ItemCode"), QStringLiteral("Description"),
                                     QStringLiteral("UserField1"), QStringLiteral("UserField2")};
    try {
        const int start = GetCurrentID();
        if (start < 0 || !ActivateRecordInRecordset(start)) return false;
        bool ascii = true;
        for (QChar c : needle) ascii = ascii && c.unicode() < 128;
        int foundID = -1;
        if (ascii) {
            // The engine searches the table itself; ASCII letters compare without case there.
            if (rs.findNextContaining({fields[0], fields[1], fields[2], fields[3]}, needle)) foundID = rs.intValue(kID);
        } else {
            const long count = rs.recordCount();
            for (long step = 0; step <= count && foundID < 0; ++step) {
                rs.moveNext();
                if (rs.isEOF()) rs.moveFirst(); // wraps round to the first item
                const int id = rs.intValue(kID);
                if (id == start) break;
                for (const QString& f : fields)
                    if (rs.textValue(f).toLower().contains(needle)) {
                        foundID = id;
                        break;
                    }
            }
        }
        if (foundID < 0 || foundID == start) {
            ActivateRecordInRecordset(start);
            return false;
        }
        ClearSelected();
        const int row = Model()->RowOfID(foundID);
        if (row >= 0) StandOnRow(row);
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return false;
}

void CStoreListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Insert) {
        OnBuyKeys();
        QTimer::singleShot(200, viewport(), qOverload<>(&QWidget::update));
        return;
    }
    CListWindow::keyPressEvent(event);
    PaintUnderlines(200);
}

// ---------------------------------------------------------------- buying

namespace {
CInvoicesListCtrl* InvoiceList(CQuorvaneDoc* doc) { return dynamic_cast<CInvoicesListCtrl*>(doc->GetInvoiceOwner()); }
CInvoiceItemsListCtrl* ItemList(CQuorvaneDoc* doc) {
    return dynamic_cast<CInvoiceItemsListCtrl*>(doc->GetInvoiceItemsOwner());
}
} // namespace

void CStoreListCtrl::OnBuyItems() {
    Trace20("OnBuyItems");
    CInvoicesListCtrl* invoices = InvoiceList(Doc());
    if (!invoices || invoices->GetItemCount() == 0) {
        Doc()->Prompter().MessageBox(QStringLiteral("Create an invoice first!"));
        return;
    }
    // Items are never bought onto a group invoice directly.
    if (invoices->IsGroupInvoice()) return;
    BuySelectedRows();
}

void CStoreListCtrl::OnBuyKeys() {
    CInvoicesListCtrl* invoices = InvoiceList(Doc());
    if (!invoices || !invoices->CanEdit() || invoices->IsGroupInvoice()) return;
    BuySelectedRows();
}

void CStoreListCtrl::BuySelectedRows() {
    const int focused = FocusedRow();
    std::vector<int> rows;
    for (int row = 0; row < GetItemCount(); ++row)
        if (IsRowSelected(row) || row == focused) rows.push_back(row);
    for (int row : rows) {
        // A purchase that failed was undone and shown: the rest are not bought.
        const std::uint64_t errorsBefore = db::Error::MadeCount();
        AddItemToInvoice(row);
        if (db::Error::MadeCount() != errorsBefore) break;
    }
}

void CStoreListCtrl::AddItemToInvoice(int row) {
    Trace20("AddItemToInvoice");
    CInvoiceItemsListCtrl* items = ItemList(Doc());
    if (!items || row < 0 || row >= GetItemCount()) return;
    const int id = GetItemID(row);
    if (!ActivateRecordInRecordset(id)) return;
    ItemPurchase purchase;
    try {
        const db::Recordset& rs = *GetPtrRecordset();
        purchase.StoreID = m_storeID;
        purchase.StoreItemID = id;
        purchase.ItemCode = rs.textValue(QStringLiteral("ItemCode"));
        purchase.Description = rs.textValue(QStringLiteral("Description"));
        purchase.ItemWeight = rs.doubleValue(QStringLiteral("ShipPounds"));
        purchase.BaseLinePrice = rs.doubleValue(QStringLiteral("BaseLinePrice"));
        purchase.DiscountPrice = rs.doubleValue(QStringLiteral("DiscountPrice"));
        purchase.MarkupPrice = rs.doubleValue(QStringLiteral("MarkupPrice"));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return;
    }
    items->AddItem(purchase);
    // The item the user sees stays the current one.
    if (m_currentRow >= 0) ActivateRecordInRecordset(GetItemID(m_currentRow));
}

int CStoreListCtrl::ChangeStockQuantityByAmount(int storeItemID, int amount, bool* found) {
    Trace20("ChangeStockQuantityByAmount");
    if (found) *found = false;
    if (!CanProceed() || GetItemCount() == 0 || !m_pTabs || !m_pTabs->IsTrackingStockQty(m_storeID)) return 0;
    // An item that is gone (or a line tied to none) changes no other item's stock.
    if (!ActivateRecordInRecordset(storeItemID)) return 0;
    db::Recordset& rs = *GetPtrRecordset();
    int old = 0;
    const bool stored = WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) {
        old = r.intValue(QStringLiteral("QtyInStock"));
        const qint64 now = std::clamp<qint64>(qint64(old) + amount, 0, std::numeric_limits<int>::max());
        r.setValue(QStringLiteral("QtyInStock"), int(now));
    }, Refused());
    if (!stored) return 0;
    PutRecordToListCtrl(false);
    if (m_currentRow >= 0) ActivateRecordInRecordset(GetItemID(m_currentRow));
    if (found) *found = true;
    return old;
}

// ---------------------------------------------------------------- queries

namespace {

// Other lists read a store item through the list's recordset; afterwards it stands on the item
// it stood on before, which buying and the item commands read as the current one.
template <typename Read>
auto ReadKeepingPosition(CStoreListCtrl& list, Read&& read) {
    db::Recordset& rs = *list.GetPtrRecordset();
    int standing = -1;
    try {
        if (!rs.isBOF() && !rs.isEOF()) standing = rs.intValue(QStringLiteral("ID"));
    } catch (const db::Error&) {
        // Standing on a row just deleted: there is no item to go back to.
    }
    auto result = read(rs);
    if (standing >= 0) list.ActivateRecordInRecordset(standing);
    return result;
}

} // namespace

int CStoreListCtrl::GetStoreItemIDFromItemCode(const QString& code) {
    Trace20("GetStoreItemIDFromItemCode");
    if (!CanProceed()) return -1;
    try {
        return ReadKeepingPosition(*this, [&](db::Recordset& rs) {
            return rs.findFirstExact(QStringLiteral("ItemCode"), code) ? rs.intValue(kID) : -1;
        });
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return -1;
}

QString CStoreListCtrl::GetItemDescription(int id) {
    if (id < 0 || !CanProceed()) return {};
    try {
        return ReadKeepingPosition(*this, [&](db::Recordset& rs) {
            return rs.findFirst(QStringLiteral("ID = %1").arg(id)) ? rs.textValue(QStringLiteral("Description")) : QString();
        });
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return {};
    }
}

bool CStoreListCtrl::GetWeightAndPrices(int id, double& shipPounds, double& basePrice, double& discountPrice,
                                        double& markupPrice) {
    if (id < 0 || !CanProceed()) return false;
    try {
        // All four are read before any output is written: a failure leaves them all as they were.
        const std::optional<std::array<double, 4>> found = ReadKeepingPosition(*this, [&](db::Recordset& rs) {
            std::optional<std::array<double, 4>> values;
            if (rs.findFirst(QStringLiteral("ID = %1").arg(id)))
                values = std::array<double, 4>{rs.doubleValue(QStringLiteral("ShipPounds")),
                                               rs.doubleValue(QStringLiteral("BaseLinePrice")),
                                               rs.doubleValue(QStringLiteral("DiscountPrice")),
                                               rs.doubleValue(QStringLiteral("MarkupPrice"))};
            return values;
        });
        if (!found) return false;
        shipPounds = (*found)[0];
        basePrice = (*found)[1];
        discountPrice = (*found)[2];
        markupPrice = (*found)[3];
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

// ---------------------------------------------------------------- pricing

void CStoreListCtrl::UpdateCurrentRecordDiscPercent(const QString& groupName, double percent) {
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    WriteRow(*GetPtrRecordset(), RowWrite::Edit, [&](db::Recordset& rs) {
        // Read in edit mode: the row as it is now.
        const CItemPrices p = PricesFromDiscount(rs.doubleValue(QStringLiteral("BaseLinePrice")), percent,
                                                 rs.doubleValue(QStringLiteral("MarkupPercent")),
                                                 rs.doubleValue(QStringLiteral("ProdOunces")));
        rs.setValue(QStringLiteral("DiscountGrpName"), CRecordTable::Blank(groupName));
        rs.setValue(QStringLiteral("DiscountPercent"), percent);
        rs.setValue(QStringLiteral("DiscountPrice"), p.discountPrice);
        rs.setValue(QStringLiteral("MarkupPrice"), p.markupPrice);
        rs.setValue(QStringLiteral("DiscPricePerOz"), p.discPricePerOz);
        rs.setValue(QStringLiteral("MarkupPricePerOz"), p.markupPricePerOz);
    }, Refused());
}

void CStoreListCtrl::UpdateCurrentRecordContainerName(const QString& name) {
    if (!CanProceed()) return;
    WriteRow(*GetPtrRecordset(), RowWrite::Edit,
             [&](db::Recordset& rs) { rs.setValue(QStringLiteral("ContainerType"), CRecordTable::Blank(name)); },
             Refused());
}

template <typename Fn> void CStoreListCtrl::ForEachItem(Fn fn) {
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    db::Recordset& rs = *GetPtrRecordset();
    const RefusalBatch batch(*this);
    const WaitCursor wait;
    try {
        db::Transaction tx(rs.database()); // one write for the whole store
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) fn(rs);
        tx.commit();
    } catch (const db::Error& e) {
        WriteRefused(e);
    }
}

void CStoreListCtrl::ResetAllDiscCategories() {
    Trace20("ResetAllDiscCategories");
    int id = 0;
    QString name;
    double percent = 0.0;
    // A table without entries leaves the items as they are.
    if (!Doc()->GetPtrLookupTable()->GetFirst(id, name, percent)) return;
    ForEachItem([&](db::Recordset&) { UpdateCurrentRecordDiscPercent(name, percent); });
}

void CStoreListCtrl::ResetAllContainerNames() {
    Trace20("ResetAllContainerNames");
    ForEachItem([&](db::Recordset&) { UpdateCurrentRecordContainerName(QStringLiteral(" ")); });
}

void CStoreListCtrl::UpdateAllItemsFromDiscountTable(int discTableID, const QSet<QString>* groups) {
    Trace20("UpdateAllItemsFromDiscountTable");
    CLookupTable* lookup = Doc()->GetPtrLookupTable();
    lookup->ReQueryRecordsetUsingCategory(discTableID);
    // The table is read once; looking each name up in it is what the rule asks for.
    QHash<QString, double> rates;
    int id = 0;
    QString name;
    double value = 0.0;
    for (bool ok = lookup->GetFirst(id, name, value); ok; ok = lookup->GetNext(id, name, value))
        if (!rates.contains(name)) rates.insert(name, value);
    ForEachItem([&](db::Recordset& rs) {
        const QString group = rs.textValue(QStringLiteral("DiscountGrpName"));
        // An item of an unchanged group keeps its prices, typed ones included.
        if (groups && !groups->contains(group)) return;
        UpdateCurrentRecordDiscPercent(group, rates.value(group, 0.0));
    });
    RefreshListCtrlFromRecordset();
    EnsureItemActive();
}

void CStoreListCtrl::UpdateAllItemsFromContainerList(int containerID) {
    Trace20("UpdateAllItemsFromContainerList");
    CDaoGroupedStringList* list = Doc()->GetPtrContainers();
    list->ReQueryRecordsetUsingGroup(containerID);
    QHash<QString, QString> spelling; // lower case -> the list's first spelling
    int id = 0;
    QString name;
    for (bool ok = list->GetFirst(id, name); ok; ok = list->GetNext(id, name))
        if (!spelling.contains(name.toLower())) spelling.insert(name.toLower(), name);
    ForEachItem([&](db::Recordset& rs) {
        const QString stored = rs.textValue(QStringLiteral("ContainerType"));
        const auto it = spelling.constFind(stored.toLower());
        if (it == spelling.constEnd()) {
            if (stored != QLatin1String(" ")) UpdateCurrentRecordContainerName(QStringLiteral(" "));
        } else if (*it != stored) {
            UpdateCurrentRecordContainerName(*it);
        }
    });
    RefreshListCtrlFromRecordset();
    EnsureItemActive();
}

void CStoreListCtrl::ValidateAllRecords() {
    Trace20("ValidateAllRecords");
    ForEachItem([&](db::Recordset& rs) {
        CStoreItemRecord record;
        XferRecordsetToDlg(rs, record);
        ValidateStoreItem(record);
        WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { XferDlgToRecordset(record, r); }, Refused());
    });
}
