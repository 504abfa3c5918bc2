#include "dbtesthelpers.h"

using namespace dbtest;
using Ids = std::vector<int>;

namespace {

const QString kSelect = QStringLiteral("select * from [Item]");

class DbFind : public DbFixture {};

// Rows whose names and groups the filter cases below rely on.
class DbFilter : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        db::Recordset rs(database);
        rs.open(kSelect);
        struct Row {
            int id;
            const char* name;
            int group;
            double price;
        };
        const Row rows[] = {{12, "box", 5, 2.5},       {3, "Apple", 7, -1.25},
                            {7, "BOX", 5, 10},         {20, "banana", 2, 2.49},
                            {15, "O'Brien", 5, 0},     {8, "Cherry", 7, 99.75},
                            {1, "say \"hi\"", 2, 2.5}, {40, "boxes", 5, 3}};
        for (const Row& r : rows) {
            rs.addNew();
            rs.setValue(QStringLiteral("ID"), r.id);
            rs.setValue(QStringLiteral("ItemName"), QString::fromUtf8(r.name));
            rs.setValue(QStringLiteral("Group"), r.group);
            rs.setValue(QStringLiteral("Price"), r.price);
            rs.update();
        }
    }

    // Members of a recordset requeried with the filter, in natural order.
    Ids Filtered(const QString& filter) {
        db::Recordset rs(database);
        rs.open(kSelect);
        rs.setFilter(filter);
        rs.requery();
        return WalkIds(rs);
    }

    // Every match of a find, first then next until none is left.
    Ids Found(const QString& filter) {
        db::Recordset rs(database);
        rs.open(kSelect);
        Ids ids;
        for (bool hit = rs.findFirst(filter); hit; hit = rs.findNext(filter))
            ids.push_back(CurrentId(rs));
        return ids;
    }
};

} // namespace

TEST_F(DbFind, FirstAndNextVisitMatchesInNaturalOrder) {
    Seed({25, 5, 14, 35, 45, 9, 15});
    db::Recordset rs(database);
    rs.open(kSelect);
    rs.moveLast();
    ASSERT_TRUE(rs.findFirst(QStringLiteral("[Group] = 5")));
    EXPECT_EQ(CurrentId(rs), 25) << "findFirst starts from the first row, not the current one";
    Ids seen{CurrentId(rs)};
    while (rs.findNext(QStringLiteral("[Group] = 5")))
        seen.push_back(CurrentId(rs));
    EXPECT_EQ(seen, Ids({25, 5, 35, 45, 15}));
    EXPECT_EQ(CurrentId(rs), 15) << "the failed findNext leaves the last match current";

    // findNext from BOF starts at the first row; from EOF there is nothing further.
    rs.moveFirst();
    rs.movePrev();
    ASSERT_TRUE(rs.findNext(QStringLiteral("ID = 25")));
    EXPECT_EQ(CurrentId(rs), 25);
    rs.moveLast();
    rs.moveNext();
    EXPECT_FALSE(rs.findNext(QStringLiteral("ID = 25")));
    EXPECT_TRUE(rs.isEOF());
}

TEST_F(DbFind, NoMatchLeavesTheCurrentRow) {
    Seed({1, 2, 3, 4});
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 3")));
    EXPECT_FALSE(rs.findFirst(QStringLiteral("ID = 999")));
    EXPECT_EQ(CurrentId(rs), 3);
    EXPECT_FALSE(rs.findNext(QStringLiteral("ID = 2"))) << "2 lies before the current row";
    EXPECT_EQ(CurrentId(rs), 3);
    EXPECT_FALSE(rs.findFirst(QStringLiteral("ItemName = 'nothing'")));
    EXPECT_EQ(CurrentId(rs), 3);
}

// A find only lands on members: rows added elsewhere and rows outside the filter are not found.
TEST_F(DbFind, OnlyMembersAreFound) {
    Seed({1, 2, 15, 25});
    db::Recordset rs(database), other(database);
    rs.open(kSelect);
    other.open(kSelect);
    AddItem(other, 35, QStringLiteral("late"), 5);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("[Group] = 5")));
    EXPECT_TRUE(rs.findNext(QStringLiteral("[Group] = 5")));
    EXPECT_EQ(CurrentId(rs), 25);
    EXPECT_FALSE(rs.findNext(QStringLiteral("[Group] = 5")));
    EXPECT_FALSE(rs.findFirst(QStringLiteral("ID = 35")));

    rs.setFilter(QStringLiteral("[Group] = 5"));
    rs.requery();
    EXPECT_FALSE(rs.findFirst(QStringLiteral("ID = 2")));
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 35")));
    EXPECT_EQ(CurrentId(rs), 35);
}

// After deleting a match, findNext must consider the row that moved into its place.
TEST_F(DbFind, FindNextAfterDeletingCurrentMatch) {
    Seed({5, 15, 25, 2, 35});
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("[Group] = 5")));
    rs.remove();
    ASSERT_TRUE(rs.findNext(QStringLiteral("[Group] = 5")));
    EXPECT_EQ(CurrentId(rs), 15);
    rs.remove();
    ASSERT_TRUE(rs.findNext(QStringLiteral("[Group] = 5")));
    EXPECT_EQ(CurrentId(rs), 25);

    // Deleting the last member leaves nothing after it.
    rs.moveLast();
    rs.remove();
    EXPECT_FALSE(rs.findNext(QStringLiteral("[Group] = 5")));
    EXPECT_EQ(WalkIds(rs), Ids({25, 2}));
}

TEST_F(DbFilter, ComparisonOperatorsOnNumbers) {
    EXPECT_EQ(Filtered(QStringLiteral("ID = 12")), Ids({12}));
    EXPECT_EQ(Filtered(QStringLiteral("[ID] <> 12")), Ids({3, 7, 20, 15, 8, 1, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("[ID] > 12")), Ids({20, 15, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("ID >= 12")), Ids({12, 20, 15, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("ID < 8")), Ids({3, 7, 1}));
    EXPECT_EQ(Filtered(QStringLiteral("ID <= 8")), Ids({3, 7, 8, 1}));
    EXPECT_EQ(Filtered(QStringLiteral("[Group] = 5")), Ids({12, 7, 15, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("  Group=2  ")), Ids({20, 1}));
    EXPECT_EQ(Filtered(QStringLiteral("[Price] = 2.5")), Ids({12, 1}));
    EXPECT_EQ(Filtered(QStringLiteral("Price < -1")), Ids({3}));
    EXPECT_EQ(Filtered(QStringLiteral("Price > 2.49")), Ids({12, 7, 8, 1, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("[Price] >= .5e1")), Ids({7, 8}));
    EXPECT_EQ(Filtered(QStringLiteral("[id] = 3")), Ids({3})) << "field names ignore case";
    EXPECT_EQ(Filtered(QStringLiteral("[ID] > 0")), Ids({12, 3, 7, 20, 15, 8, 1, 40}));
}

TEST_F(DbFilter, QuotedTextComparesWithoutCase) {
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = 'box'")), Ids({12, 7}));
    EXPECT_EQ(Filtered(QStringLiteral("[ItemName] = 'BoX'")), Ids({12, 7}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = \"box\"")), Ids({12, 7}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName <> 'box'")), Ids({3, 20, 15, 8, 1, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName < 'c'")), Ids({12, 3, 7, 20, 40}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName >= 'CHERRY'")), Ids({15, 8, 1}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = 'o''brien'")), Ids({15}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = \"SAY \"\"HI\"\"\"")), Ids({1}));
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = 'box '")), Ids()) << "no trimming of literals";
    EXPECT_EQ(Filtered(QStringLiteral("ItemName = 'bo'")), Ids()) << "no prefix matching";

    // Finds use the same comparison.
    EXPECT_EQ(Found(QStringLiteral("ItemName = 'BOX'")), Ids({12, 7}));
    EXPECT_EQ(Found(QStringLiteral("[ItemName] = 'O''BRIEN'")), Ids({15}));
    EXPECT_EQ(Found(QStringLiteral("[Group] = 5")), Ids({12, 7, 15, 40}));
    EXPECT_EQ(Found(QStringLiteral("Price >= 10")), Ids({7, 8}));
}

TEST_F(DbFilter, OtherTextsAreRefused) {
    const char* refused[] = {"ID = 12 AND Group = 5",
                             "ID = 12 OR ID = 3",
                             "ItemName LIKE 'b*'",
                             "ID IN (1, 2)",
                             "ID BETWEEN 1 AND 3",
                             "ID = ",
                             "= 12",
                             "ID == 12",
                             "ID = 'open",
                             "ID = twelve",
                             "[ID = 12",
                             "NOT ID = 12",
                             "ID = 12; DROP TABLE Item",
                             "Missing = 3",
                             "[Item Name] = 'box'",
                             ""};
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 7")));
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        const QString filter = QString::fromUtf8(text);
        EXPECT_THROW(rs.findFirst(filter), db::Error);
        EXPECT_THROW(rs.findNext(filter), db::Error);
        EXPECT_EQ(CurrentId(rs), 7) << "a refused find does not move";
        rs.setFilter(filter);
        if (!filter.isEmpty()) {
            EXPECT_THROW(rs.requery(), db::Error);
            EXPECT_EQ(rs.recordCount(), 8) << "a refused requery keeps the membership";
        }
    }
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 8);
}

TEST_F(DbFilter, RequeryAppliesAndClearsTheFilter) {
    db::Recordset rs(database), other(database);
    rs.open(kSelect);
    other.open(kSelect);
    rs.setFilter(QStringLiteral("[Group] = 5"));
    rs.requery();
    EXPECT_EQ(rs.filter(), QStringLiteral("[Group] = 5"));
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(CurrentId(rs), 12) << "requery goes to the first member";

    // Rows changed elsewhere: a new match joins and an edited row leaves on the next requery.
    AddItem(other, 50, QStringLiteral("new"), 5);
    ASSERT_TRUE(other.findFirst(QStringLiteral("ID = 7")));
    other.edit();
    other.setValue(QStringLiteral("Group"), 6);
    other.update();
    EXPECT_EQ(WalkIds(rs), Ids({12, 7, 15, 40}));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({12, 15, 40, 50}));

    // A row the recordset adds is a member even when it does not match the filter.
    AddItem(rs, 60, QStringLiteral("outside"), 9);
    EXPECT_EQ(WalkIds(rs), Ids({12, 15, 40, 50, 60}));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({12, 15, 40, 50}));

    rs.setFilter(QStringLiteral("ItemName = 'BOXES'"));
    rs.requery();
    EXPECT_EQ(WalkIds(rs), Ids({40}));

    rs.setFilter(QString());
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 10);

    // Reopening a recordset drops its filter.
    rs.setFilter(QStringLiteral("ID = 3"));
    rs.requery();
    rs.open(kSelect);
    EXPECT_TRUE(rs.filter().isEmpty());
    EXPECT_EQ(rs.recordCount(), 10);
}
