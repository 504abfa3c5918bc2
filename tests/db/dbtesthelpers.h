#pragma once

#include "../support/testutil.h"
#include "db/database.h"
#include "db/recordset.h"

#include <QString>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <vector>

namespace dbtest {

// The table most cases use: one field of every engine type.
inline db::TableDef ItemTable(const QString& name = QStringLiteral("Item")) {
    db::TableDef def{name, {}};
    def.add(QStringLiteral("ID"), db::Type::Long)
        .add(QStringLiteral("ItemName"), db::Type::Text, 20)
        .add(QStringLiteral("Group"), db::Type::Long)
        .add(QStringLiteral("Qty"), db::Type::Integer)
        .add(QStringLiteral("Price"), db::Type::Double)
        .add(QStringLiteral("Active"), db::Type::Boolean)
        .add(QStringLiteral("Added"), db::Type::Date);
    return def;
}

inline void AddItem(db::Recordset& rs, int id, const QString& name, int group = 0) {
    rs.addNew();
    rs.setValue(QStringLiteral("ID"), id);
    rs.setValue(QStringLiteral("ItemName"), name);
    rs.setValue(QStringLiteral("Group"), group);
    rs.update();
}

// IDs of the members from the first row to the last, leaving the recordset at EOF.
inline std::vector<int> WalkIds(db::Recordset& rs) {
    std::vector<int> ids;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
        ids.push_back(rs.intValue(QStringLiteral("ID")));
    return ids;
}

inline int CurrentId(const db::Recordset& rs) {
    return rs.intValue(QStringLiteral("ID"));
}

// Runs one query through a separate, plain SQLite connection and returns the first column
// of every row as text; used to see what really reached the file.
inline std::vector<QString> RawQuery(const QString& path, const char* sql) {
    std::vector<QString> out;
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << sqlite3_errmsg(raw);
        sqlite3_close(raw);
        return out;
    }
    sqlite3_busy_timeout(raw, 5000);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, sql, -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(raw);
    } else {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            out.push_back(text ? QString::fromUtf8(text) : QString());
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(raw);
    return out;
}

inline int RawCount(const QString& path, const QString& table) {
    const QString sql = QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table);
    const auto rows = RawQuery(path, sql.toUtf8().constData());
    return rows.empty() ? -1 : rows.front().toInt();
}

// A fresh database holding an Item table, kept open for the test.
class DbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.path(QStringLiteral("test.qdb"));
        database.create(path);
        database.createTable(ItemTable());
    }

    // Adds rows with the given IDs (group = ID % 10) through a recordset of its own.
    void Seed(const std::vector<int>& ids) {
        db::Recordset rs(database);
        rs.open(QStringLiteral("select * from [Item]"));
        for (int id : ids)
            AddItem(rs, id, QStringLiteral("item%1").arg(id), id % 10);
    }

    TempFolder folder;
    QString path;
    db::Database database;
};

} // namespace dbtest
