#pragma once

#include "lookup/listtable.h"

#include <QString>
#include <memory>


// A list of short strings in one table, each tagged with a group number: the discount table
// names, the container list names, the containers and the stored column layouts.
class CDaoGroupedStringList : public CListTable {
public:
    CDaoGroupedStringList(IIdentifierSource* doc, const QString& tableName);
    ~CDaoGroupedStringList();

    const QString& TableName() const { return m_tableName; }
    static db::TableDef TableDefinition(const QString& tableName);

    bool DefineDaoTable(db::Database& database);
    int OpenDaoRecordset(db::Database& database);
    void ReQueryRecordsetUsingGroup(int group);

    QString GetItemString();
    bool GetFirst(int& id, QString& string);
    bool GetNext(int& id, QString& string);
    int FindItemUsingName(const QString& name, QString& found);
    int ActivateItem(int id);
    int PutItem(int id, const QString& string);
    int AddItem(int group, const QString& string);
    int DeleteItem(int id);
    int GetCurrentID() const { return m_currentID; }

    int ExportListToMdb(db::Database& database, int id);
    int ImportListFromStoreMdb(db::Database& database, int& newID, int group);


private:
    void ShowError(const QString& text);
    bool ReadCurrent(int& id, QString& string);

    QString m_tableName;
    int m_currentID = -1;
};
