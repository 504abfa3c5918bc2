#include "lookuptesthelpers.h"

#include <utility>

using namespace lookuptest;

namespace {

const QString kContainers = QStringLiteral("ContainerList");

// The containers every new project starts with, group 2 (the default container list).
std::vector<ListRow> DefaultContainers() {
    return {{3, 2, QStringLiteral("box")},    {4, 2, QStringLiteral("can")},
            {5, 2, QStringLiteral("bag")},    {6, 2, QStringLiteral("jug")},
            {7, 2, QStringLiteral("bottle")}, {8, 2, QStringLiteral("carton")},
            {9, 2, QStringLiteral("barrel")}, {10, 2, QStringLiteral("other")}};
}

using Item = std::pair<int, QString>;

std::vector<Item> Walk(CDaoGroupedStringList& list) {
    std::vector<Item> items;
    int id = -1;
    QString text;
    for (bool ok = list.GetFirst(id, text); ok; ok = list.GetNext(id, text)) items.emplace_back(id, text);
    return items;
}

std::vector<Item> Items(const std::vector<ListRow>& rows) {
    std::vector<Item> items;
    for (const ListRow& r : rows) items.emplace_back(r.id, r.text);
    return items;
}

int StoredStringListCounter(db::Database& database) {
    db::Recordset hw(database);
    hw.open(QStringLiteral("select * from [HighWater]"));
    hw.moveLast();
    return hw.intValue(QStringLiteral("HighWaterDaoStringListID"));
}

class GroupedStringListTest : public NewProjectTest {
protected:
    CDaoGroupedStringList& Containers() { return *doc.GetPtrContainers(); }
    std::vector<ListRow> ContainerRows() { return ReadListRows(ProjectDb(), kContainers); }
};

} // namespace

TEST_F(GroupedStringListTest, WalksTheCurrentFilterInRecordOrder) {
    CDaoGroupedStringList& list = Containers();
    EXPECT_EQ(Walk(list), Items(DefaultContainers()));

    ASSERT_EQ(list.AddItem(4, QStringLiteral("crate")), 86);
    ASSERT_EQ(list.AddItem(2, QStringLiteral("tin")), 87);
    ASSERT_EQ(list.AddItem(4, QStringLiteral("drum")), 88);

    list.ReQueryRecordsetUsingGroup(2);
    std::vector<Item> group2 = Items(DefaultContainers());
    group2.emplace_back(87, QStringLiteral("tin"));
    EXPECT_EQ(Walk(list), group2);

    list.ReQueryRecordsetUsingGroup(4);
    EXPECT_EQ(Walk(list), (std::vector<Item>{{86, QStringLiteral("crate")}, {88, QStringLiteral("drum")}}));

    // A walk can be started again after it ran off the end.
    int id = -1;
    QString text;
    EXPECT_FALSE(list.GetNext(id, text));
    ASSERT_TRUE(list.GetFirst(id, text));
    EXPECT_EQ(id, 86);
    EXPECT_EQ(text, QStringLiteral("crate"));
    EXPECT_EQ(list.GetItemString(), QStringLiteral("crate"));
}

TEST_F(GroupedStringListTest, EmptyFilterHasNothingToVisitOrFind) {
    CDaoGroupedStringList& list = Containers();
    list.ReQueryRecordsetUsingGroup(77);
    int id = -5;
    QString text = QStringLiteral("untouched");
    EXPECT_FALSE(list.GetFirst(id, text));
    EXPECT_FALSE(list.GetNext(id, text));
    EXPECT_EQ(list.GetItemString(), QString());
    QString found;
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("box"), found), -1);
    EXPECT_EQ(list.ActivateItem(3), 0);
    EXPECT_EQ(list.DeleteItem(3), 0);
    // The rows hidden by the filter are still there.
    EXPECT_EQ(ContainerRows(), DefaultContainers());
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(GroupedStringListTest, FindsNamesRegardlessOfCase) {
    CDaoGroupedStringList& list = Containers();
    QString found;
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("BOX"), found), 3);
    EXPECT_EQ(found, QStringLiteral("box"));
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("Barrel"), found), 9);
    EXPECT_EQ(found, QStringLiteral("barrel"));
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("other"), found), 10);
    EXPECT_EQ(found, QStringLiteral("other"));

    // Whole names only.
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("bo"), found), -1);
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("boxes"), found), -1);
    EXPECT_EQ(list.FindItemUsingName(QString(), found), -1);

    // Two names that differ only in case: the first in record order wins.
    ASSERT_EQ(list.AddItem(2, QStringLiteral("BOTTLE")), 86);
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("Bottle"), found), 7);
    EXPECT_EQ(found, QStringLiteral("bottle"));

    // Only the current filter is searched.
    ASSERT_EQ(list.AddItem(5, QStringLiteral("Pallet")), 87);
    list.ReQueryRecordsetUsingGroup(5);
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("box"), found), -1);
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("PALLET"), found), 87);
    EXPECT_EQ(found, QStringLiteral("Pallet"));
}

TEST_F(GroupedStringListTest, ListThatIsNotOpenRefusesEverything) {
    const int counter = doc.GetHighWaterDaoStringListID();
    CDaoGroupedStringList list(&doc, kContainers);
    list.ReQueryRecordsetUsingGroup(2);
    EXPECT_FALSE(list.CanProceed());
    EXPECT_EQ(list.GetPtrRecordset(), nullptr);

    int id = -5;
    QString text;
    QString found;
    EXPECT_FALSE(list.GetFirst(id, text));
    EXPECT_FALSE(list.GetNext(id, text));
    EXPECT_EQ(list.GetItemString(), QString());
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("box"), found), -1);
    EXPECT_EQ(list.ActivateItem(3), 0);
    EXPECT_EQ(list.PutItem(3, QStringLiteral("crate")), 0);
    EXPECT_EQ(list.DeleteItem(3), 0);
    EXPECT_EQ(list.AddItem(2, QStringLiteral("crate")), -1);

    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), counter);
    EXPECT_EQ(ContainerRows(), DefaultContainers());
    EXPECT_TRUE(prompter.m_shown.isEmpty());

    // The document's own list after the project closed is in the same state.
    doc.OnFileCloseProject();
    EXPECT_FALSE(Containers().CanProceed());
    EXPECT_EQ(Containers().AddItem(2, QStringLiteral("crate")), -1);
    EXPECT_EQ(Containers().FindItemUsingName(QStringLiteral("box"), found), -1);
}

TEST_F(GroupedStringListTest, ActivateItemMovesToTheRowWithThatId) {
    CDaoGroupedStringList& list = Containers();
    EXPECT_EQ(list.ActivateItem(6), 1);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("jug"));
    EXPECT_EQ(list.ActivateItem(3), 1);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("box"));

    // A missing ID leaves the current row where it was.
    EXPECT_EQ(list.ActivateItem(999), 0);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("box"));

    // The next row follows the activated one.
    ASSERT_EQ(list.ActivateItem(8), 1);
    int id = -1;
    QString text;
    ASSERT_TRUE(list.GetNext(id, text));
    EXPECT_EQ(id, 9);
    EXPECT_EQ(text, QStringLiteral("barrel"));

    // Rows outside the current filter cannot be activated.
    list.ReQueryRecordsetUsingGroup(0);
    EXPECT_EQ(list.ActivateItem(6), 0);
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(GroupedStringListTest, PutItemReplacesTheTextOnly) {
    CDaoGroupedStringList& list = Containers();
    EXPECT_EQ(list.PutItem(5, QStringLiteral("sack")), 1);
    std::vector<ListRow> expected = DefaultContainers();
    expected[2].text = QStringLiteral("sack");
    EXPECT_EQ(ContainerRows(), expected);
    EXPECT_TRUE(prompter.m_shown.isEmpty());

    // Written to the file, not just to the recordset.
    QString found;
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("SACK"), found), 5);
    EXPECT_EQ(list.FindItemUsingName(QStringLiteral("bag"), found), -1);

    // An ID that is not there: the person is told, nothing changes.
    EXPECT_EQ(list.PutItem(999, QStringLiteral("crate")), 0);
    EXPECT_EQ(prompter.m_shown, QStringList{QStringLiteral("Failed to locate list record!\n")});
    EXPECT_EQ(ContainerRows(), expected);

    // The group of another list keeps its own text.
    EXPECT_EQ(ReadListRows(ProjectDb(), QStringLiteral("ContainerNamesList")),
              (std::vector<ListRow>{{2, 0, QStringLiteral("Default")}}));
}

TEST_F(GroupedStringListTest, AddItemTakesTheNextStringListId) {
    CDaoGroupedStringList& list = Containers();
    ASSERT_EQ(doc.GetHighWaterDaoStringListID(), 86);
    EXPECT_EQ(list.AddItem(3, QStringLiteral("crate")), 86);
    EXPECT_EQ(list.GetCurrentID(), 86);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 87);
    EXPECT_EQ(list.AddItem(2, QStringLiteral("tin")), 87);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 88);

    // Other lists share the counter.
    EXPECT_EQ(doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale")), 88);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 89);

    std::vector<ListRow> expected = DefaultContainers();
    expected.push_back({86, 3, QStringLiteral("crate")});
    expected.push_back({87, 2, QStringLiteral("tin")});
    EXPECT_EQ(ContainerRows(), expected);
    EXPECT_EQ(StoredStringListCounter(ProjectDb()), 89);

    // Both the rows and the counter survive closing and opening the project.
    const QString path = doc.GetPathName();
    doc.OnFileCloseProject();
    ASSERT_TRUE(doc.OpenProject(path));
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 89);
    EXPECT_EQ(Walk(Containers()), Items(expected));
    EXPECT_EQ(Containers().AddItem(3, QStringLiteral("keg")), 89);
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(GroupedStringListTest, DeleteItemMovesToTheNeighbouringRow) {
    CDaoGroupedStringList& list = Containers();

    // A row in the middle: the row before it becomes current.
    EXPECT_EQ(list.DeleteItem(5), 1);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("can"));
    int id = -1;
    QString text;
    ASSERT_TRUE(list.GetNext(id, text));
    EXPECT_EQ(id, 6);
    EXPECT_EQ(text, QStringLiteral("jug"));

    // The first row: there is none before, so the one after.
    EXPECT_EQ(list.DeleteItem(3), 1);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("can"));

    // The last row.
    EXPECT_EQ(list.DeleteItem(10), 1);
    EXPECT_EQ(list.GetItemString(), QStringLiteral("barrel"));

    // Missing IDs, including one just deleted.
    EXPECT_EQ(list.DeleteItem(999), 0);
    EXPECT_EQ(list.DeleteItem(5), 0);

    std::vector<ListRow> expected = DefaultContainers();
    expected.erase(expected.begin() + 7);
    expected.erase(expected.begin() + 2);
    expected.erase(expected.begin());
    EXPECT_EQ(ContainerRows(), expected);
    EXPECT_EQ(Walk(list), Items(expected));

    // The only row of a filter: nothing is current afterwards.
    ASSERT_EQ(list.AddItem(4, QStringLiteral("crate")), 86);
    list.ReQueryRecordsetUsingGroup(4);
    EXPECT_EQ(list.DeleteItem(86), 1);
    EXPECT_EQ(list.GetItemString(), QString());
    EXPECT_FALSE(list.GetNext(id, text));
    EXPECT_FALSE(list.GetFirst(id, text));
    EXPECT_EQ(ContainerRows(), expected);
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(GroupedStringListTest, ExportOfOneIdWritesAtMostThatRow) {
    CDaoGroupedStringList& list = Containers();
    ASSERT_EQ(list.AddItem(4, QStringLiteral("crate")), 86);

    db::Database one;
    CreateExchange(one, QStringLiteral("one.qvx"));
    EXPECT_EQ(list.ExportListToMdb(one, 5), 1);
    EXPECT_EQ(ReadListRows(one, kContainers), (std::vector<ListRow>{{5, 2, QStringLiteral("bag")}}));

    // The row exists but the filter hides it: the table is made, nothing is written.
    list.ReQueryRecordsetUsingGroup(2);
    db::Database hidden;
    CreateExchange(hidden, QStringLiteral("hidden.qvx"));
    EXPECT_EQ(list.ExportListToMdb(hidden, 86), 1);
    EXPECT_TRUE(hidden.hasTable(kContainers));
    EXPECT_TRUE(ReadListRows(hidden, kContainers).empty());

    // An ID that is nowhere.
    db::Database none;
    CreateExchange(none, QStringLiteral("none.qvx"));
    EXPECT_EQ(list.ExportListToMdb(none, 999), 1);
    EXPECT_TRUE(ReadListRows(none, kContainers).empty());

    // Exporting leaves the project's rows alone.
    std::vector<ListRow> expected = DefaultContainers();
    expected.push_back({86, 4, QStringLiteral("crate")});
    EXPECT_EQ(ContainerRows(), expected);
}

TEST_F(GroupedStringListTest, ExportOfAllWritesTheCurrentFilter) {
    CDaoGroupedStringList& list = Containers();
    ASSERT_EQ(list.AddItem(4, QStringLiteral("crate")), 86);
    ASSERT_EQ(list.AddItem(4, QStringLiteral("drum")), 87);

    list.ReQueryRecordsetUsingGroup(2);
    db::Database group2;
    CreateExchange(group2, QStringLiteral("group2.qvx"));
    EXPECT_EQ(list.ExportListToMdb(group2, -1), 1);
    EXPECT_EQ(ReadListRows(group2, kContainers), DefaultContainers());

    list.ReQueryRecordsetUsingGroup(4);
    db::Database group4;
    CreateExchange(group4, QStringLiteral("group4.qvx"));
    EXPECT_EQ(list.ExportListToMdb(group4, -1), 1);
    EXPECT_EQ(ReadListRows(group4, kContainers),
              (std::vector<ListRow>{{86, 4, QStringLiteral("crate")}, {87, 4, QStringLiteral("drum")}}));

    // The exchange table has the list's own layout.
    const db::TableDef def = group4.tableDef(kContainers);
    ASSERT_EQ(def.fields.size(), 3u);
    EXPECT_EQ(def.fields[2].name, QStringLiteral("String"));
    EXPECT_EQ(def.fields[2].type, db::Type::Text);
    EXPECT_EQ(def.fields[2].size, 250);

    // An empty filter still makes the table.
    list.ReQueryRecordsetUsingGroup(77);
    db::Database empty;
    CreateExchange(empty, QStringLiteral("empty.qvx"));
    EXPECT_EQ(list.ExportListToMdb(empty, -1), 1);
    EXPECT_TRUE(empty.hasTable(kContainers));
    EXPECT_TRUE(ReadListRows(empty, kContainers).empty());
}

TEST_F(GroupedStringListTest, ImportGivesFreshIdsAndUniqueNames) {
    db::Database exchange;
    CreateExchange(exchange);
    CDaoGroupedStringList maker(&doc, kContainers);
    ASSERT_TRUE(maker.DefineDaoTable(exchange));
    const std::vector<ListRow> incoming = {
        {40, 9, QStringLiteral("BOX")}, {41, 9, QStringLiteral("crate")}, {42, 7, QStringLiteral("can")}};
    WriteListRows(exchange, kContainers, incoming);

    CDaoGroupedStringList& list = Containers();
    int newID = -99;
    EXPECT_EQ(list.ImportListFromStoreMdb(exchange, newID, -1), 1);
    EXPECT_EQ(newID, 88);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 89);

    std::vector<ListRow> expected = DefaultContainers();
    expected.push_back({86, 9, QStringLiteral("BOX_1")});
    expected.push_back({87, 9, QStringLiteral("crate")});
    expected.push_back({88, 7, QStringLiteral("can_1")});
    EXPECT_EQ(ContainerRows(), expected);

    // The same file again, into one group: every clash takes the next free number.
    newID = -99;
    EXPECT_EQ(list.ImportListFromStoreMdb(exchange, newID, 2), 1);
    EXPECT_EQ(newID, 91);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 92);
    expected.push_back({89, 2, QStringLiteral("BOX_2")});
    expected.push_back({90, 2, QStringLiteral("crate_1")});
    expected.push_back({91, 2, QStringLiteral("can_2")});
    EXPECT_EQ(ContainerRows(), expected);
    EXPECT_EQ(StoredStringListCounter(ProjectDb()), 92);

    EXPECT_EQ(ReadListRows(exchange, kContainers), incoming);
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(GroupedStringListTest, ImportWithoutTheTableChangesNothing) {
    db::Database exchange;
    CreateExchange(exchange);
    // Another list's table is there, not this one's.
    CDaoGroupedStringList other(&doc, QStringLiteral("ContainerNamesList"));
    ASSERT_TRUE(other.DefineDaoTable(exchange));
    WriteListRows(exchange, QStringLiteral("ContainerNamesList"), {{50, 0, QStringLiteral("Imported")}});

    CDaoGroupedStringList& list = Containers();
    const std::vector<ListRow> before = ContainerRows();
    int newID = -99;
    EXPECT_EQ(list.ImportListFromStoreMdb(exchange, newID, -1), 0);
    EXPECT_EQ(ContainerRows().size(), before.size());
    EXPECT_EQ(ContainerRows(), before);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 86);

    // The list is still usable afterwards.
    EXPECT_EQ(Walk(list), Items(before));
    EXPECT_EQ(list.AddItem(2, QStringLiteral("tin")), 86);
}
