#pragma once

#include "db/database.h"
#include "db/recordset.h"

#include <QString>
#include <functional>
#include <memory>

class CPrompter;

// What the data tables ask of the document that owns them: identifiers from its counters and
// the seam for messages. Through it they stand below the document rather than beside it.
class IIdentifierSource {
public:
    enum class TableCounter { LookupItem, StringList };
    virtual int GetTableCounter(TableCounter counter) = 0;
    virtual void IncrementTableCounter(TableCounter counter) = 0;
    // Reads the counter, stores a row under it with store(id) and counts it, in one write
    // transaction, so that another user of the file cannot take the same identifier between.
    // False, with nothing stored, when store() fails or the write does.
    virtual bool StoreWithNewID(TableCounter counter, const std::function<bool(int id)>& store) = 0;
    virtual CPrompter& Prompter() = 0;

protected:
    ~IIdentifierSource() = default;
};

// What the discount lookup table and the grouped string lists share: one recordset over one
// table, filtered to one discount table or group at a time, walked first to last, and copied
// to a store exchange file.
class CListTable {
public:
    bool CanProceed() const { return m_pRecordSet && m_pRecordSet->isOpen(); }
    void CleanUp();
    db::Recordset* GetPtrRecordset() { return m_pRecordSet.get(); }

protected:
    CListTable(IIdentifierSource* doc, QString className) : m_pDoc(doc), m_className(std::move(className)) {}
    ~CListTable() = default;

    QString Name(const char* operation) const;
    bool DefineTable(db::Database& database, const db::TableDef& def);
    // Opens the recordset; onError decides whether the failure is only traced or also shown.
    bool OpenTable(db::Database& database, const QString& table, const std::function<void(const db::Recordset&)>& traceCount,
                   const std::function<void(const db::Error&)>& onError);
    // Filters and requeries; a failed requery leaves a fresh, unfiltered recordset (reopen).
    void Requery(const char* operation, const QString& filter, const std::function<void(db::Database&)>& reopen);
    // First and next row of the current filter; false at the end, when empty or not open.
    bool StepFirst(const char* operation);
    bool StepNext(const char* operation);
    // Writes the rows that take() accepts into the exchange file's table of the same name and
    // fields (made by define()), in one transaction.
    int ExportRows(db::Database& exchange, const char* operation, const std::function<bool(db::Database&)>& define,
                   const std::function<bool(const db::Recordset&)>& take);

    IIdentifierSource* m_pDoc;
    QString m_className;
    std::unique_ptr<db::Recordset> m_pRecordSet;
};
