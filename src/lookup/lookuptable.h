#pragma once

#include "lookup/listtable.h"

#include <QString>
#include <memory>


// The entries of every discount table (group name and rate), one table for all; filtered to
// one discount table at a time.
class CLookupTable : public CListTable {
public:
    explicit CLookupTable(IIdentifierSource* doc);
    ~CLookupTable();

    static db::TableDef TableDefinition();

    bool DefineDaoTable(db::Database& database);
    int OpenDaoRecordset(db::Database& database);
    void ReQueryRecordsetUsingCategory(int category);

    bool GetFirst(int& id, QString& name, double& value);
    bool GetNext(int& id, QString& name, double& value);
    double GetValueUsingName(const QString& name);
    int PutItem(int id, const QString& name, double value);
    int AddItem(int category, const QString& name, double value);
    int DeleteItem(int id);
    int GetCurrentID() const { return m_currentID; }

    int ExportTableToMdb(db::Database& database);
    int ImportTableFromStoreMdb(db::Database& database, int category);


private:
    bool ReadCurrent(int& id, QString& name, double& value);

    int m_currentID = -1;
};
