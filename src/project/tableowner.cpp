#include "tableowner.h"

#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "trace/tracesink.h"

CRecordTable::CRecordTable(QString ownerName, db::TableDef def, QString countLabel)
    : m_owner(std::move(ownerName)), m_def(std::move(def)), m_countLabel(std::move(countLabel)) {}

bool CRecordTable::DefineDaoTable(db::Database& database) {
    Trace(20, m_owner + QStringLiteral("::DefineDaoTable()"));
    try {
        database.createTable(m_def);
        return true;
    } catch (const db::Error& e) {
        Trace(10, m_owner + QStringLiteral("::DefineDaoTable()"));
        Trace(10, e.description());
        return false;
    }
}

bool CRecordTable::OpenDaoRecordset(db::Database& database) {
    Trace(20, m_owner + QStringLiteral("::OpenDaoRecordset()"));
    try {
        auto rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [%1]").arg(m_def.name));
        if (!rs->isEOF()) {
            rs->moveLast();
            // A store's item table is one of many: its line names it.
            if (m_def.name.startsWith(QLatin1String("StoreItems_")))
                TraceF(20, "  %s Count = %ld  Fields = %d  Name %s\n", qPrintable(m_countLabel), rs->recordCount(),
                       rs->fieldCount(), qPrintable(m_def.name));
            else
                TraceF(20, "  %s Count = %ld  Fields = %d\n", qPrintable(m_countLabel), rs->recordCount(),
                       rs->fieldCount());
        }
        m_pRecordSet = std::move(rs);
        return true;
    } catch (const db::Error& e) {
        Trace(10, m_owner + QStringLiteral("::OpenDaoRecordset()"));
        Trace(10, e.description());
        m_pRecordSet.reset();
        return false;
    }
}

bool CRecordTable::ActivateRecordInRecordset(int id) {
    if (id < 0 || !CanProceed()) return false;
    try {
        return m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id));
    } catch (const db::Error& e) {
        Trace(10, m_owner + QStringLiteral("::ActivateRecordInRecordset()"));
        Trace(10, e.description());
        return false;
    }
}

void CRecordTable::AddRow(const QVariantHash& values) {
    if (!CanProceed()) throw db::Error(QStringLiteral("The table %1 is not open.").arg(m_def.name));
    db::Recordset& rs = *m_pRecordSet;
    rs.addNew();
    try {
        for (const db::FieldDef& f : rs.fields()) {
            const auto it = values.constFind(f.name);
            if (f.type == db::Type::Text)
                rs.setValue(f.name, Blank(it == values.constEnd() ? QString() : it->toString()));
            else
                rs.setValue(f.name, it == values.constEnd() ? QVariant(0) : *it);
        }
        rs.update();
    } catch (...) {
        rs.cancelUpdate();
        throw;
    }
}

CHeadlessListOwner::CHeadlessListOwner(CQuorvaneDoc* doc, QString ownerName, db::TableDef def,
                                       QString countLabel, const ListColumnSet& columnSet, int group)
    : m_pDoc(doc), m_table(std::move(ownerName), std::move(def), std::move(countLabel)),
      m_columns(columnSet, group) {}

void CHeadlessListOwner::CleanUp() {
    SaveColumnDefinitions();
    m_table.CloseRecordset();
}

void CHeadlessListOwner::SaveColumnDefinitions() {
    if (CanProceed()) m_columns.StoreColumnDefinitions(m_pDoc->GetPtrColumnDefs());
}

void CHeadlessListOwner::LoadColumnDefinitions() {
    m_columns.LoadColumnDefinitions(m_pDoc->GetPtrColumnDefs());
}

CHeadlessStoreTabs::CHeadlessStoreTabs(CQuorvaneDoc* doc)
    : m_pDoc(doc), m_table(QStringLiteral("CStoreTabCtrl"), schema::Store(), QStringLiteral("store")) {}

CHeadlessStoreTabs::~CHeadlessStoreTabs() = default;

void CHeadlessStoreTabs::CleanUp() {
    Trace(20, QStringLiteral("CStoreTabCtrl::CleanUp()"));
    for (auto& list : m_lists) list->CleanUp();
    m_lists.clear();
    m_table.CloseRecordset();
}

bool CHeadlessStoreTabs::AddStoreListControl(int storeID, bool create) {
    auto list = std::make_unique<CHeadlessListOwner>(
        m_pDoc, QStringLiteral("CStoreListCtrl"), schema::StoreItems(storeID), QStringLiteral("Item"),
        StoreItemColumnSet(), StoreItemColumnGroup(storeID));
    db::Database& database = *m_pDoc->GetPtrDatabase();
    if (create) {
        if (!list->DefineDaoTable(database)) {
            m_pDoc->Prompter().MessageBox(QStringLiteral("Failed to create store items database table."));
            return false;
        }
        list->SetupDefaultColumns();
    } else {
        list->LoadColumnDefinitions();
    }
    if (!list->OpenDaoRecordset(database)) return false;
    list->ActivateListCtrlColumns();
    if (create) list->SaveColumnDefinitions();
    m_lists.push_back(std::move(list));
    return true;
}

void CHeadlessStoreTabs::OnEditAddItem() {
    Trace(20, QStringLiteral("CStoreTabCtrl::OnEditAddItem()"));
    if (!CanProceed()) return;
    // Without a window only the first store, which needs no dialog, can be added.
    if (!m_lists.empty()) return;
    int id = -1;
    const bool stored = m_pDoc->StoreWithNewID(CQuorvaneDoc::StoreID, [&](int newID) {
        try {
            m_table.AddRow(CQuorvaneDoc::NewStoreValues(newID, m_pDoc->GetDefaultDiscTableID(),
                                                        m_pDoc->GetDefaultContainerID()));
            id = newID;
            return true;
        } catch (const db::Error& e) {
            Trace(10, QStringLiteral("CStoreTabCtrl::OnEditAddItem()"));
            Trace(10, e.description());
            return false;
        }
    });
    if (!stored) return;
    m_table.ActivateRecordInRecordset(id);
    if (!AddStoreListControl(id, true) && m_table.ActivateRecordInRecordset(id)) {
        try {
            m_table.GetPtrRecordset()->remove();
        } catch (const db::Error& e) {
            Trace(10, e.description());
        }
    }
}

bool CHeadlessStoreTabs::AddStoredStore(int id) {
    Trace(20, QStringLiteral("CStoreTabCtrl::AddStoredStore()"));
    if (!CanProceed()) return false;
    try {
        m_table.GetPtrRecordset()->requery(); // the row was added through another recordset
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
    return m_table.ActivateRecordInRecordset(id) && AddStoreListControl(id, false);
}

void CHeadlessStoreTabs::RefreshTabCtrlFromRecordset() {
    Trace(20, QStringLiteral("CStoreTabCtrl::RefreshTabCtrlFromRecordset()"));
    if (!CanProceed()) return;
    m_lists.clear();
    db::Recordset& rs = *m_table.GetPtrRecordset();
    try {
        if (rs.recordCount() == 0) return;
        std::vector<int> ids;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) ids.push_back(rs.intValue(QStringLiteral("ID")));
        for (int id : ids)
            if (!AddStoreListControl(id, false)) {
                m_pDoc->Prompter().MessageBox(QStringLiteral("Failed to create store list control!\n"));
                break;
            }
        rs.moveFirst();
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CStoreTabCtrl::RefreshTabCtrlFromRecordset()"));
        Trace(10, e.description());
    }
}
