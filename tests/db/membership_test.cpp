#include "dbtesthelpers.h"

using namespace dbtest;
using Ids = std::vector<int>;

namespace {

const QString kSelect = QStringLiteral("select * from [Item]");

class DbMembership : public DbFixture {};
class DbNavigation : public DbFixture {};

} // namespace

TEST_F(DbMembership, RowsAddedElsewhereJoinOnlyAfterRequery) {
    Seed({1, 2, 3});
    db::Recordset mine(database), other(database);
    mine.open(kSelect);
    other.open(kSelect);
    AddItem(other, 4, QStringLiteral("four"));
    AddItem(other, 5, QStringLiteral("five"));

    EXPECT_EQ(mine.recordCount(), 3);
    EXPECT_EQ(WalkIds(mine), Ids({1, 2, 3}));
    mine.moveLast();
    EXPECT_EQ(CurrentId(mine), 3);
    EXPECT_FALSE(mine.findFirst(QStringLiteral("ID = 4")));

    EXPECT_EQ(WalkIds(other), Ids({1, 2, 3, 4, 5}));
    mine.requery();
    EXPECT_EQ(WalkIds(mine), Ids({1, 2, 3, 4, 5}));
}

// Natural order is the order rows were added in, not the order of any field.
TEST_F(DbMembership, OwnAddsAreAppendedInInsertionOrder) {
    Seed({30, 10});
    db::Recordset rs(database);
    rs.open(kSelect);
    rs.moveFirst();
    AddItem(rs, 20, QStringLiteral("twenty"));
    AddItem(rs, 5, QStringLiteral("five"));
    EXPECT_EQ(CurrentId(rs), 30) << "adding a row keeps the current row";
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(WalkIds(rs), Ids({30, 10, 20, 5}));

    // Added while at EOF: still at EOF afterwards, the new row is the last one.
    AddItem(rs, 7, QStringLiteral("seven"));
    EXPECT_TRUE(rs.isEOF());
    rs.movePrev();
    EXPECT_EQ(CurrentId(rs), 7);

    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({30, 10, 20, 5, 7}));
}

TEST_F(DbMembership, DeletedRowsAreDropped) {
    Seed({1, 2, 3, 4, 5});
    db::Recordset rs(database), other(database);
    rs.open(kSelect);
    other.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 3")));
    rs.remove();
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(WalkIds(rs), Ids({1, 2, 4, 5}));

    // The other recordset still holds the row: reading it says so rather than showing another.
    ASSERT_TRUE(other.findFirst(QStringLiteral("ID = 2")));
    other.moveNext();
    try {
        (void)other.value(QStringLiteral("ID"));
        ADD_FAILURE() << "read a deleted row";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Record is deleted."));
    }
    other.moveNext();
    EXPECT_EQ(CurrentId(other), 4);
    other.requery();
    EXPECT_EQ(WalkIds(other), Ids({1, 2, 4, 5}));
}

// Keys are never reused: a recordset holding the key of a deleted last row must not show the
// row added after it, even across a reopen of the file.
TEST_F(DbMembership, HeldDeletedKeyNeverLandsOnNewerRow) {
    Seed({1, 2, 3});
    db::Recordset holder(database);
    holder.open(kSelect);
    {
        db::Recordset rs(database);
        rs.open(kSelect);
        rs.moveLast();
        rs.remove();
        AddItem(rs, 99, QStringLiteral("newer"));
    }
    holder.moveLast();
    EXPECT_THROW((void)holder.value(QStringLiteral("ID")), db::Error);

    holder.close();
    database.close();
    database.open(path);
    holder.open(kSelect);
    EXPECT_EQ(WalkIds(holder), Ids({1, 2, 99}));
    {
        db::Recordset rs(database);
        rs.open(kSelect);
        rs.moveLast();
        rs.remove();
        AddItem(rs, 100, QStringLiteral("after reopen"));
    }
    holder.moveLast();
    EXPECT_THROW((void)holder.value(QStringLiteral("ID")), db::Error);
    holder.requery();
    EXPECT_EQ(WalkIds(holder), Ids({1, 2, 100}));
}

TEST_F(DbNavigation, MovesStopAtTheEnds) {
    Seed({1, 2, 3});
    db::Recordset rs(database);
    rs.open(kSelect);
    EXPECT_FALSE(rs.isBOF());
    EXPECT_EQ(CurrentId(rs), 1) << "a fresh recordset is on its first row";

    rs.moveLast();
    EXPECT_EQ(CurrentId(rs), 3);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.isBOF());
    EXPECT_THROW((void)rs.value(QStringLiteral("ID")), db::Error);
    EXPECT_THROW(rs.edit(), db::Error);
    EXPECT_THROW(rs.remove(), db::Error);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    rs.movePrev();
    EXPECT_EQ(CurrentId(rs), 3);

    rs.moveFirst();
    rs.movePrev();
    EXPECT_TRUE(rs.isBOF());
    EXPECT_FALSE(rs.isEOF());
    EXPECT_THROW((void)rs.value(QStringLiteral("ID")), db::Error);
    rs.movePrev();
    EXPECT_TRUE(rs.isBOF());
    rs.moveNext();
    EXPECT_EQ(CurrentId(rs), 1);

    // Walking backwards from the last row visits every row once.
    Ids back;
    for (rs.moveLast(); !rs.isBOF(); rs.movePrev())
        back.push_back(CurrentId(rs));
    EXPECT_EQ(back, Ids({3, 2, 1}));
}

TEST_F(DbNavigation, EmptyRecordsetIsBothBofAndEof) {
    db::Recordset rs(database);
    rs.open(kSelect);
    auto expectEmpty = [&](const char* after) {
        SCOPED_TRACE(after);
        EXPECT_TRUE(rs.isBOF());
        EXPECT_TRUE(rs.isEOF());
        EXPECT_EQ(rs.recordCount(), 0);
        EXPECT_THROW((void)rs.value(QStringLiteral("ID")), db::Error);
    };
    expectEmpty("open");
    rs.moveFirst();
    expectEmpty("moveFirst");
    rs.moveLast();
    expectEmpty("moveLast");
    rs.moveNext();
    expectEmpty("moveNext");
    rs.movePrev();
    expectEmpty("movePrev");
    EXPECT_FALSE(rs.findFirst(QStringLiteral("ID = 1")));
    EXPECT_FALSE(rs.findNext(QStringLiteral("ID = 1")));
    EXPECT_THROW(rs.edit(), db::Error);
    EXPECT_THROW(rs.remove(), db::Error);

    // A filter that matches nothing gives the same picture over a non-empty table.
    Seed({1, 2});
    rs.setFilter(QStringLiteral("ID > 10"));
    rs.requery();
    expectEmpty("filtered requery");

    // Once it has a row, it can be reached.
    AddItem(rs, 11, QStringLiteral("eleven"));
    rs.moveFirst();
    EXPECT_EQ(CurrentId(rs), 11);
}

TEST_F(DbNavigation, DeletingFirstRowThenPrevThenNextLandsOnNewFirst) {
    Seed({1, 2, 3});
    db::Recordset rs(database);
    rs.open(kSelect);
    rs.moveFirst();
    rs.remove();
    EXPECT_THROW((void)rs.value(QStringLiteral("ID")), db::Error);
    rs.movePrev();
    EXPECT_TRUE(rs.isBOF());
    rs.moveNext();
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(CurrentId(rs), 2);
    rs.movePrev();
    EXPECT_TRUE(rs.isBOF());
}

TEST_F(DbNavigation, MovesAfterDeletingInTheMiddleAndAtTheEnd) {
    Seed({1, 2, 3, 4});
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    rs.remove();
    rs.moveNext();
    EXPECT_EQ(CurrentId(rs), 3) << "next after a delete is the row that followed it";
    rs.movePrev();
    EXPECT_EQ(CurrentId(rs), 1) << "previous skips the deleted row";

    rs.moveLast();
    rs.remove();
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    rs.movePrev();
    EXPECT_EQ(CurrentId(rs), 3);

    // Deleting the current row again is refused until the recordset moves.
    rs.remove();
    EXPECT_THROW(rs.remove(), db::Error);
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 1);

    rs.moveFirst();
    rs.remove();
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 0);
}
