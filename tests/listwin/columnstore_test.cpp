#include "../support/testutil.h"
#include "listwin/columndefs.h"
#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <map>
#include <set>

namespace {

// Groups no list of a new project uses.
constexpr int kSpareGroup = 900;

struct StoredRow {
    int id;
    QString text;
};

std::vector<StoredRow> rowsOfGroup(CDaoGroupedStringList* list, int group) {
    std::vector<StoredRow> rows;
    list->ReQueryRecordsetUsingGroup(group);
    int id = -1;
    QString text;
    for (bool ok = list->GetFirst(id, text); ok; ok = list->GetNext(id, text))
        rows.push_back({id, text});
    return rows;
}

std::vector<int> shown(const CListColumns& c) {
    std::vector<int> out;
    for (const ColumnSlot& s : c.Slots())
        if (s.Used)
            out.push_back(s.ColumnIndex);
    return out;
}

bool contiguous(const CListColumns& c) {
    bool gap = false;
    for (const ColumnSlot& s : c.Slots()) {
        if (!s.Used)
            gap = true;
        else if (gap)
            return false;
    }
    return true;
}

void expectSameLayout(const CListColumns& a, const CListColumns& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        const ColumnDef& da = a.Definitions()[size_t(i)];
        const ColumnDef& db = b.Definitions()[size_t(i)];
        EXPECT_EQ(da.Title, db.Title) << i;
        EXPECT_EQ(da.Description, db.Description) << i;
        EXPECT_EQ(da.Width, db.Width) << i;
        EXPECT_EQ(da.Format, db.Format) << i;
        EXPECT_EQ(da.RowID, db.RowID) << i;
        EXPECT_EQ(a.Slots()[size_t(i)].Used, b.Slots()[size_t(i)].Used) << i;
        if (a.Slots()[size_t(i)].Used) {
            EXPECT_EQ(a.Slots()[size_t(i)].ColumnIndex, b.Slots()[size_t(i)].ColumnIndex) << i;
        }
    }
}

class ColumnStore : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_folder.path(QStringLiteral("columns.qvp"));
        CQuorvaneDoc::NewProjectRequest request;
        request.path = m_path;
        request.description = QStringLiteral("column layouts");
        ASSERT_TRUE(m_doc.CreateNewProject(request))
            << m_prompter.m_messages.join('\n').toStdString();
        m_list = m_doc.GetPtrColumnDefs();
        ASSERT_NE(m_list, nullptr);
    }

    void TearDown() override {
        EXPECT_TRUE(m_prompter.m_messages.isEmpty())
            << m_prompter.m_messages.join('\n').toStdString();
        EXPECT_EQ(m_doc.GetPtrDatabase()->transactionDepth(), 0);
    }

    TempFolder m_folder;
    QString m_path;
    CRecordingPrompter m_prompter;
    CQuorvaneDoc m_doc{&m_prompter};
    CDaoGroupedStringList* m_list = nullptr;
};

} // namespace

TEST_F(ColumnStore, NewProjectHoldsEveryDefinitionOfEachList) {
    struct Case {
        const ListColumnSet& columnSet;
        int group;
    };
    const Case cases[] = {{CustomerColumnSet(), kCustomerColumnGroup},
                          {InvoiceColumnSet(), kInvoiceColumnGroup},
                          {InvoiceItemColumnSet(), kInvoiceItemColumnGroup}};
    for (const Case& c : cases) {
        const std::vector<StoredRow> rows = rowsOfGroup(m_list, c.group);
        ASSERT_EQ(int(rows.size()), c.columnSet.count) << "group " << c.group;

        std::set<int> indexes;
        for (const StoredRow& row : rows) {
            int index = -1;
            ColumnDef def;
            ColumnSlot slot;
            ASSERT_TRUE(ParseColumnRow(row.text, c.columnSet.count, index, def, slot))
                << row.text.toStdString();
            indexes.insert(index);
            EXPECT_EQ(def.Title, QString::fromUtf8(c.columnSet.table[index].title));
            EXPECT_EQ(def.Width, c.columnSet.table[index].width);
        }
        EXPECT_EQ(int(indexes.size()), c.columnSet.count);

        CListColumns columns(c.columnSet, c.group);
        columns.LoadColumnDefinitions(m_list);
        EXPECT_EQ(shown(columns), c.columnSet.defaultColumns);
        for (const ColumnDef& d : columns.Definitions())
            EXPECT_NE(d.RowID, -1);
    }
}

TEST_F(ColumnStore, RoundTripKeepsTitlesWidthsAndSlots) {
    CListColumns columns(InvoiceColumnSet(), kInvoiceColumnGroup);
    columns.LoadColumnDefinitions(m_list);
    const std::vector<StoredRow> before = rowsOfGroup(m_list, kInvoiceColumnGroup);

    ASSERT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + 4), 1);  // hide Date
    ASSERT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + 26), 1); // show User Field2
    ASSERT_TRUE(columns.MoveColumnSlot(columns.UsedSlotCount() - 1, 0));
    columns.Definitions()[25].Title = QStringLiteral("Route 66 stop");
    columns.Definitions()[25].Width = 33; // hidden: keeps this width
    columns.Definitions()[26].Title = QStringLiteral("A very long title that gets cut");
    columns.ApplyColumnSlots();

    // The shown widths come from the list columns, the hidden ones stay as they are.
    ASSERT_TRUE(
        columns.StoreColumnDefinitions(m_list, [](int listColumn) { return 100 + listColumn; }));
    for (int k = 0; k < columns.UsedSlotCount(); ++k)
        EXPECT_EQ(columns.Definitions()[size_t(columns.Slots()[size_t(k)].ColumnIndex)].Width,
                  100 + k);
    EXPECT_EQ(columns.Definitions()[25].Width, 33);

    // Every row was written over; none was added.
    const std::vector<StoredRow> after = rowsOfGroup(m_list, kInvoiceColumnGroup);
    ASSERT_EQ(after.size(), before.size());
    for (size_t r = 0; r < after.size(); ++r)
        EXPECT_EQ(after[r].id, before[r].id);

    CListColumns reread(InvoiceColumnSet(), kInvoiceColumnGroup);
    EXPECT_EQ(reread.ReadColumnDefinitions(m_list), reread.Count());
    EXPECT_EQ(reread.Definitions()[25].Title, QStringLiteral("Route 66 stop"));
    EXPECT_EQ(reread.Definitions()[26].Title,
              QStringLiteral("A very long title that gets cut").left(20));
    columns.Definitions()[26].Title = reread.Definitions()[26].Title;
    expectSameLayout(columns, reread);
    EXPECT_EQ(shown(reread), (std::vector<int>{26, 0, 3, 5, 15, 17}));
}

TEST_F(ColumnStore, SecondStoreOverwritesInPlace) {
    CListColumns columns(InvoiceItemColumnSet(), kInvoiceItemColumnGroup);
    columns.LoadColumnDefinitions(m_list);
    const size_t count = rowsOfGroup(m_list, kInvoiceItemColumnGroup).size();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + 1 + round), 1);
        ASSERT_TRUE(columns.StoreColumnDefinitions(m_list));
        EXPECT_EQ(rowsOfGroup(m_list, kInvoiceItemColumnGroup).size(), count);
        CListColumns reread(InvoiceItemColumnSet(), kInvoiceItemColumnGroup);
        reread.LoadColumnDefinitions(m_list);
        expectSameLayout(columns, reread);
    }
    // Other lists' rows were left alone.
    EXPECT_EQ(int(rowsOfGroup(m_list, kCustomerColumnGroup).size()), CustomerColumnSet().count);
}

TEST_F(ColumnStore, EmptyGroupFallsBackToDefaultsAndIsFilledOnce) {
    const int group = StoreItemColumnGroup(40);
    ASSERT_TRUE(rowsOfGroup(m_list, group).empty());

    CListColumns columns(StoreItemColumnSet(), group);
    EXPECT_EQ(columns.ReadColumnDefinitions(m_list), 0);
    columns.LoadColumnDefinitions(m_list);
    EXPECT_EQ(shown(columns), StoreItemColumnSet().defaultColumns);

    ASSERT_TRUE(columns.StoreColumnDefinitions(m_list));
    EXPECT_EQ(int(rowsOfGroup(m_list, group).size()), columns.Count());
    for (const ColumnDef& d : columns.Definitions())
        EXPECT_NE(d.RowID, -1);

    ASSERT_TRUE(columns.MoveColumnSlot(0, 3));
    ASSERT_TRUE(columns.StoreColumnDefinitions(m_list));
    EXPECT_EQ(int(rowsOfGroup(m_list, group).size()), columns.Count());

    CListColumns reread(StoreItemColumnSet(), group);
    EXPECT_EQ(reread.ReadColumnDefinitions(m_list), reread.Count());
    expectSameLayout(columns, reread);
}

TEST_F(ColumnStore, ReopenedProjectBringsBackTheSavedLayout) {
    auto* owner = dynamic_cast<CHeadlessListOwner*>(m_doc.GetCustomerOwner());
    ASSERT_NE(owner, nullptr);
    CListColumns& columns = owner->Columns();
    ASSERT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + 4), 1); // show City
    ASSERT_TRUE(columns.MoveColumnSlot(columns.UsedSlotCount() - 1, 1));
    columns.Definitions()[4].Width = 123;
    columns.ApplyColumnSlots();
    const std::vector<int> layout = shown(columns);

    m_doc.OnFileCloseProject(); // saves every list's layout
    ASSERT_TRUE(m_doc.OpenProject(m_path));
    m_list = m_doc.GetPtrColumnDefs();

    auto* reopened = dynamic_cast<CHeadlessListOwner*>(m_doc.GetCustomerOwner());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(shown(reopened->Columns()), layout);
    EXPECT_EQ(reopened->Columns().Definitions()[4].Width, 123);
    EXPECT_EQ(reopened->Columns().Definitions()[4].Active, 1);
    EXPECT_EQ(int(rowsOfGroup(m_list, kCustomerColumnGroup).size()), CustomerColumnSet().count);
}

TEST_F(ColumnStore, DamagedRowsAreSkipped) {
    const int group = kSpareGroup;
    const int n = InvoiceItemColumnSet().count;
    CListColumns source(InvoiceItemColumnSet(), group);
    source.SetupDefaultColumns();
    const QString good2 = FormatColumnRow(2, source.Definitions()[2], source.Slots()[2]);
    const QString good0 = FormatColumnRow(0, source.Definitions()[0], source.Slots()[0]);

    const QStringList damaged = {
        QStringLiteral("  -1") + good2.mid(4),
        QString::number(n).rightJustified(4) + good2.mid(4),
        good2.left(60),
        QStringLiteral("not a column row at all"),
        QString(100, QLatin1Char('9')),
        QString(250, QLatin1Char('#')),
        good2.left(75) + QStringLiteral("abcde") + good2.mid(80),
        good2.left(90) + QString::number(n).rightJustified(5) + good2.mid(95),
    };
    for (const QString& row : damaged)
        ASSERT_NE(m_list->AddItem(group, row), -1);
    const int id0 = m_list->AddItem(group, good0);
    const int id2 = m_list->AddItem(group, good2);
    ASSERT_NE(id0, -1);
    ASSERT_NE(id2, -1);

    CListColumns columns(InvoiceItemColumnSet(), group);
    EXPECT_EQ(columns.ReadColumnDefinitions(m_list), 2);
    EXPECT_EQ(columns.Definitions()[0].RowID, id0);
    EXPECT_EQ(columns.Definitions()[2].RowID, id2);
    EXPECT_EQ(columns.Definitions()[1].RowID, -1);
    EXPECT_EQ(shown(columns),
              (std::vector<int>{source.Slots()[0].ColumnIndex, source.Slots()[2].ColumnIndex}));
    EXPECT_TRUE(contiguous(columns)); // slot 1 was missing: compacted

    // With only damaged rows the defaults apply.
    const int badGroup = kSpareGroup + 1;
    for (const QString& row : damaged)
        ASSERT_NE(m_list->AddItem(badGroup, row), -1);
    CListColumns fallback(InvoiceItemColumnSet(), badGroup);
    fallback.LoadColumnDefinitions(m_list);
    EXPECT_EQ(shown(fallback), InvoiceItemColumnSet().defaultColumns);
}

TEST_F(ColumnStore, BrokenSlotOrderIsRepairedOnRead) {
    const int group = kSpareGroup + 2;
    CListColumns written(InvoiceItemColumnSet(), group);
    written.InitializeColumnDefinitions();
    // A gap at slot 1, column 3 twice, column 7 after the gap.
    const std::map<int, int> used = {{0, 3}, {2, 5}, {3, 3}, {4, 7}, {6, 3}};
    for (auto [slot, column] : used) {
        written.Slots()[size_t(slot)].Used = 1;
        written.Slots()[size_t(slot)].ColumnIndex = column;
    }
    for (int i = 0; i < written.Count(); ++i)
        ASSERT_NE(m_list->AddItem(group, FormatColumnRow(i, written.Definitions()[size_t(i)],
                                                         written.Slots()[size_t(i)])),
                  -1);

    CListColumns columns(InvoiceItemColumnSet(), group);
    columns.LoadColumnDefinitions(m_list);
    EXPECT_EQ(shown(columns), (std::vector<int>{3, 5, 7}));
    EXPECT_TRUE(contiguous(columns));
    EXPECT_EQ(columns.UsedSlotCount(), 3);

    // Hiding a repaired column hides it completely.
    EXPECT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + 3), 1);
    EXPECT_EQ(shown(columns), (std::vector<int>{5, 7}));
}

TEST_F(ColumnStore, NoList) {
    CListColumns columns(CustomerColumnSet(), kCustomerColumnGroup);
    EXPECT_FALSE(columns.StoreColumnDefinitions(nullptr));
    EXPECT_EQ(columns.ReadColumnDefinitions(nullptr), 0);
    columns.LoadColumnDefinitions(nullptr);
    EXPECT_EQ(shown(columns), CustomerColumnSet().defaultColumns);
}
