// Searching text fields for a piece of text: order, wrapping, membership, escaping.
#include "db/database.h"
#include "db/recordset.h"
#include "testutil.h"

#include <gtest/gtest.h>

namespace {

class TextSearch : public ::testing::Test {
protected:
    TempFolder folder;
    db::Database file;
    void SetUp() override {
        file.create(folder.path(QStringLiteral("t.db")));
        file.createTable(db::TableDef{QStringLiteral("Items"), {}}
                             .add(QStringLiteral("ID"), db::Type::Long)
                             .add(QStringLiteral("Code"), db::Type::Text, 20)
                             .add(QStringLiteral("Note"), db::Type::Text, 50));
        db::Recordset rs(file);
        rs.open(QStringLiteral("select * from [Items]"));
        const char* rows[][2] = {{"apple", "red"}, {"Pear", "green"}, {"plum", "50% off"}, {"PEACH", "a_b"}};
        int id = 1;
        for (auto& r : rows) {
            rs.addNew();
            rs.setValue(QStringLiteral("ID"), id++);
            rs.setValue(QStringLiteral("Code"), QString::fromLatin1(r[0]));
            rs.setValue(QStringLiteral("Note"), QString::fromLatin1(r[1]));
            rs.update();
        }
    }
    int Find(db::Recordset& rs, const QString& text) {
        return rs.findNextContaining({QStringLiteral("Code"), QStringLiteral("Note")}, text)
                   ? rs.intValue(QStringLiteral("ID"))
                   : -1;
    }
};

TEST_F(TextSearch, FindsAfterTheCurrentRowAndWrapsButNeverReturnsIt) {
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [Items]"));
    rs.moveFirst();
    EXPECT_EQ(Find(rs, QStringLiteral("pea")), 2);
    EXPECT_EQ(Find(rs, QStringLiteral("pea")), 4);
    EXPECT_EQ(Find(rs, QStringLiteral("pea")), 2); // round again from the top
    EXPECT_EQ(Find(rs, QStringLiteral("PEAR")), -1); // only the current row holds it
    EXPECT_EQ(rs.intValue(QStringLiteral("ID")), 2);  // and it stays current
    EXPECT_EQ(Find(rs, QStringLiteral("GREEN")), -1);
    EXPECT_EQ(Find(rs, QStringLiteral("RED")), 1);
}

TEST_F(TextSearch, WildcardCharactersAreTakenLiterally) {
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [Items]"));
    rs.moveFirst();
    EXPECT_EQ(Find(rs, QStringLiteral("50%")), 3);
    EXPECT_EQ(Find(rs, QStringLiteral("%")), -1); // only row 3 has one, and it is current
    EXPECT_EQ(Find(rs, QStringLiteral("a_b")), 4);
    EXPECT_EQ(Find(rs, QStringLiteral("e_n")), -1); // "_" is not a wildcard: "green" has no "e_n"
}

TEST_F(TextSearch, OnlyMembersAreFound) {
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [Items]"));
    rs.setFilter(QStringLiteral("ID > 2"));
    rs.requery();
    EXPECT_EQ(Find(rs, QStringLiteral("pe")), 4); // "Pear" is not a member
    db::Recordset other(file);
    other.open(QStringLiteral("select * from [Items]"));
    other.addNew();
    other.setValue(QStringLiteral("ID"), 9);
    other.setValue(QStringLiteral("Code"), QStringLiteral("pecan"));
    other.update();
    EXPECT_EQ(Find(rs, QStringLiteral("pec")), -1); // added elsewhere: not a member yet
    EXPECT_THROW(rs.findNextContaining({QStringLiteral("Nope")}, QStringLiteral("x")), db::Error);
}

} // namespace
