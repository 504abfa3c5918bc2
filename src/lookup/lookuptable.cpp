#include "lookuptable.h"

#include "trace/tracesink.h"
#include "ui/prompter.h"

CLookupTable::CLookupTable(IIdentifierSource* doc) : CListTable(doc, QStringLiteral("CLookupTable")) {}

CLookupTable::~CLookupTable() = default;

db::TableDef CLookupTable::TableDefinition() {
    db::TableDef def{QStringLiteral("Lookup"), {}};
    def.add(QStringLiteral("ID"), db::Type::Long)
        .add(QStringLiteral("Category"), db::Type::Long)
        .add(QStringLiteral("ItemName"), db::Type::Text, 50)
        .add(QStringLiteral("Value"), db::Type::Double);
    return def;
}

bool CLookupTable::DefineDaoTable(db::Database& database) { return DefineTable(database, TableDefinition()); }

int CLookupTable::OpenDaoRecordset(db::Database& database) {
    return OpenTable(
        database, QStringLiteral("Lookup"),
        [](const db::Recordset& rs) {
            TraceF(20, "  Lookup Count = %ld  Fields = %d\n", rs.recordCount(), rs.fieldCount());
        },
        [](const db::Error& e) { Trace(10, e.description()); });
}

void CLookupTable::ReQueryRecordsetUsingCategory(int category) {
    Requery("ReQueryRecordsetUsingCategory", QStringLiteral("[Category] = %1").arg(category),
            [this](db::Database& database) { OpenDaoRecordset(database); });
}

bool CLookupTable::ReadCurrent(int& id, QString& name, double& value) {
    try {
        id = m_pRecordSet->intValue(QStringLiteral("ID"));
        name = m_pRecordSet->textValue(QStringLiteral("ItemName"));
        value = m_pRecordSet->doubleValue(QStringLiteral("Value"));
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

bool CLookupTable::GetFirst(int& id, QString& name, double& value) {
    return StepFirst("GetFirst") && ReadCurrent(id, name, value);
}

bool CLookupTable::GetNext(int& id, QString& name, double& value) {
    return StepNext("GetNext") && ReadCurrent(id, name, value);
}

double CLookupTable::GetValueUsingName(const QString& name) {
    Trace(20, QStringLiteral("CLookupTable::GetValueUsingName()"));
    int id = 0;
    QString item;
    double value = 0.0;
    for (bool ok = GetFirst(id, item, value); ok; ok = GetNext(id, item, value))
        if (item == name) return value;
    return 0.0;
}

int CLookupTable::PutItem(int id, const QString& name, double value) {
    Trace(20, QStringLiteral("CLookupTable::PutItem()"));
    if (!CanProceed()) return 0;
    try {
        if (!m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id))) return 0;
        m_pRecordSet->edit();
        m_pRecordSet->setValue(QStringLiteral("ItemName"), name.isEmpty() ? QStringLiteral(" ") : name);
        m_pRecordSet->setValue(QStringLiteral("Value"), value);
        m_pRecordSet->update();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CLookupTable::PutItem()"));
        Trace(10, e.description());
        if (m_pRecordSet->editMode() != db::Recordset::NoEdit) m_pRecordSet->cancelUpdate();
        return 0;
    }
}

int CLookupTable::AddItem(int category, const QString& name, double value) {
    Trace(20, QStringLiteral("CLookupTable::AddItem()"));
    if (!CanProceed()) return -1;
    const bool stored = m_pDoc->StoreWithNewID(IIdentifierSource::TableCounter::LookupItem, [&](int id) {
        try {
            m_pRecordSet->addNew();
            m_pRecordSet->setValue(QStringLiteral("ID"), id);
            m_pRecordSet->setValue(QStringLiteral("Category"), category);
            m_pRecordSet->setValue(QStringLiteral("ItemName"), name.isEmpty() ? QStringLiteral(" ") : name);
            m_pRecordSet->setValue(QStringLiteral("Value"), value);
            m_pRecordSet->update();
            m_currentID = id;
            return true;
        } catch (const db::Error& e) {
            Trace(10, QStringLiteral("CLookupTable::AddItem()"));
            Trace(10, e.description());
            if (m_pRecordSet->editMode() != db::Recordset::NoEdit) m_pRecordSet->cancelUpdate();
            return false;
        }
    });
    return stored ? m_currentID : -1;
}

int CLookupTable::DeleteItem(int id) {
    Trace(20, QStringLiteral("CLookupTable::DeleteItem()"));
    if (!CanProceed()) return 0;
    try {
        if (!m_pRecordSet->findFirst(QStringLiteral("ID = %1").arg(id))) return 0;
        m_pRecordSet->removeAndStepBack();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CLookupTable::DeleteItem()"));
        Trace(10, e.description());
        return 0;
    }
}

int CLookupTable::ExportTableToMdb(db::Database& database) {
    // Every row the recordset holds: the export runs while it is filtered to one table.
    return ExportRows(
        database, "ExportTableToMdb", [this](db::Database& d) { return DefineDaoTable(d); },
        [](const db::Recordset&) { return true; });
}

int CLookupTable::ImportTableFromStoreMdb(db::Database& database, int category) {
    Trace(20, QStringLiteral("CLookupTable::ImportTableFromStoreMdb()"));
    if (!CanProceed()) return 0;
    try {
        db::Recordset in(database);
        in.open(QStringLiteral("select * from [Lookup]"));
        if (in.recordCount() == 0) return 1;
        db::Transaction tx(m_pRecordSet->database());
        for (in.moveFirst(); !in.isEOF(); in.moveNext()) {
            m_currentID = m_pDoc->GetTableCounter(IIdentifierSource::TableCounter::LookupItem);
            m_pRecordSet->addNew();
            for (const db::FieldDef& f : in.fields()) {
                if (m_pRecordSet->fieldIndex(f.name) < 0) continue;
                if (f.name == QLatin1String("ID")) m_pRecordSet->setValue(f.name, m_currentID);
                else if (f.name == QLatin1String("Category")) m_pRecordSet->setValue(f.name, category);
                else m_pRecordSet->setValue(f.name, in.value(f.name));
            }
            m_pRecordSet->update();
            m_pDoc->IncrementTableCounter(IIdentifierSource::TableCounter::LookupItem);
        }
        tx.commit();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CLookupTable::ImportTableFromStoreMdb()"));
        Trace(10, e.description());
        try {
            m_pRecordSet->requery();
        } catch (const db::Error&) {
        }
        return 0;
    }
}
