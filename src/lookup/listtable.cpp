#include "listtable.h"

#include "trace/tracesink.h"

QString CListTable::Name(const char* operation) const {
    return m_className + QStringLiteral("::") + QLatin1String(operation) + QStringLiteral("()");
}

void CListTable::CleanUp() {
    Trace(20, Name("CleanUp"));
    m_pRecordSet.reset();
}

bool CListTable::DefineTable(db::Database& database, const db::TableDef& def) {
    Trace(20, Name("DefineDaoTable"));
    try {
        database.createTable(def);
        return true;
    } catch (const db::Error& e) {
        Trace(10, Name("DefineDaoTable"));
        Trace(10, e.description());
        return false;
    }
}

bool CListTable::OpenTable(db::Database& database, const QString& table,
                           const std::function<void(const db::Recordset&)>& traceCount,
                           const std::function<void(const db::Error&)>& onError) {
    Trace(20, Name("OpenDaoRecordset"));
    try {
        auto rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [%1]").arg(table));
        if (!rs->isEOF()) {
            rs->moveLast();
            traceCount(*rs);
        }
        m_pRecordSet = std::move(rs);
        return true;
    } catch (const db::Error& e) {
        Trace(10, Name("OpenDaoRecordset"));
        onError(e);
        m_pRecordSet.reset();
        return false;
    }
}

void CListTable::Requery(const char* operation, const QString& filter, const std::function<void(db::Database&)>& reopen) {
    Trace(20, Name(operation));
    if (!m_pRecordSet) return;
    try {
        m_pRecordSet->setFilter(filter);
        m_pRecordSet->requery();
        if (!m_pRecordSet->isEOF()) {
            m_pRecordSet->moveLast();
            TraceF(20, "  Requery Count = %ld\n", m_pRecordSet->recordCount());
        }
    } catch (const db::Error& e) {
        Trace(10, Name(operation));
        Trace(10, e.description());
        db::Database& database = m_pRecordSet->database();
        m_pRecordSet.reset();
        reopen(database);
    }
}

bool CListTable::StepFirst(const char* operation) {
    Trace(20, Name(operation));
    if (!CanProceed()) return false;
    try {
        if (m_pRecordSet->recordCount() == 0) return false;
        m_pRecordSet->moveFirst();
        return !m_pRecordSet->isEOF();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

bool CListTable::StepNext(const char* operation) {
    Trace(20, Name(operation));
    if (!CanProceed()) return false;
    try {
        m_pRecordSet->moveNext();
        return !m_pRecordSet->isEOF();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

int CListTable::ExportRows(db::Database& exchange, const char* operation,
                           const std::function<bool(db::Database&)>& define,
                           const std::function<bool(const db::Recordset&)>& take) {
    Trace(20, Name(operation));
    if (!CanProceed() || !define(exchange)) return 0;
    try {
        db::Recordset out(exchange);
        out.open(QStringLiteral("select * from [%1]").arg(m_pRecordSet->tableName()));
        if (m_pRecordSet->recordCount() == 0) return 1;
        db::Transaction tx(exchange);
        for (m_pRecordSet->moveFirst(); !m_pRecordSet->isEOF(); m_pRecordSet->moveNext()) {
            if (!take(*m_pRecordSet)) continue;
            out.addNew();
            for (const db::FieldDef& f : out.fields())
                if (m_pRecordSet->fieldIndex(f.name) >= 0) out.setValue(f.name, m_pRecordSet->value(f.name));
            out.update();
        }
        tx.commit();
        return 1;
    } catch (const db::Error& e) {
        Trace(10, Name(operation));
        Trace(10, e.description());
        return 0;
    }
}
