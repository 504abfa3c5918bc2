#include "groupedstringlist.h"

#include "trace/tracesink.h"
#include "ui/prompter.h"

CDaoGroupedStringList::CDaoGroupedStringList(IIdentifierSource* doc, const QString& tableName)
    : CListTable(doc, QStringLiteral("CDaoGroupedStringList")), m_tableName(tableName) {}

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
    return DefineTable(database, TableDefinition(m_tableName));
}

int CDaoGroupedStringList::OpenDaoRecordset(db::Database& database) {
    return OpenTable(
        database, m_tableName,
        [this](const db::Recordset& rs) {
            TraceF(20, "  List Count = %ld  Fields = %d  Name %s\n", rs.recordCount(), rs.fieldCount(),
                   qPrintable(m_tableName));
        },
        [this](const db::Error& e) { ShowError(e.description()); });
}

void CDaoGroupedStringList::ReQueryRecordsetUsingGroup(int group) {
    Requery("ReQueryRecordsetUsingGroup", QStringLiteral("[Group] = %1").arg(group),
            [this](db::Database& database) { OpenDaoRecordset(database); });
}

bool CDaoGroupedStringList::ReadCurrent(int& id, QString& string) {
    try {
        id = m_pRecordSet->intValue(QStringLiteral("ID"));
        string = m_pRecordSet->textValue(QStringLiteral("String"));
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
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
    return StepFirst("GetFirst") && ReadCurrent(id, string);
}

bool CDaoGroupedStringList::GetNext(int& id, QString& string) {
    return StepNext("GetNext") && ReadCurrent(id, string);
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
    QString failure;
    const bool stored = m_pDoc->StoreWithNewID(IIdentifierSource::TableCounter::StringList, [&](int id) {
        try {
            m_pRecordSet->addNew();
            m_pRecordSet->setValue(QStringLiteral("ID"), id);
            m_pRecordSet->setValue(QStringLiteral("Group"), group);
            m_pRecordSet->setValue(QStringLiteral("String"), string.isEmpty() ? QStringLiteral(" ") : string);
            m_pRecordSet->update();
            m_currentID = id;
            return true;
        } catch (const db::Error& e) {
            Trace(10, QStringLiteral("CDaoGroupedStringList::AddItem()"));
            if (m_pRecordSet->editMode() != db::Recordset::NoEdit) m_pRecordSet->cancelUpdate();
            failure = e.description();
            return false;
        }
    });
    if (!failure.isEmpty()) ShowError(failure); // after the rollback, so the lists are whole again
    return stored ? m_currentID : -1;
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
    return ExportRows(
        database, "ExportListToMdb", [this](db::Database& d) { return DefineDaoTable(d); },
        [id](const db::Recordset& rs) { return id == -1 || rs.intValue(QStringLiteral("ID")) == id; });
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
            m_currentID = m_pDoc->GetTableCounter(IIdentifierSource::TableCounter::StringList);
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
            m_pDoc->IncrementTableCounter(IIdentifierSource::TableCounter::StringList);
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
