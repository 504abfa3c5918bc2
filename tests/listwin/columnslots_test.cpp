#include "listwin/columndefs.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <numeric>

namespace {

// Column indexes of the used slots, slot 0 first; -1 marks a used slot after a gap.
std::vector<int> shown(const CListColumns& c) {
    std::vector<int> out;
    bool gap = false;
    for (const ColumnSlot& s : c.Slots()) {
        if (!s.Used) {
            gap = true;
            continue;
        }
        out.push_back(gap ? -1 : s.ColumnIndex);
    }
    return out;
}

QStringList shownTitles(const CListColumns& c) {
    QStringList out;
    for (int idx : shown(c))
        out << c.Definitions().at(size_t(idx)).Title;
    return out;
}

void showColumns(CListColumns& c, const std::vector<int>& columns) {
    c.InitializeColumnDefinitions();
    for (size_t k = 0; k < columns.size(); ++k) {
        c.Slots()[k].Used = 1;
        c.Slots()[k].ColumnIndex = columns[k];
    }
}

std::vector<int> allColumns(int n) {
    std::vector<int> v(size_t(n), 0);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

int toggleID(int column) {
    return kColumnMenuFirstID + column;
}

} // namespace

TEST(ColumnDefaults, EachListShowsItsDefaultColumnsInOrder) {
    struct Case {
        const ListColumnSet& columnSet;
        int count;
        QStringList titles;
    };
    const Case cases[] = {
        {CustomerColumnSet(), 20, {"Name", "Bus", "Tax", "Grp", "Cnt", "BalanceDue"}},
        {InvoiceColumnSet(), 27, {"Invoice#", "Status", "Date", "Cnt", "Total", "Due"}},
        {InvoiceItemColumnSet(), 9, {"Code", "Item Description", "Qty", "BkOrd", "Cost"}},
        {StoreItemColumnSet(),
         19,
         {"Code", "Item Description", "Container", "Base Price", "Dscnt%", "Dscnt Price",
          "Ship Weight"}},
    };
    for (const Case& c : cases) {
        CListColumns columns(c.columnSet, 0);
        ASSERT_EQ(columns.Count(), c.count);
        columns.SetupDefaultColumns();
        EXPECT_EQ(shownTitles(columns), c.titles);
        EXPECT_EQ(columns.UsedSlotCount(), int(c.titles.size()));
        ASSERT_EQ(int(columns.Definitions().size()), c.count);
        ASSERT_EQ(int(columns.Slots().size()), c.count);
        for (const ColumnDef& d : columns.Definitions()) {
            EXPECT_EQ(d.Active, 0);
            EXPECT_EQ(d.RowID, -1);
            EXPECT_GE(d.Format, 0);
            EXPECT_LE(d.Format, 2);
            EXPECT_GT(d.Width, 0);
        }
    }
}

TEST(ColumnDefaults, TablesMatchTheirListsAndGroups) {
    CListColumns customers(CustomerColumnSet(), kCustomerColumnGroup);
    EXPECT_EQ(customers.Definitions()[0].Title, QStringLiteral("Customer#"));
    EXPECT_EQ(customers.Definitions()[0].Format, 1);
    EXPECT_EQ(customers.Definitions()[14].Description,
              QStringLiteral("Is this customer a business?"));
    EXPECT_EQ(customers.Definitions()[14].Format, 2);
    EXPECT_EQ(customers.Definitions()[19].Title, QStringLiteral("User Field2"));

    CListColumns invoices(InvoiceColumnSet(), kInvoiceColumnGroup);
    EXPECT_EQ(invoices.Definitions()[7].Description,
              QStringLiteral("Price used: baseline, discount or markup"));
    EXPECT_EQ(invoices.Definitions()[7].Width, 65);
    EXPECT_EQ(invoices.Definitions()[26].Title, QStringLiteral("User Field2"));

    CListColumns items(InvoiceItemColumnSet(), kInvoiceItemColumnGroup);
    EXPECT_EQ(items.Definitions()[2].Width, 140);

    CListColumns store(StoreItemColumnSet(), StoreItemColumnGroup(3));
    EXPECT_EQ(store.Group(), 13);
    EXPECT_EQ(store.Definitions()[13].Description, QStringLiteral("Weight of product in ounces"));
    EXPECT_EQ(store.Definitions()[18].Format, 1);

    EXPECT_EQ(kCustomerColumnGroup, 0);
    EXPECT_EQ(kInvoiceColumnGroup, 1);
    EXPECT_EQ(kInvoiceItemColumnGroup, 2);
}

TEST(ColumnDefaults, InitializeForgetsEverySlotAndRow) {
    CListColumns columns(InvoiceColumnSet(), 1);
    columns.SetupDefaultColumns();
    columns.ApplyColumnSlots();
    columns.Definitions()[3].RowID = 17;
    columns.Definitions()[3].Width = 5;
    columns.InitializeColumnDefinitions();
    EXPECT_EQ(columns.UsedSlotCount(), 0);
    EXPECT_EQ(columns.Definitions()[3].RowID, -1);
    EXPECT_EQ(columns.Definitions()[3].Width, 70);
    for (const ColumnDef& d : columns.Definitions())
        EXPECT_EQ(d.Active, 0);
    for (const ColumnSlot& s : columns.Slots()) {
        EXPECT_EQ(s.ColumnIndex, 0);
        EXPECT_EQ(s.ListColumn, 0);
    }
}

TEST(ColumnApply, ActivatesShownColumnsAndNumbersListColumns) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    columns.SetupDefaultColumns();
    columns.Definitions()[0].Active = 1; // stale, not shown

    std::vector<std::pair<int, QString>> inserted;
    columns.ApplyColumnSlots([&](int slot, const ColumnDef& def) {
        EXPECT_EQ(def.Active, 1);
        inserted.emplace_back(slot, def.Title);
        return 10 + slot;
    });
    const std::vector<std::pair<int, QString>> expected = {
        {0, "Code"}, {1, "Item Description"}, {2, "Qty"}, {3, "BkOrd"}, {4, "Cost"}};
    EXPECT_EQ(inserted, expected);

    const std::vector<int> cols = shown(columns);
    for (int i = 0; i < columns.Count(); ++i) {
        const bool isShown = std::find(cols.begin(), cols.end(), i) != cols.end();
        EXPECT_EQ(columns.Definitions()[size_t(i)].Active, isShown ? 1 : 0) << i;
    }
    for (int k = 0; k < int(cols.size()); ++k)
        EXPECT_EQ(columns.Slots()[size_t(k)].ListColumn, 10 + k);

    columns.ApplyColumnSlots();
    for (int k = 0; k < int(cols.size()); ++k)
        EXPECT_EQ(columns.Slots()[size_t(k)].ListColumn, k);
}

TEST(ColumnMenu, OneItemPerColumnThenSeparatorAndRefresh) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    columns.SetupDefaultColumns();
    columns.ApplyColumnSlots();
    const std::vector<ColumnMenuItem> menu = columns.BuildColumnMenu();
    const int n = columns.Count();
    ASSERT_EQ(int(menu.size()), n + 2);
    for (int i = 0; i < n; ++i) {
        const ColumnMenuItem& item = menu[size_t(i)];
        EXPECT_EQ(item.text, columns.Definitions()[size_t(i)].Description);
        EXPECT_EQ(item.id, kColumnMenuFirstID + i);
        EXPECT_EQ(item.checked, columns.Definitions()[size_t(i)].Active != 0);
        EXPECT_FALSE(item.separator);
    }
    EXPECT_TRUE(menu[size_t(n)].separator);
    EXPECT_EQ(menu[size_t(n) + 1].text, QStringLiteral("Refresh"));
    EXPECT_EQ(menu[size_t(n) + 1].id, kColumnMenuFirstID + n);
    EXPECT_FALSE(menu[size_t(n) + 1].separator);

    // Every list's ids stay inside the command range.
    CListColumns invoices(InvoiceColumnSet(), 1);
    EXPECT_LE(invoices.BuildColumnMenu().back().id, kColumnMenuLastID);
}

TEST(ColumnToggle, RefreshAndUnknownCommands) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    columns.SetupDefaultColumns();
    const std::vector<int> before = shown(columns);
    EXPECT_EQ(columns.ToggleColumnSlot(kColumnMenuFirstID + columns.Count()), 1);
    EXPECT_EQ(shown(columns), before);
    for (int id : {kColumnMenuFirstID - 1, kColumnMenuFirstID + columns.Count() + 1, 0, -5,
                   kColumnMenuLastID}) {
        EXPECT_EQ(columns.ToggleColumnSlot(id), 0) << id;
        EXPECT_EQ(shown(columns), before);
    }
}

TEST(ColumnToggle, HidingShiftsLaterColumnsAndShowingAppends) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    columns.SetupDefaultColumns(); // 1, 2, 3, 4, 8
    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(3)), 1);
    EXPECT_EQ(shown(columns), (std::vector<int>{1, 2, 4, 8}));
    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(0)), 1);
    EXPECT_EQ(shown(columns), (std::vector<int>{1, 2, 4, 8, 0}));
    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(1)), 1);
    EXPECT_EQ(shown(columns), (std::vector<int>{2, 4, 8, 0}));
}

TEST(ColumnToggle, HidingTheOnlyColumnThenShowingOne) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    showColumns(columns, {6});
    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(6)), 1);
    EXPECT_EQ(columns.UsedSlotCount(), 0);
    EXPECT_TRUE(shown(columns).empty());
    columns.ApplyColumnSlots();
    for (const ColumnDef& d : columns.Definitions())
        EXPECT_EQ(d.Active, 0);

    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(2)), 1);
    EXPECT_EQ(shown(columns), std::vector<int>{2});
    EXPECT_EQ(columns.Slots()[0].ColumnIndex, 2);
}

TEST(ColumnToggle, EveryColumnShown) {
    for (const ListColumnSet* columnSet : {&InvoiceItemColumnSet(), &InvoiceColumnSet()}) {
        CListColumns columns(*columnSet, 0);
        const int n = columns.Count();
        showColumns(columns, allColumns(n));

        // Hiding the last slot's column leaves 0..N-2.
        EXPECT_EQ(columns.ToggleColumnSlot(toggleID(n - 1)), 1);
        EXPECT_EQ(shown(columns), allColumns(n - 1));
        EXPECT_EQ(columns.Slots()[size_t(n) - 1].Used, 0);

        // Hiding the first shifts every other one down by one slot.
        showColumns(columns, allColumns(n));
        EXPECT_EQ(columns.ToggleColumnSlot(toggleID(0)), 1);
        std::vector<int> rest = allColumns(n);
        rest.erase(rest.begin());
        EXPECT_EQ(shown(columns), rest);
    }
}

TEST(ColumnToggle, NoFreeSlotLeft) {
    // Only a layout that shows some column twice can fill every slot and still miss one.
    CListColumns columns(InvoiceItemColumnSet(), 2);
    const int n = columns.Count();
    std::vector<int> full = allColumns(n);
    full.back() = 0;
    showColumns(columns, full);
    EXPECT_EQ(columns.ToggleColumnSlot(toggleID(n - 1)), 0);
    EXPECT_EQ(shown(columns), full);
}

TEST(ColumnMove, DraggedColumnLandsOnTheTargetSlot) {
    CListColumns columns(StoreItemColumnSet(), 10);
    columns.SetupDefaultColumns(); // 0, 1, 2, 4, 7, 5, 14
    EXPECT_TRUE(columns.MoveColumnSlot(1, 4));
    EXPECT_EQ(shown(columns), (std::vector<int>{0, 2, 4, 7, 1, 5, 14}));
    EXPECT_TRUE(columns.MoveColumnSlot(5, 0));
    EXPECT_EQ(shown(columns), (std::vector<int>{5, 0, 2, 4, 7, 1, 14}));
    EXPECT_TRUE(columns.MoveColumnSlot(6, 5));
    EXPECT_EQ(shown(columns), (std::vector<int>{5, 0, 2, 4, 7, 14, 1}));
}

TEST(ColumnMove, NothingToDo) {
    CListColumns columns(StoreItemColumnSet(), 10);
    columns.SetupDefaultColumns();
    const std::vector<int> before = shown(columns);
    const int used = columns.UsedSlotCount();
    const int n = columns.Count();
    const std::pair<int, int> moves[] = {{2, 2},     {-1, 3}, {3, -1}, {used, 0},
                                         {n - 1, 0}, {n, 0},  {0, n},  {used - 1, used + 2}};
    for (auto [from, to] : moves) {
        EXPECT_FALSE(columns.MoveColumnSlot(from, to)) << from << " -> " << to;
        EXPECT_EQ(shown(columns), before);
    }
}

TEST(ColumnMove, DropOutsideEveryColumnMovesToTheEnd) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    columns.SetupDefaultColumns(); // 1, 2, 3, 4, 8
    columns.ApplyColumnSlots();
    const auto widthOf = [&](int listColumn) {
        for (const ColumnSlot& s : columns.Slots())
            if (s.Used && s.ListColumn == listColumn)
                return columns.Definitions()[size_t(s.ColumnIndex)].Width;
        return 0;
    };
    int total = 0;
    for (int c : shown(columns))
        total += columns.Definitions()[size_t(c)].Width;

    const int leftOfFirst = columns.ColumnSlotAtX(-20, widthOf);
    EXPECT_EQ(leftOfFirst, columns.UsedSlotCount() - 1);
    EXPECT_TRUE(columns.MoveColumnSlot(0, leftOfFirst));
    EXPECT_EQ(shown(columns), (std::vector<int>{2, 3, 4, 8, 1}));

    columns.ApplyColumnSlots();
    const int beyondLast = columns.ColumnSlotAtX(total + 50, widthOf);
    EXPECT_EQ(beyondLast, columns.UsedSlotCount() - 1);
    EXPECT_TRUE(columns.MoveColumnSlot(1, beyondLast));
    EXPECT_EQ(shown(columns), (std::vector<int>{2, 4, 8, 1, 3}));

    // A target past the shown columns (but inside the list) means the last one as well.
    EXPECT_TRUE(columns.MoveColumnSlot(0, columns.UsedSlotCount() + 1));
    EXPECT_EQ(shown(columns), (std::vector<int>{4, 8, 1, 3, 2}));
}

TEST(ColumnSlotAtX, FindsTheSlotUnderX) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    showColumns(columns, {4, 0, 7});
    columns.ApplyColumnSlots();
    const int widths[] = {30, 50, 20}; // by list column
    const auto widthOf = [&](int listColumn) { return widths[listColumn]; };

    EXPECT_EQ(columns.ColumnSlotAtX(0, widthOf), 0);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0], widthOf), 0); // the right edge still belongs
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0] + 1, widthOf), 1);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0] + widths[1], widthOf), 1);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0] + widths[1] + 1, widthOf), 2);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0] + widths[1] + widths[2], widthOf), 2);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[0] + widths[1] + widths[2] + 1, widthOf), 2);
    EXPECT_EQ(columns.ColumnSlotAtX(-1, widthOf), 2);

    // The width asked for is the one of the slot's list column, not of the slot number.
    std::swap(columns.Slots()[0].ListColumn, columns.Slots()[1].ListColumn);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[1], widthOf), 0);
    EXPECT_EQ(columns.ColumnSlotAtX(widths[1] + 1, widthOf), 1);

    // Huge widths must not wrap the running edge around.
    const auto huge = [](int) { return 2'000'000'000; };
    EXPECT_EQ(columns.ColumnSlotAtX(2'100'000'000, huge), 1);
}

TEST(ColumnSlotAtX, NoShownColumns) {
    CListColumns columns(InvoiceItemColumnSet(), 2);
    const auto widthOf = [](int) { return 40; };
    EXPECT_EQ(columns.ColumnSlotAtX(0, widthOf), -1);
    EXPECT_EQ(columns.ColumnSlotAtX(100, widthOf), -1);
}
