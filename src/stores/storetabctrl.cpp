#include "storetabctrl.h"

#include "listwin/buttonbar.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/storeexchange.h"
#include "stores/storeinfodlg.h"
#include "stores/storeselectdlg.h"
#include "lookup/containerslistdlg.h"
#include "lookup/discounttabledlg.h"
#include "stores/storelistctrl.h"
#include "trace/tracesink.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTimer>

namespace {
const QString kID = QStringLiteral("ID");

// Store errors are traced, not shown.
void TraceError(const db::Error& e) { Trace(10, e.description()); }
} // namespace

CStoreTabCtrl::CStoreTabCtrl(CQuorvaneDoc* doc, QWidget* parent)
    : QWidget(parent), m_pDoc(doc), m_table(QStringLiteral("CStoreTabCtrl"), schema::Store(), QStringLiteral("store")),
      m_tabs(new QTabBar(this)) {
    setObjectName(QString::number(kWindowID));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int) { DisplayCurrentlySelectedStore(); });
    connect(m_tabs, &QTabBar::tabBarDoubleClicked, this, [this](int) { OnEditItem(); });

    m_editBar = new CButtonBar(36300, this);
    connect(m_editBar, &CButtonBar::newClicked, this, [this] {
        if (CStoreListCtrl* l = CurrentStoreList()) l->OnEditAddItem();
    });
    connect(m_editBar, &CButtonBar::editClicked, this, [this] {
        if (CStoreListCtrl* l = CurrentStoreList()) l->OnEditItem();
    });
    connect(m_editBar, &CButtonBar::deleteClicked, this, [this] {
        if (CStoreListCtrl* l = CurrentStoreList()) l->OnEditDelItem();
    });

    m_buyBar = new QWidget(this);
    m_buyBar->setObjectName(QStringLiteral("36500"));
    m_buyButton = new QPushButton(QStringLiteral("Buy"), m_buyBar);
    auto* buyLayout = new QHBoxLayout(m_buyBar);
    buyLayout->setContentsMargins(0, 0, 0, 0);
    buyLayout->addWidget(m_buyButton);

    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("36400"));
    m_findEdit = new QLineEdit(m_findBar);
    m_findButton = new QPushButton(QStringLiteral("Find"), m_findBar);
    auto* findLayout = new QHBoxLayout(m_findBar);
    findLayout->setContentsMargins(0, 0, 0, 0);
    findLayout->setSpacing(4);
    findLayout->addWidget(m_findEdit, 1);
    findLayout->addWidget(m_findButton);
    connect(m_findButton, &QPushButton::clicked, this, &CStoreTabCtrl::OnFindItem);
    // The "Buy" button buys the selected items of the store in front.
    connect(m_buyButton, &QPushButton::clicked, this, [this] {
        if (CStoreListCtrl* list = CurrentStoreList()) list->OnBuyItems();
    });
}

CStoreTabCtrl::~CStoreTabCtrl() = default;

// ---------------------------------------------------------------- the table

bool CStoreTabCtrl::DefineDaoTable(db::Database& database) { return m_table.DefineDaoTable(database); }
bool CStoreTabCtrl::OpenDaoRecordset(db::Database& database) { return m_table.OpenDaoRecordset(database); }
bool CStoreTabCtrl::CanProceed() const { return m_table.CanProceed(); }
db::Recordset* CStoreTabCtrl::GetPtrRecordset() const { return m_table.GetPtrRecordset(); }
bool CStoreTabCtrl::ActivateRecordInRecordset(int id) { return m_table.ActivateRecordInRecordset(id); }

void CStoreTabCtrl::CleanUp() {
    Trace(20, QStringLiteral("CStoreTabCtrl::CleanUp()"));
    for (CStoreListCtrl* list : m_lists) {
        list->CleanUp();
        list->hide();
        list->deleteLater(); // the close may come from one of its own events
    }
    m_lists.clear();
    m_listsMade = 0;
    const QSignalBlocker block(m_tabs);
    while (m_tabs->count() > 0) m_tabs->removeTab(0);
    m_currentIndex = -1;
    m_currentID = -1;
    m_table.CloseRecordset();
}

void CStoreTabCtrl::XferRecordsetToDlg(const db::Recordset& rs, CStoreRecord& r) {
    r.ID = rs.intValue(kID);
    r.DiscTableID = rs.intValue(QStringLiteral("DiscTableID"));
    r.ContainerID = rs.intValue(QStringLiteral("ContainerID"));
    r.ShippingCost = rs.doubleValue(QStringLiteral("ShippingCost"));
    r.StoreTabName = rs.textValue(QStringLiteral("StoreTabName"));
    r.StoreName = rs.textValue(QStringLiteral("StoreName"));
    r.Address1 = rs.textValue(QStringLiteral("Address1"));
    r.Address2 = rs.textValue(QStringLiteral("Address2"));
    r.City = rs.textValue(QStringLiteral("City"));
    r.State = rs.textValue(QStringLiteral("State"));
    r.Zip = rs.textValue(QStringLiteral("Zip"));
    r.Phone = rs.textValue(QStringLiteral("Phone"));
    r.Phone2 = rs.textValue(QStringLiteral("Phone2"));
    r.Fax = rs.textValue(QStringLiteral("Fax"));
    r.Comment = rs.textValue(QStringLiteral("Comment"));
    r.TrackStockQty = rs.intValue(QStringLiteral("TrackStockQty"));
}

void CStoreTabCtrl::XferDlgToRecordset(const CStoreRecord& r, db::Recordset& rs) {
    const auto text = [&](const char* f, const QString& v) { rs.setValue(QLatin1String(f), CRecordTable::Blank(v)); };
    rs.setValue(kID, r.ID);
    rs.setValue(QStringLiteral("DiscTableID"), r.DiscTableID);
    rs.setValue(QStringLiteral("ContainerID"), r.ContainerID);
    rs.setValue(QStringLiteral("ShippingCost"), r.ShippingCost);
    text("StoreTabName", r.StoreTabName);
    text("StoreName", r.StoreName);
    text("Address1", r.Address1);
    text("Address2", r.Address2);
    text("City", r.City);
    text("State", r.State);
    text("Zip", r.Zip);
    text("Phone", r.Phone);
    text("Phone2", r.Phone2);
    text("Fax", r.Fax);
    text("Comment", r.Comment);
    rs.setValue(QStringLiteral("TrackStockQty"), r.TrackStockQty ? 1 : 0);
}

// ---------------------------------------------------------------- tabs and lists

int CStoreTabCtrl::StoreIDOfTab(int index) const {
    return index >= 0 && index < m_tabs->count() ? m_tabs->tabData(index).toInt() : -1;
}

bool CStoreTabCtrl::AddStoreListControl(bool create) {
    Trace(20, QStringLiteral("CStoreTabCtrl::AddStoreListControl()"));
    const int id = GetPtrRecordset()->intValue(kID);
    auto* list = new CStoreListCtrl(m_pDoc, this, this);
    list->setObjectName(QString::number(36200 + m_listsMade));
    list->DefineTableName(id);
    db::Database& database = *m_pDoc->GetPtrDatabase();
    if (create) {
        if (!list->DefineDaoTable(database)) {
            m_pDoc->Prompter().MessageBox(QStringLiteral("Failed to create store items database table."));
            delete list;
            return false;
        }
        list->SetupDefaultColumns();
    } else {
        list->LoadColumnDefinitions();
    }
    if (!list->OpenDaoRecordset(database)) {
        delete list;
        return false;
    }
    list->ActivateListCtrlColumns();
    list->RefreshListCtrlFromRecordset();
    if (create) list->SaveColumnDefinitions();
    m_lists.push_back(list);
    ++m_listsMade;
    SizeLC(int(m_lists.size()) - 1);
    list->hide();
    return true;
}

void CStoreTabCtrl::RefreshTabCtrlFromRecordset() {
    Trace(20, QStringLiteral("CStoreTabCtrl::RefreshTabCtrlFromRecordset()"));
    if (!CanProceed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    {
        const QSignalBlocker block(m_tabs);
        while (m_tabs->count() > 0) m_tabs->removeTab(0);
    }
    try {
        if (rs.recordCount() == 0) return;
        std::vector<int> ids;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) ids.push_back(rs.intValue(kID));
        for (int id : ids) {
            ActivateRecordInRecordset(id);
            {
                const QSignalBlocker block(m_tabs);
                const int tab = m_tabs->addTab(rs.textValue(QStringLiteral("StoreTabName")).left(200));
                m_tabs->setTabData(tab, id);
            }
            if (!AddStoreListControl(false)) {
                // A tab without its list would throw tabs and lists out of step.
                {
                    const QSignalBlocker block(m_tabs);
                    m_tabs->removeTab(m_tabs->count() - 1);
                }
                m_pDoc->Prompter().MessageBox(QStringLiteral("Failed to create store list control!\n"));
                break;
            }
        }
        rs.moveFirst();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(0);
    }
    DisplayCurrentlySelectedStore();
}

bool CStoreTabCtrl::AddStoredStore(int id) {
    Trace(20, QStringLiteral("CStoreTabCtrl::AddStoredStore()"));
    if (!CanProceed()) return false;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        rs.requery(); // the row was added through another recordset
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
    if (!ActivateRecordInRecordset(id)) return false;
    {
        const QSignalBlocker block(m_tabs);
        const int tab = m_tabs->addTab(rs.textValue(QStringLiteral("StoreTabName")).left(200));
        m_tabs->setTabData(tab, id);
    }
    if (!AddStoreListControl(false)) {
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(m_tabs->count() - 1);
        ActivateRecordInRecordset(m_currentID);
        return false;
    }
    ShowStoreTabUsingID(id);
    if (CStoreListCtrl* list = CurrentStoreList(); list && list->GetItemCount() > 0) list->EnsureItemActive();
    emit m_pDoc->allViewsUpdateRequested();
    DisplayCurrentlySelectedStore();
    return true;
}

void CStoreTabCtrl::DisplayCurrentlySelectedStore() {
    Trace(20, QStringLiteral("CStoreTabCtrl::DisplayCurrentlySelectedStore()"));
    const int index = m_tabs->currentIndex();
    if (index < 0) return;
    const int id = StoreIDOfTab(index);
    ActivateRecordInRecordset(id);
    ShowStoreTabUsingID(id);
    SizeLC(index);
    emit storesChanged();
}

void CStoreTabCtrl::ShowStoreTabUsingID(int id) {
    Trace(20, QStringLiteral("CStoreTabCtrl::ShowStoreTabUsingID()"));
    bool found = false;
    for (int i = 0; i < int(m_lists.size()); ++i) {
        m_lists[size_t(i)]->hide();
        if (StoreIDOfTab(i) != id) continue;
        found = true;
        m_currentIndex = i;
        m_currentID = id;
        if (m_tabs->currentIndex() != i) {
            const QSignalBlocker block(m_tabs);
            m_tabs->setCurrentIndex(i);
        }
    }
    if (m_currentIndex >= 0 && m_currentIndex < int(m_lists.size())) m_lists[size_t(m_currentIndex)]->show();
    if (!ActivateRecordInRecordset(id) || !found) return;
    // The item dialogs offer the groups and containers of the store in front.
    RequeryLookupTable();
    RequeryContainerList();
}

// ---------------------------------------------------------------- queries

int CStoreTabCtrl::GetStoreIDFromIndex(int index) const { return m_tabs->count() == 0 ? -1 : StoreIDOfTab(index); }

QString CStoreTabCtrl::GetStoreNameFromID(int id) const {
    for (int i = 0; i < m_tabs->count(); ++i)
        if (StoreIDOfTab(i) == id) return m_tabs->tabText(i);
    return QStringLiteral(" ");
}

QString CStoreTabCtrl::GetStoreNameFromIndex(int index) const {
    if (m_tabs->count() == 0 || index < 0 || index >= m_tabs->count()) return QStringLiteral(" ");
    return m_tabs->tabText(index);
}

CStoreListCtrl* CStoreTabCtrl::GetPtrStoreLC(int index) const {
    if (m_lists.empty()) return nullptr;
    if (index == 0) return CurrentStoreList();
    return index > 0 && index < int(m_lists.size()) ? m_lists[size_t(index)] : nullptr;
}

CStoreListCtrl* CStoreTabCtrl::CurrentStoreList() const {
    const int i = m_tabs->currentIndex();
    return i >= 0 && i < int(m_lists.size()) ? m_lists[size_t(i)] : nullptr;
}

int CStoreTabCtrl::SelectedStoreID() const {
    const int index = m_tabs->currentIndex();
    return index >= 0 ? StoreIDOfTab(index) : -1;
}

void CStoreTabCtrl::ReadStoreField(const char* field, QVariant& value) {
    value = QVariant();
    if (!CanProceed() || m_tabs->count() == 0) return;
    try {
        db::Recordset& rs = *GetPtrRecordset();
        if (!rs.isBOF() && !rs.isEOF()) value = rs.value(QLatin1String(field));
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
}

void CStoreTabCtrl::ReadStoreFieldOf(int storeID, const char* field, QVariant& value) {
    value = QVariant();
    if (!CanProceed() || m_tabs->count() == 0 || storeID < 0) return;
    const auto standsOn = [](const db::Recordset& rs, int id) {
        return !rs.isBOF() && !rs.isEOF() && rs.intValue(QStringLiteral("ID")) == id;
    };
    try {
        db::Recordset& rs = *GetPtrRecordset();
        if (standsOn(rs, storeID) || ActivateRecordInRecordset(storeID)) value = rs.value(QLatin1String(field));
        const int selected = SelectedStoreID();
        if (!standsOn(rs, selected)) ActivateRecordInRecordset(selected);
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
}

void CStoreTabCtrl::WriteStoreField(const char* field, const QVariant& value) {
    if (!CanProceed() || m_tabs->count() == 0) return;
    WriteRow(*GetPtrRecordset(), RowWrite::Edit, [&](db::Recordset& r) { r.setValue(QLatin1String(field), value); },
             TraceError);
}

double CStoreTabCtrl::GetStoreShippingCost() {
    QVariant v;
    ReadStoreFieldOf(SelectedStoreID(), "ShippingCost", v);
    return v.toDouble();
}

bool CStoreTabCtrl::IsTrackingStockQty() { return IsTrackingStockQty(SelectedStoreID()); }

bool CStoreTabCtrl::IsTrackingStockQty(int storeID) {
    QVariant v;
    ReadStoreFieldOf(storeID, "TrackStockQty", v);
    return v.toInt() != 0;
}

int CStoreTabCtrl::GetStoreDiscTableIndex() {
    QVariant v;
    ReadStoreField("DiscTableID", v);
    return v.isValid() ? v.toInt() : -1;
}

void CStoreTabCtrl::SetStoreDiscTableIndex(int id) { WriteStoreField("DiscTableID", id); }

int CStoreTabCtrl::GetStoreContainerIndex() {
    QVariant v;
    ReadStoreField("ContainerID", v);
    return v.isValid() ? v.toInt() : -1;
}

void CStoreTabCtrl::SetStoreContainerIndex(int id) { WriteStoreField("ContainerID", id); }

void CStoreTabCtrl::RequeryLookupTable() {
    const int table = GetStoreDiscTableIndex();
    if (table >= 0) m_pDoc->GetPtrLookupTable()->ReQueryRecordsetUsingCategory(table);
}

void CStoreTabCtrl::RequeryContainerList() {
    const int list = GetStoreContainerIndex();
    if (list >= 0) m_pDoc->GetPtrContainers()->ReQueryRecordsetUsingGroup(list);
}

// ---------------------------------------------------------------- store records

void CStoreTabCtrl::OnEditAddItem() {
    Trace(20, QStringLiteral("CStoreTabCtrl::OnEditAddItem()"));
    if (!CanProceed()) return;
    const QVariantHash values =
        CQuorvaneDoc::NewStoreValues(m_pDoc->GetHighWaterStoreID(), m_pDoc->GetDefaultDiscTableID(), m_pDoc->GetDefaultContainerID());
    CStoreRecord record;
    record.StoreTabName = values.value(QStringLiteral("StoreTabName")).toString();
    record.ShippingCost = values.value(QStringLiteral("ShippingCost")).toDouble();
    record.DiscTableID = values.value(QStringLiteral("DiscTableID")).toInt();
    record.ContainerID = values.value(QStringLiteral("ContainerID")).toInt();
    const bool first = GetPtrRecordset()->recordCount() == 0;
    if (!first) {
        CStoreInfoDlg dlg(record, m_pDoc, 0, true, this);
        ConnectListButtons(dlg);
        if (m_pDoc->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
        record = dlg.Record();
    }
    AddStore(record);
}

bool CStoreTabCtrl::AddStore(CStoreRecord& record) {
    if (!CanProceed()) return false;
    const bool first = GetPtrRecordset()->recordCount() == 0;
    db::Recordset& rs = *GetPtrRecordset();
    // The identifier is taken when the row is stored: another user may have added a store.
    if (!m_pDoc->StoreWithNewID(CQuorvaneDoc::StoreID, [&](int newID) {
            record.ID = newID;
            return WriteRow(rs, RowWrite::Add, [&](db::Recordset& r) { XferDlgToRecordset(record, r); }, TraceError);
        }))
        return false;
    const int id = record.ID;
    ActivateRecordInRecordset(id);
    {
        const QSignalBlocker block(m_tabs);
        const int tab = m_tabs->addTab(CRecordTable::Blank(record.StoreTabName).left(200));
        m_tabs->setTabData(tab, id);
        if (first) m_tabs->setCurrentIndex(tab);
    }
    if (!AddStoreListControl(true)) {
        // The table could not be made: the store goes again.
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(m_tabs->count() - 1);
        if (ActivateRecordInRecordset(id)) try {
                rs.remove();
            } catch (const db::Error& e) {
                Trace(10, e.description());
            }
        return false;
    }
    emit m_pDoc->allViewsUpdateRequested();
    DisplayCurrentlySelectedStore();
    return true;
}

void CStoreTabCtrl::OnEditItem() {
    Trace(20, QStringLiteral("CStoreTabCtrl::OnEditItem()"));
    if (!CanProceed() || m_tabs->count() == 0) return;
    const int index = m_tabs->currentIndex();
    const int id = StoreIDOfTab(index);
    if (!ActivateRecordInRecordset(id)) return;
    db::Recordset& rs = *GetPtrRecordset();
    CStoreRecord record;
    XferRecordsetToDlg(rs, record);
    CStoreListCtrl* list = CurrentStoreList();
    CStoreInfoDlg dlg(record, m_pDoc, list ? list->GetItemCount() : 0, true, this);
    ConnectListButtons(dlg);
    if (m_pDoc->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    CStoreRecord edited = dlg.Record();
    edited.ID = id;
    if (!ActivateRecordInRecordset(id) ||
        !WriteRow(rs, RowWrite::Edit, [&](db::Recordset& r) { XferDlgToRecordset(edited, r); }, TraceError))
        return;
    m_tabs->setTabText(index, CRecordTable::Blank(edited.StoreTabName).left(200));
    const bool discChanged = dlg.DiscTableChanged();
    const bool containerChanged = dlg.ContainerListChanged();
    if (discChanged) {
        RequeryLookupTable();
        if (list) list->ResetAllDiscCategories();
    }
    if (containerChanged) {
        RequeryContainerList();
        if (list) list->ResetAllContainerNames();
    }
    if ((discChanged || containerChanged) && list) {
        list->RefreshListCtrlFromRecordset();
        list->EnsureItemActive();
    }
    ActivateRecordInRecordset(id);
    emit storesChanged();
}

void CStoreTabCtrl::OnEditDelItem() {
    Trace(20, QStringLiteral("CStoreTabCtrl::OnEditDelItem()"));
    if (!CanProceed() || m_tabs->count() == 0) return;
    const int index = m_tabs->currentIndex();
    const int id = StoreIDOfTab(index);
    if (!ActivateRecordInRecordset(id)) return;
    if (index >= int(m_lists.size())) return; // tabs and lists always go together
    if (m_pDoc->IsVerifyOn() && !m_pDoc->Prompter().AskYesNo(QStringLiteral("Delete Store Record?"))) return;
    CStoreListCtrl* list = m_lists[size_t(index)];
    list->CleanUp();
    list->hide();
    list->deleteLater();
    m_lists.erase(m_lists.begin() + index);
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(index);
    }
    db::Recordset& rs = *GetPtrRecordset();
    try {
        ActivateRecordInRecordset(id);
        rs.removeAndStepBack();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    if (m_tabs->count() > 0) {
        // The first store becomes current, whichever store went.
        m_currentIndex = 0;
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(0);
        ShowStoreTabUsingID(StoreIDOfTab(0));
    }
    emit storesChanged();
    emit m_pDoc->allViewsUpdateRequested();
}

// ---------------------------------------------------------------- layout

void CStoreTabCtrl::SizeLC(int index) {
    if (index < 0 || index >= int(m_lists.size())) return;
    const QRect r = rect();
    m_lists[size_t(index)]->setGeometry(r.left() + 10, r.top() + 32, std::max(0, r.width() - 20),
                                        std::max(0, r.height() - 72));
}

void CStoreTabCtrl::SizeBar() {
    const QRect r = rect();
    const int w = r.width() - 80 - 160;
    const int y = r.bottom() + 1 - 40;
    m_editBar->setGeometry(10, y, std::max(0, w - 20), 30);
    m_buyBar->setGeometry(w - 10, y, 80, 30);
    m_findBar->setGeometry(w + 70, y, 160, 30);
    m_tabs->setGeometry(r.left() + 10, r.top() + 2, std::max(0, r.width() - 20), 30);
}

void CStoreTabCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_lists.empty() || width() <= 0) {
        SizeBar();
        return;
    }
    SizeBar();
    for (int i = 0; i < int(m_lists.size()); ++i) SizeLC(i);
}

void CStoreTabCtrl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SizeBar();
}

void CStoreTabCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_tabs->geometry().contains(event->position().toPoint())) OnEditItem();
    QWidget::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------------- items across stores

void CStoreTabCtrl::OnFindItem() {
    if (CStoreListCtrl* list = CurrentStoreList()) list->OnFindItem(m_findEdit->text());
}

CStoreTabCtrl::ExchangeOutcome CStoreTabCtrl::ExportStoreAsMdb() {
    Trace(20, QStringLiteral("CStoreTabCtrl::ExportStoreAsMdb()"));
    CStoreListCtrl* list = CurrentStoreList();
    if (!CanProceed() || !list) return ExchangeOutcome::Failed;
    CPrompter::FileRequest request;
    request.title = QStringLiteral("Export Store");
    request.filter = storeexchange::SaveFilter();
    request.defaultExt = QStringLiteral("mdb");
    request.confirmOverwrite = true;
    const QString path = m_pDoc->Prompter().GetSaveFileName(request);
    if (path.isEmpty()) return ExchangeOutcome::Cancelled;
    std::vector<int> order; // as the list shows them, a column sort included
    order.reserve(size_t(list->GetItemCount()));
    for (int row = 0; row < list->GetItemCount(); ++row) order.push_back(list->GetItemID(row));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool done = ExportStore(*m_pDoc, list->GetStoreID(), path, error, order);
    QApplication::restoreOverrideCursor();
    if (!done) {
        m_pDoc->Prompter().MessageBox(error, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
        return ExchangeOutcome::Failed;
    }
    return ExchangeOutcome::Done;
}

CStoreTabCtrl::ExchangeOutcome CStoreTabCtrl::ImportStoreMdb() {
    Trace(20, QStringLiteral("CStoreTabCtrl::ImportStoreMdb()"));
    if (!CanProceed()) return ExchangeOutcome::Failed;
    CPrompter::FileRequest request;
    request.title = QStringLiteral("Import Store");
    request.filter = storeexchange::OpenFilter();
    request.defaultExt = QStringLiteral("mdb");
    const QString path = m_pDoc->Prompter().GetOpenFileName(request);
    if (path.isEmpty()) return ExchangeOutcome::Cancelled;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool done = ImportStore(*m_pDoc, path, error);
    QApplication::restoreOverrideCursor();
    if (!done) {
        m_pDoc->Prompter().MessageBox(error, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
        return ExchangeOutcome::Failed;
    }
    return ExchangeOutcome::Done;
}

void CStoreTabCtrl::OnEditCopyStoreItem(bool move) {
    Trace(20, QStringLiteral("CStoreTabCtrl::OnEditCopyStoreItem()"));
    if (!CanProceed() || m_lists.size() < 2) return;
    const int sourceIndex = m_tabs->currentIndex();
    CStoreListCtrl* source = CurrentStoreList();
    if (!source) return;
    int targetIndex = sourceIndex == 0 ? 1 : 0;
    if (m_lists.size() > 2) {
        QStringList names;
        for (int i = 0; i < m_tabs->count(); ++i) names << m_tabs->tabText(i);
        CStoreSelectDlg dlg(names, sourceIndex, this);
        if (m_pDoc->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
        targetIndex = dlg.ChosenIndex();
    }
    if (targetIndex < 0 || targetIndex >= int(m_lists.size()) || targetIndex == sourceIndex) return;
    CStoreListCtrl* target = m_lists[size_t(targetIndex)];
    db::Recordset& from = *source->GetPtrRecordset();
    db::Recordset& to = *target->GetPtrRecordset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString refusal;
    try {
        db::Transaction tx(from.database());
        QSet<int> moved;
        std::vector<int> added;
        // The write lock is held from here: the copies take the counter's next values and
        // count them once at the end.
        const int firstID = move ? 0 : m_pDoc->GetHighWaterStoreItemsID();
        int nextID = firstID;
        std::vector<std::pair<int, int>> fieldPairs; // target field, source field
        for (int t = 0; t < to.fieldCount(); ++t) {
            const int f = from.fieldIndex(to.fields()[size_t(t)].name);
            if (f >= 0) fieldPairs.emplace_back(t, f);
        }
        for (int id : source->GetSelectedIDs()) {
            if (!source->ActivateRecordInRecordset(id)) continue;
            if (!move && nextID == CQuorvaneDoc::kCounterMax) throw db::Error(QStringLiteral("No store item identifiers are left."));
            const int newID = move ? id : nextID++;
            to.addNew();
            for (const auto& [t, f] : fieldPairs) to.setValue(t, from.value(f));
            to.setValue(kID, newID);
            to.update();
            added.push_back(newID);
            if (move) {
                from.remove();
                moved.insert(id);
            }
        }
        if (nextID != firstID) m_pDoc->SetCounter(CQuorvaneDoc::StoreItemsID, nextID);
        source->RemoveRowsWithIDs(moved);
        target->AppendRecordsToListCtrl(added);
        tx.commit();
    } catch (const db::Error& e) {
        // Nothing of a failed copy stays: both lists show their tables again.
        Trace(10, e.description());
        source->RefreshListCtrlFromRecordset();
        target->RefreshListCtrlFromRecordset();
        refusal = e.description();
    }
    QApplication::restoreOverrideCursor();
    if (!refusal.isEmpty()) {
        const QString text = move ? QStringLiteral("The store items could not be moved.\n%1")
                                  : QStringLiteral("The store items could not be copied.\n%1");
        m_pDoc->Prompter().MessageBox(text.arg(refusal), CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
    }
    if (source->GetItemCount() > 0) source->EnsureItemActive();
    source->viewport()->update();
    if (move) QMetaObject::invokeMethod(this, &CStoreTabCtrl::refreshItemPointersRequested, Qt::QueuedConnection);
}

void CStoreTabCtrl::UpdateAllStoresFromDiscountTable() {
    Trace(20, QStringLiteral("CStoreTabCtrl::UpdateAllStoresFromDiscountTable()"));
    for (int i = 0; i < int(m_lists.size()); ++i) {
        // Each store's items follow their own store's table.
        if (!ActivateRecordInRecordset(StoreIDOfTab(i))) continue;
        m_lists[size_t(i)]->UpdateAllItemsFromDiscountTable(GetStoreDiscTableIndex());
    }
    ActivateRecordInRecordset(m_currentID);
    RequeryLookupTable();
}

void CStoreTabCtrl::UpdateAllStoresFromDiscountTable(const QHash<int, QSet<QString>>& changedEntries) {
    Trace(20, QStringLiteral("CStoreTabCtrl::UpdateAllStoresFromDiscountTable()"));
    for (int i = 0; i < int(m_lists.size()); ++i) {
        if (!ActivateRecordInRecordset(StoreIDOfTab(i))) continue;
        // A store on another table, and items of unchanged groups, keep their prices.
        const int table = GetStoreDiscTableIndex();
        const auto changed = changedEntries.constFind(table);
        if (changed != changedEntries.constEnd()) m_lists[size_t(i)]->UpdateAllItemsFromDiscountTable(table, &*changed);
    }
    ActivateRecordInRecordset(m_currentID);
    RequeryLookupTable();
}

void CStoreTabCtrl::UpdateAllStoresFromContainerList() {
    Trace(20, QStringLiteral("CStoreTabCtrl::UpdateAllStoresFromContainerList()"));
    for (int i = 0; i < int(m_lists.size()); ++i) {
        if (!ActivateRecordInRecordset(StoreIDOfTab(i))) continue;
        m_lists[size_t(i)]->UpdateAllItemsFromContainerList(GetStoreContainerIndex());
    }
    ActivateRecordInRecordset(m_currentID);
    RequeryContainerList();
}

void CStoreTabCtrl::ConnectListButtons(CStoreInfoDlg& dlg) {
    connect(&dlg, &CStoreInfoDlg::containersRequested, this, [this, &dlg] {
        ShowContainersDlg();
        dlg.RefillLists();
    });
    connect(&dlg, &CStoreInfoDlg::discountTablesRequested, this, [this, &dlg] {
        ShowDiscountsDlg();
        dlg.RefillLists();
    });
}

void CStoreTabCtrl::ShowDiscountsDlg() {
    Trace(20, QStringLiteral("CStoreTabCtrl::ShowDiscountsDlg()"));
    if (!m_pDoc->IsDatabaseOpen()) return;
    const int current = m_tabs->count() > 0 ? GetStoreDiscTableIndex() : m_pDoc->GetDefaultDiscTableID();
    CDiscountTableDlg dlg(m_pDoc, current, this);
    m_pDoc->Prompter().ExecDialog(dlg);
    if (dlg.Changed()) UpdateAllStoresFromDiscountTable(dlg.ChangedEntries());
    RequeryLookupTable();
}

void CStoreTabCtrl::ShowContainersDlg() {
    Trace(20, QStringLiteral("CStoreTabCtrl::ShowContainersDlg()"));
    if (!m_pDoc->IsDatabaseOpen()) return;
    const int current = m_tabs->count() > 0 ? GetStoreContainerIndex() : m_pDoc->GetDefaultContainerID();
    CContainersListDlg dlg(m_pDoc, current, this);
    m_pDoc->Prompter().ExecDialog(dlg);
    if (dlg.Changed()) UpdateAllStoresFromContainerList();
    RequeryContainerList();
}
