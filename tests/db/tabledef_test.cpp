#include "dbtesthelpers.h"

using namespace dbtest;

namespace {

struct Expected {
    const char* name;
    db::Type type;
    int size;
};

void ExpectFields(const std::vector<db::FieldDef>& fields, const std::vector<Expected>& want) {
    ASSERT_EQ(fields.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(fields[i].name, QString::fromLatin1(want[i].name));
        EXPECT_EQ(int(fields[i].type), int(want[i].type));
        EXPECT_EQ(fields[i].size, want[i].size);
    }
}

} // namespace

// Definitions survive a close and reopen: type codes, text sizes, and creation order of both
// tables and fields (deliberately not alphabetical).
TEST(DbTableDef, TypesSizesAndOrderSurviveReopen) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("defs.qdb"));
    const std::vector<Expected> zeta = {
        {"Zulu", db::Type::Text, 1},     {"Count", db::Type::Integer, 0},
        {"Amount", db::Type::Double, 0}, {"When", db::Type::Date, 0},
        {"Flag", db::Type::Boolean, 0},  {"Big", db::Type::Long, 0},
        {"Note", db::Type::Text, 255}};
    {
        db::Database database;
        database.create(path);
        db::TableDef z{QStringLiteral("Zeta"), {}};
        for (const Expected& e : zeta)
            z.add(QString::fromLatin1(e.name), e.type, e.size);
        database.createTable(z);
        db::TableDef a{QStringLiteral("Alpha"), {}};
        a.add(QStringLiteral("B"), db::Type::Text, 50).add(QStringLiteral("A"), db::Type::Long);
        database.createTable(a);
        database.createTable(ItemTable(QStringLiteral("Mid Table")));
        database.close();
    }
    db::Database database;
    database.open(path);
    EXPECT_EQ(database.tableNames(), QStringList({QStringLiteral("Zeta"), QStringLiteral("Alpha"),
                                                  QStringLiteral("Mid Table")}));
    ExpectFields(database.tableDef(QStringLiteral("Zeta")).fields, zeta);
    ExpectFields(database.tableDef(QStringLiteral("Alpha")).fields,
                 {{"B", db::Type::Text, 50}, {"A", db::Type::Long, 0}});
    ExpectFields(database.tableDef(QStringLiteral("Mid Table")).fields,
                 {{"ID", db::Type::Long, 0},
                  {"ItemName", db::Type::Text, 20},
                  {"Group", db::Type::Long, 0},
                  {"Qty", db::Type::Integer, 0},
                  {"Price", db::Type::Double, 0},
                  {"Active", db::Type::Boolean, 0},
                  {"Added", db::Type::Date, 0}});

    // A recordset reports the same fields in the same order.
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Zeta]"));
    ExpectFields(rs.fields(), zeta);
    EXPECT_EQ(rs.fieldCount(), int(zeta.size()));
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("when")), 3); // field names ignore case
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("Missing")), -1);
}

TEST(DbTableDef, BadDefinitionsAndLookupsAreRefused) {
    TempFolder folder;
    db::Database database;
    database.create(folder.path(QStringLiteral("bad.qdb")));
    database.createTable(ItemTable());

    EXPECT_THROW(database.createTable(ItemTable()), db::Error);
    EXPECT_THROW(database.createTable(ItemTable(QStringLiteral("ITEM"))), db::Error);
    EXPECT_THROW(database.createTable(db::TableDef{QStringLiteral("Empty"), {}}), db::Error);
    db::TableDef unnamed{QStringLiteral("  "), {}};
    unnamed.add(QStringLiteral("A"), db::Type::Long);
    EXPECT_THROW(database.createTable(unnamed), db::Error);
    EXPECT_THROW(database.tableDef(QStringLiteral("Nowhere")), db::Error);
    EXPECT_EQ(database.tableNames(), QStringList({QStringLiteral("Item")}));
    EXPECT_TRUE(database.hasTable(QStringLiteral("item")));
    EXPECT_FALSE(database.hasTable(QStringLiteral("Nowhere")));

    db::Recordset rs(database);
    EXPECT_THROW(rs.open(QStringLiteral("select * from [Nowhere]")), db::Error);
    EXPECT_THROW(rs.open(QStringLiteral("select ID from [Item]")), db::Error);
    EXPECT_THROW(rs.open(QStringLiteral("select * from [Item] where ID = 3")), db::Error);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.moveFirst(), db::Error);
    rs.open(QStringLiteral("SELECT * FROM Item"));
    EXPECT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.tableName(), QStringLiteral("Item"));
}

// A table written by another program: declared types map to the nearest engine type.
TEST(DbTableDef, ForeignTableTakesNearestTypes) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("foreign.qdb"));
    {
        db::Database database;
        database.create(path);
    }
    RawQuery(path, "CREATE TABLE Foreign1 (Num INTEGER, Label VARCHAR(30), Amount REAL, Loose)");
    db::Database database;
    database.open(path);
    ExpectFields(database.tableDef(QStringLiteral("Foreign1")).fields,
                 {{"Num", db::Type::Long, 0},
                  {"Label", db::Type::Text, 255},
                  {"Amount", db::Type::Double, 0},
                  {"Loose", db::Type::Text, 255}});
}
