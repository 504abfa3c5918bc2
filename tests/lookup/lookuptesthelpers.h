#pragma once

#include "../support/scriptedprompter.h"
#include "../support/testutil.h"
#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

namespace lookuptest {

struct ListRow {
    int id;
    int group;
    QString text;
    bool operator==(const ListRow&) const = default;
};

struct LookupRow {
    int id;
    int category;
    QString name;
    double value;
    bool operator==(const LookupRow&) const = default;
};

inline void PrintTo(const ListRow& r, std::ostream* os) {
    *os << "{" << r.id << ", " << r.group << ", \"" << r.text.toStdString() << "\"}";
}

inline void PrintTo(const LookupRow& r, std::ostream* os) {
    *os << "{" << r.id << ", " << r.category << ", \"" << r.name.toStdString() << "\", " << r.value << "}";
}

// Every row of a grouped list table, read through a recordset of its own so the list
// object's cursor and filter are left alone.
inline std::vector<ListRow> ReadListRows(db::Database& database, const QString& table) {
    std::vector<ListRow> rows;
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    if (rs.recordCount() == 0) return rows;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
        rows.push_back({rs.intValue(QStringLiteral("ID")), rs.intValue(QStringLiteral("Group")),
                        rs.textValue(QStringLiteral("String"))});
    return rows;
}

inline std::vector<LookupRow> ReadLookupRows(db::Database& database) {
    std::vector<LookupRow> rows;
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Lookup]"));
    if (rs.recordCount() == 0) return rows;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
        rows.push_back({rs.intValue(QStringLiteral("ID")), rs.intValue(QStringLiteral("Category")),
                        rs.textValue(QStringLiteral("ItemName")), rs.doubleValue(QStringLiteral("Value"))});
    return rows;
}

inline void WriteListRows(db::Database& database, const QString& table, const std::vector<ListRow>& rows) {
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    for (const ListRow& r : rows) {
        rs.addNew();
        rs.setValue(QStringLiteral("ID"), r.id);
        rs.setValue(QStringLiteral("Group"), r.group);
        rs.setValue(QStringLiteral("String"), r.text);
        rs.update();
    }
}

inline void WriteLookupRows(db::Database& database, const std::vector<LookupRow>& rows) {
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Lookup]"));
    for (const LookupRow& r : rows) {
        rs.addNew();
        rs.setValue(QStringLiteral("ID"), r.id);
        rs.setValue(QStringLiteral("Category"), r.category);
        rs.setValue(QStringLiteral("ItemName"), r.name);
        rs.setValue(QStringLiteral("Value"), r.value);
        rs.update();
    }
}

// A new project on disk with the document's lists open, as the program has them after
// File > New.
class NewProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(QStringLiteral("project.qvp"));
        request.description = QStringLiteral("lists");
        ASSERT_TRUE(doc.CreateNewProject(request)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(prompter.m_shown.isEmpty());
    }

    db::Database& ProjectDb() { return *doc.GetPtrDatabase(); }

    // An empty exchange file beside the project.
    void CreateExchange(db::Database& exchange, const QString& name = QStringLiteral("exchange.qvx")) {
        exchange.create(folder.path(name));
    }

    TempFolder folder;
    CScriptedPrompter prompter;
    CQuorvaneDoc doc{&prompter};
};

} // namespace lookuptest
