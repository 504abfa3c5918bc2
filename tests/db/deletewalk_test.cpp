// Deleting rows keeps the read cache in step with the positions that moved: every value read
// after a delete is the value of the row now at that position.
#include "dbtesthelpers.h"

using namespace dbtest;
using Ids = std::vector<int>;

namespace {

const QString kSelect = QStringLiteral("select * from [Item]");

Ids Range(int from, int to) {
    Ids ids;
    for (int id = from; id <= to; ++id) ids.push_back(id);
    return ids;
}

class DbDeleteWalk : public DbFixture {
protected:
    // Rows 1 to 300 and nothing else, written at once.
    void Reseed() {
        db::Transaction tx(database);
        database.exec(QStringLiteral("DELETE FROM [Item]"));
        Seed(Range(1, 300));
        tx.commit();
    }
};

} // namespace

// A walk that deletes as it goes, over more rows than one read-ahead block, reading two fields
// (the second read first only after some deletes) of every row it keeps.
TEST_F(DbDeleteWalk, AWalkThatDeletesEveryKthRowReadsEachKeptRowRight) {
    for (int k : {1, 2, 3, 7, 64, 65}) {
        SCOPED_TRACE(k);
        Reseed();
        db::Recordset rs(database);
        rs.open(kSelect);
        Ids kept;
        int n = 0;
        db::Transaction tx(database); // as the program deletes: many rows, one commit
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            const int id = CurrentId(rs);
            if (++n % k == 0) {
                rs.remove();
                continue;
            }
            if (n > 100) {
                EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item%1").arg(id));
            }
            EXPECT_EQ(rs.intValue(QStringLiteral("Group")), id % 10);
            kept.push_back(id);
        }
        tx.commit();
        Ids expected;
        for (int id = 1; id <= 300; ++id)
            if (id % k != 0) expected.push_back(id);
        EXPECT_EQ(kept, expected);
        EXPECT_EQ(WalkIds(rs), expected);
        db::Recordset fresh(database);
        fresh.open(kSelect);
        EXPECT_EQ(WalkIds(fresh), expected);
    }
}

// Deletes before, inside and after the block the set has read: the rows of the block keep
// their own values.
TEST_F(DbDeleteWalk, DeletesAroundTheReadBlockLeaveItsRowsTheirValues) {
    struct Case {
        int deleted;
        const char* where;
    };
    for (const Case c : {Case{5, "before"}, Case{150, "inside"}, Case{299, "after"}}) {
        SCOPED_TRACE(c.where);
        Reseed();
        db::Recordset rs(database);
        rs.open(kSelect);
        ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 140")));
        EXPECT_EQ(rs.intValue(QStringLiteral("Group")), 0); // reads the block from 140 on
        ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(c.deleted)));
        rs.remove();
        EXPECT_THROW(rs.intValue(QStringLiteral("ID")), db::Error);
        for (int id : {140, 141, 149, 151, 160, 203, 204, 1, 298, 300}) {
            if (id == c.deleted) continue;
            ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(id))) << id;
            EXPECT_EQ(CurrentId(rs), id);
            EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item%1").arg(id));
        }
        EXPECT_FALSE(rs.findFirst(QStringLiteral("ID = %1").arg(c.deleted)));
        EXPECT_EQ(rs.recordCount(), 299);
    }
}
