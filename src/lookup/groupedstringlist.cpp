#include "groupedstringlist.h"

#include "project/quorvanedoc.h"
#include "trace/tracesink.h"
#include "ui/prompter.h"

CDaoGroupedStringList::CDaoGroupedStringList(CQuorvaneDoc* doc, const QString& tableName)
    : m_pDoc(doc), m_tableName(tableName) {}

CDaoGroupedStringList::~CDaoGroupedStringList() = default;

db::TableDef CDaoGroupedStringList::TableDefinition(const QString& tableName) {
    db::TableDef def{tableName, {}};
    def.add(QStringLiteral("ID"), db::Type::Long)
        .add(QStringLiteral("Group"), db::Type::Long)
        .add(QStringLiteral("String"), db::Type::Text, 250);
    return def;
}

void CDaoGroupedStringList::ShowError(const QString& text) {
    if (m_pDoc) m_pDoc->Prompter().MessageBox(text);
}

bool CDaoGroupedStringList::DefineDaoTable(db::Database& database) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::DefineDaoTable()"));
    try {
        database.createTable(TableDefinition(m_tableName));
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::DefineDaoTable()"));
        Trace(10, e.description());
        return false;
    }
}

int CDaoGroupedStringList::OpenDaoRecordset(db::Database& database) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::OpenDaoRecordset()"));
    try {
        auto rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [%1]").arg(m_tableName));
        if (!rs->isEOF()) {
            rs->moveLast();
            TraceF(20, "  List Count = %ld  Fields = %d  Name %s\n", rs->recordCount(),
                   rs->fieldCount(), qPrintable(m_tableName));
        }
        m_pRecordSet = std::move(rs);
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::OpenDaoRecordset()"));
        ShowError(e.description());
        m_pRecordSet.reset();
        return 0;
    }
}

void CDaoGroupedStringList::ReQueryRecordsetUsingGroup(int group) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::ReQueryRecordsetUsingGroup()"));
    if (!m_pRecordSet) return;
    try {
        m_pRecordSet->setFilter(QStringLiteral("[Group] = %1").arg(group));
        m_pRecordSet->requery();
        if (!m_pRecordSet->isEOF()) {
            m_pRecordSet->moveLast();
            TraceF(20, "  Requery Count = %ld\n", m_pRecordSet->recordCount());
        }
    } catch (const db::Error& e) {
        // A failed requery leaves a fresh, unfiltered recordset.
        Trace(10, QStringLiteral("CDaoGroupedStringList::ReQueryRecordsetUsingGroup()"));
        Trace(10, e.description());
        db::Database& database = m_pRecordSet->database();
        m_pRecordSet.reset();
        OpenDaoRecordset(database);
    }
}

void CDaoGroupedStringList::CleanUp() {
    Trace(20, QStringLiteral("CDaoGroupedStringList::CleanUp()"));
    m_pRecordSet.reset();
}

bool CDaoGroupedStringList::CanProceed() const { return m_pRecordSet && m_pRecordSet->isOpen(); }

bool CDaoGroupedStringList::ReadCurrent(int& id, QString& string) {
    id = m_pRecordSet->intValue(QStringLiteral("ID"));
    string = m_pRecordSet->textValue(QStringLiteral("String"));
    return true;
}

QString CDaoGroupedStringList::GetItemString() {
    Trace(20, QStringLiteral("CDaoGroupedStringList::GetItemString()"));
    if (!CanProceed()) return {};
    try {
        if (m_pRecordSet->isBOF() || m_pRecordSet->isEOF()) return {};
        return m_pRecordSet->textValue(QStringLiteral("String"));
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return {};
    }
}

bool CDaoGroupedStringList::GetFirst(int& id, QString& string) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::GetFirst()"));
    if (!CanProceed()) return false;
    try {
        if (m_pRecordSet->recordCount() == 0) return false;
        m_pRecordSet->moveFirst();
        return !m_pRecordSet->isEOF() && ReadCurrent(id, string);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

bool CDaoGroupedStringList::GetNext(int& id, QString& string) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::GetNext()"));
    if (!CanProceed()) return false;
    try {
        m_pRecordSet->moveNext();
        if (m_pRecordSet->isEOF()) return false;
        return ReadCurrent(id, string);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

int CDaoGroupedStringList::FindItemUsingName(const QString& name, QString& found) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::FindItemUsingName()"));
    int id = -1;
    QString string;
    for (bool ok = GetFirst(id, string); ok; ok = GetNext(id, string)) {
        if (string.compare(name, Qt::CaseInsensitive) == 0) {
            found = string;
            return id;
        }
    }
    return -1;
}

int CDaoGroupedStringList::ActivateItem(int id) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::ActivateItem()"));
    if (!CanProceed()) return 0;
    try {
        if (m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id))) return 1;
    } catch (const db::Error&) {
    }
    Trace(10, QStringLiteral("Failed to locate list record!"));
    return 0;
}

int CDaoGroupedStringList::PutItem(int id, const QString& string) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::PutItem()"));
    if (!CanProceed()) return 0;
    try {
        if (!m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id))) {
            ShowError(QStringLiteral("Failed to locate list record!\n"));
            return 0;
        }
        m_pRecordSet->edit();
        m_pRecordSet->setValue(QStringLiteral("String"), string.isEmpty() ? QStringLiteral(" ") : string);
        m_pRecordSet->update();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::PutItem()"));
        if (m_pRecordSet->editMode() != db::Recordset::NoEdit) m_pRecordSet->cancelUpdate();
        ShowError(e.description());
        return 0;
    }
}

int CDaoGroupedStringList::AddItem(int group, const QString& string) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::AddItem()"));
    if (!CanProceed()) return -1;
    try {
        m_currentID = m_pDoc->GetHighWaterDaoStringListID();
        m_pRecordSet->addNew();
        m_pRecordSet->setValue(QStringLiteral("ID"), m_currentID);
        m_pRecordSet->setValue(QStringLiteral("Group"), group);
        m_pRecordSet->setValue(QStringLiteral("String"), string.isEmpty() ? QStringLiteral(" ") : string);
        m_pRecordSet->update();
        m_pDoc->IncrementDaoStringListID();
        return m_currentID;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::AddItem()"));
        if (m_pRecordSet->editMode() != db::Recordset::NoEdit) m_pRecordSet->cancelUpdate();
        ShowError(e.description());
        return -1;
    }
}

int CDaoGroupedStringList::DeleteItem(int id) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::DeleteItem()"));
    if (!CanProceed()) return 0;
    try {
        if (!m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id))) {
            Trace(10, QStringLiteral("Failed to locate list record!\n"));
            return 0;
        }
        m_pRecordSet->removeAndStepBack();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::DeleteItem()"));
        ShowError(e.description());
        return 0;
    }
}

int CDaoGroupedStringList::ExportListToMdb(db::Database& database, int id) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::ExportListToMdb()"));
    if (!CanProceed() || !DefineDaoTable(database)) return 0;
    try {
        db::Recordset out(database);
        out.open(QStringLiteral("select * from [%1]").arg(m_tableName));
        if (m_pRecordSet->recordCount() == 0) return 1;
        db::Transaction tx(database);
        for (m_pRecordSet->moveFirst(); !m_pRecordSet->isEOF(); m_pRecordSet->moveNext()) {
            if (id != -1 && m_pRecordSet->intValue(QStringLiteral("ID")) != id) continue;
            out.addNew();
            for (const db::FieldDef& f : out.fields())
                if (m_pRecordSet->fieldIndex(f.name) >= 0) out.setValue(f.name, m_pRecordSet->value(f.name));
            out.update();
        }
        tx.commit();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::ExportListToMdb()"));
        Trace(10, e.description());
        return 0;
    }
}

int CDaoGroupedStringList::ImportListFromStoreMdb(db::Database& database, int& newID, int group) {
    Trace(20, QStringLiteral("CDaoGroupedStringList::ImportListFromStoreMdb()"));
    if (!CanProceed()) return 0;
    try {
        db::Recordset in(database);
        in.open(QStringLiteral("select * from [%1]").arg(m_tableName));
        if (in.recordCount() == 0) return 1;
        db::Transaction tx(m_pRecordSet->database());
        for (in.moveFirst(); !in.isEOF(); in.moveNext()) {
            m_currentID = m_pDoc->GetHighWaterDaoStringListID();
            QString original;
            m_pRecordSet->addNew();
            for (const db::FieldDef& f : in.fields()) {
                if (m_pRecordSet->fieldIndex(f.name) < 0) continue;
                if (f.name == QLatin1String("ID")) {
                    m_pRecordSet->setValue(f.name, m_currentID);
                    newID = m_currentID;
                } else if (f.name == QLatin1String("Group")) {
                    m_pRecordSet->setValue(f.name, group == -1 ? in.value(f.name) : QVariant(group));
                } else {
                    m_pRecordSet->setValue(f.name, in.value(f.name));
                    if (f.name == QLatin1String("String")) original = in.textValue(f.name);
                }
            }
            m_pRecordSet->update();
            m_pDoc->IncrementDaoStringListID();
            // An imported name must not clash with one already in the list.
            QString current = original, found;
            for (int n = 1;; ++n) {
                const int hit = FindItemUsingName(current, found);
                if (hit == m_currentID || hit == -1) break;
                current = QStringLiteral("%1_%2").arg(original).arg(n);
                if (!PutItem(m_currentID, current)) break;
            }
        }
        tx.commit();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CDaoGroupedStringList::ImportListFromStoreMdb()"));
        Trace(10, e.description());
        try {
            m_pRecordSet->requery();
        } catch (const db::Error&) {
        }
        return 0;
    }
}
