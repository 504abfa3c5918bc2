#include "dbtesthelpers.h"

using namespace dbtest;
using Ids = std::vector<int>;

namespace {

const QString kSelect = QStringLiteral("select * from [Item]");

class DbTransaction : public DbFixture {
protected:
    // IDs as another connection to the file sees them: only what has been committed.
    std::vector<QString> Committed() {
        return RawQuery(path, "SELECT ID FROM Item ORDER BY rowid");
    }
    static std::vector<QString> Texts(std::initializer_list<const char*> values) {
        std::vector<QString> out;
        for (const char* v : values)
            out.push_back(QString::fromLatin1(v));
        return out;
    }
};

} // namespace

TEST_F(DbTransaction, EveryUpdateCommitsAtOnceOutsideATransaction) {
    db::Recordset rs(database);
    rs.open(kSelect);
    AddItem(rs, 1, QStringLiteral("one"));
    EXPECT_EQ(Committed(), Texts({"1"}));
    rs.moveFirst();
    rs.edit();
    rs.setValue(QStringLiteral("ID"), 2);
    rs.update();
    EXPECT_EQ(Committed(), Texts({"2"}));
    rs.remove();
    EXPECT_EQ(Committed(), Texts({}));
}

TEST_F(DbTransaction, OnlyTheOutermostCommitWrites) {
    db::Recordset rs(database);
    rs.open(kSelect);
    database.beginTrans();
    AddItem(rs, 1, QStringLiteral("outer"));
    database.beginTrans();
    EXPECT_EQ(database.transactionDepth(), 2);
    AddItem(rs, 2, QStringLiteral("inner"));
    database.commitTrans();
    EXPECT_EQ(Committed(), Texts({})) << "an inner commit is not yet in the file";
    EXPECT_EQ(WalkIds(rs), Ids({1, 2})) << "but this connection sees its own changes";
    database.commitTrans();
    EXPECT_EQ(database.transactionDepth(), 0);
    EXPECT_EQ(Committed(), Texts({"1", "2"}));
}

TEST_F(DbTransaction, InnerRollbackKeepsOuterWork) {
    Seed({1});
    db::Recordset rs(database);
    rs.open(kSelect);
    database.beginTrans();
    AddItem(rs, 2, QStringLiteral("outer"));
    database.beginTrans();
    AddItem(rs, 3, QStringLiteral("inner"));
    rs.moveFirst();
    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("inner edit"));
    rs.update();
    database.rollback();
    EXPECT_EQ(database.transactionDepth(), 1);
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item1"))
        << "a rolled-back edit must not linger in the read cache";
    database.beginTrans(); // the same level can be used again after a rollback
    AddItem(rs, 4, QStringLiteral("again"));
    database.commitTrans();
    database.commitTrans();
    EXPECT_EQ(Committed(), Texts({"1", "2", "4"}));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({1, 2, 4}));
}

TEST_F(DbTransaction, OuterRollbackDiscardsCommittedInnerWork) {
    Seed({1, 2});
    db::Recordset rs(database);
    rs.open(kSelect);
    database.beginTrans();
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    rs.remove();
    database.beginTrans();
    AddItem(rs, 3, QStringLiteral("inner"));
    database.commitTrans();
    database.rollback();
    EXPECT_EQ(database.transactionDepth(), 0);
    EXPECT_EQ(Committed(), Texts({"1", "2"}));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({1, 2}));

    // A row added and rolled back is gone, from the file and from the recordset.
    database.beginTrans();
    AddItem(rs, 5, QStringLiteral("gone"));
    database.rollback();
    rs.moveLast();
    EXPECT_EQ(CurrentId(rs), 2);
    AddItem(rs, 6, QStringLiteral("kept"));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({1, 2, 6}));
}

TEST_F(DbTransaction, ScopedTransactionRollsBackUnlessCommitted) {
    db::Recordset rs(database);
    rs.open(kSelect);
    {
        db::Transaction tx(database);
        AddItem(rs, 1, QStringLiteral("dropped"));
    }
    EXPECT_EQ(database.transactionDepth(), 0);
    {
        db::Transaction tx(database);
        AddItem(rs, 2, QStringLiteral("kept"));
        {
            db::Transaction inner(database);
            AddItem(rs, 3, QStringLiteral("dropped"));
        }
        tx.commit();
    }
    EXPECT_EQ(Committed(), Texts({"2"}));

    // An exception inside the scope leaves nothing behind.
    try {
        db::Transaction tx(database);
        AddItem(rs, 4, QStringLiteral("dropped"));
        rs.addNew();
        rs.setValue(QStringLiteral("ItemName"), QStringLiteral("far too long for the field"));
        tx.commit();
    } catch (const db::Error&) {
    }
    EXPECT_EQ(database.transactionDepth(), 0);
    EXPECT_EQ(Committed(), Texts({"2"}));
}

TEST_F(DbTransaction, MisuseIsRefused) {
    EXPECT_THROW(database.commitTrans(), db::Error);
    EXPECT_THROW(database.rollback(), db::Error);
    database.beginTrans();
    database.commitTrans();
    EXPECT_THROW(database.commitTrans(), db::Error);
    EXPECT_EQ(database.transactionDepth(), 0);

    // Closing with a transaction open rolls it back.
    {
        db::Recordset rs(database);
        rs.open(kSelect);
        database.beginTrans();
        database.beginTrans();
        AddItem(rs, 1, QStringLiteral("uncommitted"));
    }
    database.close();
    EXPECT_EQ(database.transactionDepth(), 0);
    EXPECT_EQ(Committed(), Texts({}));
    database.open(path);
    database.beginTrans(); // a fresh connection starts at depth zero
    EXPECT_EQ(database.transactionDepth(), 1);
    database.rollback();
}

// A rollback returns each recordset to the rows and position it held when the level began:
// rows deleted inside come back, rows added inside are gone, and a key the engine hands out
// again after the rollback never lands in a recordset that held the rolled-back row.
TEST_F(DbTransaction, RollbackRestoresMembershipAndPosition) {
    Seed({1, 2, 3});
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    database.beginTrans();
    AddItem(rs, 4, QStringLiteral("added"));
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    rs.removeAndStepBack();
    rs.requery();
    database.rollback();
    EXPECT_EQ(CurrentId(rs), 2) << "the position at the begin comes back";
    EXPECT_EQ(WalkIds(rs), Ids({1, 2, 3})) << "the deleted row is a member again";

    db::Recordset other(database);
    other.open(kSelect);
    AddItem(other, 5, QStringLiteral("later")); // may reuse the rolled-back row's key
    EXPECT_EQ(WalkIds(rs), Ids({1, 2, 3})) << "a row added after the rollback is not a member";
    EXPECT_EQ(WalkIds(other), Ids({1, 2, 3, 5}));
}

TEST_F(DbTransaction, InnerRollbackRestoresTheInnerLevelOnly) {
    Seed({1});
    db::Recordset rs(database);
    rs.open(kSelect);
    database.beginTrans();
    AddItem(rs, 2, QStringLiteral("outer"));
    database.beginTrans();
    rs.moveFirst();
    rs.remove();
    AddItem(rs, 3, QStringLiteral("inner"));
    db::Recordset inner(database); // opened inside the level: read again on rollback
    inner.open(kSelect);
    inner.setFilter(QStringLiteral("ID > 1"));
    inner.requery();
    database.rollback();
    EXPECT_EQ(WalkIds(rs), Ids({1, 2}));
    EXPECT_EQ(WalkIds(inner), Ids({2}));
    database.rollback();
    EXPECT_EQ(WalkIds(rs), Ids({1}));
    EXPECT_EQ(WalkIds(inner), Ids({})) << "inner is requeried under its filter";
}
