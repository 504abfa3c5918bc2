// Buying looks an invoice's lines up by store item: opening a project makes that index, so the
// first Buy in a large file that never had it does not build it over every line.
#include "listharness.h"

#include <sqlite3.h>

namespace {

// The names of the indexes of the file whose first column is table.column.
QStringList IndexesOn(const QString& path, const char* table, const char* column) {
    QStringList names;
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return names;
    }
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(h,
                                 "SELECT il.name FROM pragma_index_list(?1) AS il, pragma_index_info(il.name) AS ii "
                                 "WHERE ii.seqno = 0 AND ii.name = ?2",
                                 -1, &st, nullptr),
              SQLITE_OK);
    sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 2, column, -1, SQLITE_STATIC);
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(h);
    return names;
}

void DropIndexes(const QString& path, const QStringList& names) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    for (const QString& name : names)
        EXPECT_EQ(sqlite3_exec(h, QStringLiteral("DROP INDEX \"%1\"").arg(name).toUtf8().constData(), nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
    sqlite3_close(h);
}

TEST(BuyingIndex, OpeningAProjectWithoutTheStoreItemIndexOfLinesMakesIt) {
    ListHarness h;
    const QString path = h.NewProject();
    h.doc.OnFileCloseProject();
    DropIndexes(path, IndexesOn(path, "InvoiceItems", "StoreItemID"));
    ASSERT_TRUE(IndexesOn(path, "InvoiceItems", "StoreItemID").isEmpty());

    ASSERT_TRUE(h.doc.OpenProject(path)) << h.prompter.m_shown.join('|').toStdString();
    h.doc.OnFileCloseProject();
    EXPECT_EQ(IndexesOn(path, "InvoiceItems", "StoreItemID").size(), 1);
}

} // namespace
