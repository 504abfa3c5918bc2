#include "lookuptesthelpers.h"

using namespace lookuptest;

namespace {

int StoredLookupCounter(db::Database& database) {
    db::Recordset hw(database);
    hw.open(QStringLiteral("select * from [HighWater]"));
    hw.moveLast();
    return hw.intValue(QStringLiteral("HighWaterLookupItemID"));
}

class LookupTableTest : public NewProjectTest {
protected:
    CLookupTable& Lookup() { return *doc.GetPtrLookupTable(); }
    std::vector<LookupRow> Rows() { return ReadLookupRows(ProjectDb()); }
};

} // namespace

TEST_F(LookupTableTest, NewProjectHasTheDefaultEntry) {
    // The default discount table's one entry, and the counter past it.
    EXPECT_EQ(Rows(), (std::vector<LookupRow>{{1, 1, QStringLiteral("default"), 0.0}}));
    EXPECT_EQ(doc.GetHighWaterLookupItemID(), 2);
    EXPECT_EQ(StoredLookupCounter(ProjectDb()), 2);
}

TEST_F(LookupTableTest, ValueLookupIsCaseSensitive) {
    CLookupTable& lookup = Lookup();
    ASSERT_EQ(lookup.PutItem(1, QStringLiteral("default"), 0.25), 1);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("default")), 0.25);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("Default")), 0.0);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("DEFAULT")), 0.0);

    // A second entry differing only in case is a different entry.
    ASSERT_EQ(lookup.AddItem(1, QStringLiteral("Default"), 0.5), 2);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("Default")), 0.5);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("default")), 0.25);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("defaults")), 0.0);
}

TEST_F(LookupTableTest, CategoryFilterLimitsWalksAndLookups) {
    CLookupTable& lookup = Lookup();
    ASSERT_EQ(lookup.AddItem(5, QStringLiteral("retail"), 0.1), 2);
    ASSERT_EQ(lookup.AddItem(5, QStringLiteral("wholesale"), 0.3), 3);

    lookup.ReQueryRecordsetUsingCategory(9);
    int id = -5;
    QString name;
    double value = -1.0;
    EXPECT_FALSE(lookup.GetFirst(id, name, value));
    EXPECT_FALSE(lookup.GetNext(id, name, value));
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("retail")), 0.0);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("default")), 0.0);

    lookup.ReQueryRecordsetUsingCategory(5);
    ASSERT_TRUE(lookup.GetFirst(id, name, value));
    EXPECT_EQ(id, 2);
    EXPECT_EQ(name, QStringLiteral("retail"));
    EXPECT_EQ(value, 0.1);
    ASSERT_TRUE(lookup.GetNext(id, name, value));
    EXPECT_EQ(id, 3);
    EXPECT_EQ(name, QStringLiteral("wholesale"));
    EXPECT_EQ(value, 0.3);
    EXPECT_FALSE(lookup.GetNext(id, name, value));
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("wholesale")), 0.3);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("default")), 0.0);

    // Entries outside the filter cannot be edited through it.
    EXPECT_EQ(lookup.PutItem(1, QStringLiteral("default"), 0.9), 0);
    EXPECT_EQ(lookup.DeleteItem(1), 0);
    EXPECT_EQ(Rows().front(), (LookupRow{1, 1, QStringLiteral("default"), 0.0}));
}

TEST_F(LookupTableTest, DeleteMovesToTheNeighbouringEntry) {
    CLookupTable& lookup = Lookup();
    ASSERT_EQ(lookup.AddItem(1, QStringLiteral("a"), 0.1), 2);
    ASSERT_EQ(lookup.AddItem(1, QStringLiteral("b"), 0.2), 3);

    EXPECT_EQ(lookup.DeleteItem(2), 1);
    db::Recordset* rs = lookup.GetPtrRecordset();
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->intValue(QStringLiteral("ID")), 1);
    int id = -1;
    QString name;
    double value = 0.0;
    ASSERT_TRUE(lookup.GetNext(id, name, value));
    EXPECT_EQ(id, 3);

    EXPECT_EQ(lookup.DeleteItem(1), 1);
    EXPECT_EQ(rs->intValue(QStringLiteral("ID")), 3);
    EXPECT_EQ(lookup.DeleteItem(1), 0);

    // The last entry of all: nothing is current and the walk is over.
    EXPECT_EQ(lookup.DeleteItem(3), 1);
    EXPECT_TRUE(rs->isBOF() || rs->isEOF());
    EXPECT_FALSE(lookup.GetNext(id, name, value));
    EXPECT_FALSE(lookup.GetFirst(id, name, value));
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("b")), 0.0);
    EXPECT_TRUE(Rows().empty());

    // Deleting never gives an ID back.
    EXPECT_EQ(lookup.AddItem(1, QStringLiteral("c"), 0.3), 4);
}

TEST_F(LookupTableTest, ImportPutsEntriesIntoTheGivenCategoryWithFreshIds) {
    db::Database exchange;
    CreateExchange(exchange);
    CLookupTable maker(&doc);
    ASSERT_TRUE(maker.DefineDaoTable(exchange));
    const std::vector<LookupRow> incoming = {{100, 7, QStringLiteral("retail"), 0.1},
                                             {101, 7, QStringLiteral("wholesale"), 0.25}};
    WriteLookupRows(exchange, incoming);

    CLookupTable& lookup = Lookup();
    EXPECT_EQ(lookup.ImportTableFromStoreMdb(exchange, 12), 1);
    EXPECT_EQ(Rows(), (std::vector<LookupRow>{{1, 1, QStringLiteral("default"), 0.0},
                                              {2, 12, QStringLiteral("retail"), 0.1},
                                              {3, 12, QStringLiteral("wholesale"), 0.25}}));
    EXPECT_EQ(lookup.GetCurrentID(), 3);
    EXPECT_EQ(doc.GetHighWaterLookupItemID(), 4);
    EXPECT_EQ(StoredLookupCounter(ProjectDb()), 4);

    lookup.ReQueryRecordsetUsingCategory(12);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("wholesale")), 0.25);
    lookup.ReQueryRecordsetUsingCategory(7);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("wholesale")), 0.0);

    EXPECT_EQ(ReadLookupRows(exchange), incoming);
    EXPECT_EQ(lookup.AddItem(12, QStringLiteral("club"), 0.05), 4);
}

TEST_F(LookupTableTest, ExportWritesTheFilteredCategoryAsItIs) {
    CLookupTable& lookup = Lookup();
    ASSERT_EQ(lookup.AddItem(5, QStringLiteral("a"), 0.1), 2);
    ASSERT_EQ(lookup.AddItem(6, QStringLiteral("b"), 0.2), 3);
    ASSERT_EQ(lookup.AddItem(5, QStringLiteral("c"), 0.3), 4);

    lookup.ReQueryRecordsetUsingCategory(5);
    db::Database five;
    CreateExchange(five, QStringLiteral("five.qvx"));
    EXPECT_EQ(lookup.ExportTableToMdb(five), 1);
    EXPECT_EQ(ReadLookupRows(five), (std::vector<LookupRow>{{2, 5, QStringLiteral("a"), 0.1},
                                                            {4, 5, QStringLiteral("c"), 0.3}}));

    lookup.ReQueryRecordsetUsingCategory(8);
    db::Database empty;
    CreateExchange(empty, QStringLiteral("empty.qvx"));
    EXPECT_EQ(lookup.ExportTableToMdb(empty), 1);
    EXPECT_TRUE(empty.hasTable(QStringLiteral("Lookup")));
    EXPECT_TRUE(ReadLookupRows(empty).empty());

    // Exporting takes nothing from the project and no IDs.
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(doc.GetHighWaterLookupItemID(), 5);

    // A round trip: what was exported imports into another category.
    lookup.ReQueryRecordsetUsingCategory(9);
    EXPECT_EQ(lookup.ImportTableFromStoreMdb(five, 9), 1);
    EXPECT_EQ(ReadLookupRows(ProjectDb()).back(), (LookupRow{6, 9, QStringLiteral("c"), 0.3}));
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("a")), 0.1);
}

TEST_F(LookupTableTest, ImportWithoutTheTableChangesNothing) {
    db::Database exchange;
    CreateExchange(exchange);
    CDaoGroupedStringList other(&doc, QStringLiteral("DiscTableNamesList"));
    ASSERT_TRUE(other.DefineDaoTable(exchange));

    CLookupTable& lookup = Lookup();
    ASSERT_EQ(lookup.AddItem(3, QStringLiteral("a"), 0.1), 2);
    const std::vector<LookupRow> before = Rows();
    EXPECT_EQ(lookup.ImportTableFromStoreMdb(exchange, 12), 0);
    EXPECT_EQ(Rows().size(), before.size());
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(doc.GetHighWaterLookupItemID(), 3);
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("a")), 0.1);
}

TEST_F(LookupTableTest, TableThatIsNotOpenRefusesEverything) {
    CLookupTable lookup(&doc);
    lookup.ReQueryRecordsetUsingCategory(1);
    EXPECT_FALSE(lookup.CanProceed());
    int id = 0;
    QString name;
    double value = 0.0;
    EXPECT_FALSE(lookup.GetFirst(id, name, value));
    EXPECT_EQ(lookup.GetValueUsingName(QStringLiteral("default")), 0.0);
    EXPECT_EQ(lookup.AddItem(1, QStringLiteral("a"), 0.1), -1);
    EXPECT_EQ(lookup.PutItem(1, QStringLiteral("a"), 0.1), 0);
    EXPECT_EQ(lookup.DeleteItem(1), 0);
    EXPECT_EQ(doc.GetHighWaterLookupItemID(), 2);
    EXPECT_EQ(Rows().size(), 1u);
}
