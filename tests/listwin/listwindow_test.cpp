// The behaviour all list windows share, on the customer list: selection, sorting, the column
// menu, header drag and width saving.
#include "listharness.h"

#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "stores/storelistctrl.h"
#include "trace/tracesink.h"

#include <QDialog>
#include <QHeaderView>
#include <QSignalSpy>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class ListWindow : public ::testing::Test {
protected:
    ListHarness h;
    void SetUp() override {
        h.NewProject();
        const char* names[] = {"delta", "alpha", "echo", "bravo", "charlie", "foxtrot"};
        for (int i = 0; i < 6; ++i)
            h.customers->Table().AddRow({{QStringLiteral("ID"), i + 1},
                                         {QStringLiteral("CustomerNbr"), i + 1},
                                         {QStringLiteral("Name"), QString::fromLatin1(names[i])}});
        h.customers->RefreshListCtrlFromRecordset();
        QApplication::processEvents();
    }
    QStringList Names() const {
        QStringList n;
        for (int r = 0; r < h.customers->GetItemCount(); ++r) n << h.customers->GetItemText(r, 0);
        return n;
    }
    QStringList Titles() const {
        QStringList t;
        for (int c = 0; c < h.customers->Model()->columnCount(); ++c)
            t << h.customers->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return t;
    }
    std::vector<int> Rows(std::initializer_list<int> r) { return r; }
    int StoredRowsOfGroup(int group) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [ColumnDefs]"));
        rs.setFilter(QStringLiteral("[Group] = %1").arg(group));
        rs.requery();
        return int(rs.recordCount());
    }
};

TEST_F(ListWindow, RefreshShowsEveryRowAndMakesTheFirstCurrent) {
    EXPECT_EQ(Names(), (QStringList{"delta", "alpha", "echo", "bravo", "charlie", "foxtrot"}));
    EXPECT_EQ(h.customers->GetCurrentRow(), 0);
    EXPECT_EQ(h.customers->GetCurrentID(), 1);
    EXPECT_EQ(h.customers->GetPtrRecordset()->intValue(QStringLiteral("ID")), 1);
}

TEST_F(ListWindow, ShiftCtrlAndPlainClicks) {
    h.customers->ClickRow(1, Qt::NoModifier);
    EXPECT_EQ(h.customers->GetCurrentRow(), 1);
    h.customers->ClickRow(4, Qt::ShiftModifier);
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({1, 2, 3, 4}));

    h.customers->ClickRow(2, Qt::ControlModifier); // selected, others too: deselects it
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({1, 3, 4}));
    h.customers->ClickRow(5, Qt::ControlModifier); // not selected: adds it
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({1, 3, 4, 5}));

    h.customers->ClickRow(0, Qt::NoModifier);
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({0}));
    h.customers->ClickRow(0, Qt::ControlModifier); // the only selected row stays selected
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({0}));
    EXPECT_EQ(h.customers->GetCurrentID(), 1);
}

TEST_F(ListWindow, RealMouseClicksFollowTheSameRules) {
    QWidget* vp = h.customers->viewport();
    const auto centre = [&](int row) { return h.customers->visualRect(h.customers->Model()->index(row, 0)).center(); };
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, centre(1));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, centre(3));
    EXPECT_EQ(h.customers->GetSelectedRows(), Rows({1, 2, 3}));
    EXPECT_EQ(h.customers->GetCurrentID(), h.customers->GetItemID(3));
}

TEST_F(ListWindow, SortingAlternatesAndKeepsTheCurrentRecord) {
    h.customers->ClickRow(2, Qt::NoModifier); // "echo"
    // First row "delta" is greater than the last "foxtrot"? No: "delta" < "foxtrot", so descending.
    h.customers->SortListByColumn(0);
    EXPECT_EQ(Names(), (QStringList{"foxtrot", "echo", "delta", "charlie", "bravo", "alpha"}));
    h.customers->SortListByColumn(0);
    EXPECT_EQ(Names(), (QStringList{"alpha", "bravo", "charlie", "delta", "echo", "foxtrot"}));
    h.customers->SortListByColumn(0);
    EXPECT_EQ(Names().first(), QStringLiteral("foxtrot"));
    EXPECT_EQ(h.customers->GetItemText(h.customers->GetCurrentRow(), 0), QStringLiteral("echo"));
    // Equal first and last texts sort ascending: every "Bus" cell is blank.
    h.customers->SortListByColumn(1);
    EXPECT_EQ(Names().first(), QStringLiteral("foxtrot")); // stable: the order is kept
}

TEST_F(ListWindow, TheColumnMenuTogglesColumnsAndSavesThem) {
    EXPECT_EQ(Titles(), (QStringList{"Name", "Bus", "Tax", "Grp", "Cnt", "BalanceDue"}));
    const auto menu = h.customers->ContextMenuItems();
    ASSERT_EQ(menu.size(), 22u); // 20 columns, a separator, "Refresh"
    EXPECT_EQ(menu[1].text, QStringLiteral("Customer name"));
    EXPECT_TRUE(menu[1].checked);
    EXPECT_FALSE(menu[0].checked);
    EXPECT_EQ(menu.back().text, QStringLiteral("Refresh"));
    EXPECT_EQ(menu.back().id, 45076);

    h.customers->OnContextSelection(kColumnMenuFirstID + 0); // show "Customer#"
    EXPECT_EQ(Titles().last(), QStringLiteral("Customer#"));
    EXPECT_EQ(h.customers->GetItemText(0, 6), QStringLiteral("1"));
    h.customers->OnContextSelection(kColumnMenuFirstID + 14); // hide "Bus"
    EXPECT_EQ(Titles(), (QStringList{"Name", "Tax", "Grp", "Cnt", "BalanceDue", "Customer#"}));
    EXPECT_EQ(h.customers->GetItemCount(), 6);

    // The layout is in the file: reopening shows it.
    const QString path = h.doc.GetPathName();
    EXPECT_EQ(StoredRowsOfGroup(0), 20);
    h.doc.OnFileCloseProject();
    ASSERT_TRUE(h.doc.OpenProject(path));
    EXPECT_EQ(Titles(), (QStringList{"Name", "Tax", "Grp", "Cnt", "BalanceDue", "Customer#"}));
    EXPECT_EQ(StoredRowsOfGroup(0), 20);
}

TEST_F(ListWindow, HidingEveryColumnStillLeavesAWorkingList) {
    for (int c : {1, 14, 15, 16, 10, 11}) h.customers->OnContextSelection(kColumnMenuFirstID + c);
    EXPECT_EQ(h.customers->Model()->columnCount(), 0);
    EXPECT_EQ(h.customers->GetItemCount(), 6);
    h.customers->OnContextSelection(kColumnMenuFirstID + 20); // "Refresh"
    h.customers->OnContextSelection(kColumnMenuFirstID + 4);
    EXPECT_EQ(Titles(), QStringList{QStringLiteral("City")});
}

TEST_F(ListWindow, DraggingAHeaderWithTheMouseMovesTheColumnIncludingTheFirst) {
    QHeaderView* header = h.customers->header();
    // The point inside a shown column, dx pixels from its left edge (-1: three quarters in).
    const auto at = [&](int visual, int dx = -1) {
        const int logical = header->logicalIndex(visual);
        const int left = header->sectionViewportPosition(logical);
        return QPoint(dx < 0 ? left + header->sectionSize(logical) * 3 / 4 : left + dx, header->height() / 2);
    };
    struct Case {
        const char* what;
        int from, to, toDx; // visual positions; toDx as for at()
        QStringList titles;
    };
    const Case cases[] = {
        {"the first column onto the fourth", 0, 3, -1, {"Bus", "Tax", "Grp", "Name", "Cnt", "BalanceDue"}},
        {"the second column before the first", 1, 0, 3, {"Tax", "Bus", "Grp", "Name", "Cnt", "BalanceDue"}},
        {"the fourth column back before the first", 3, 0, 3, {"Name", "Tax", "Bus", "Grp", "Cnt", "BalanceDue"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QPoint from = at(c.from);
        const QPoint to = at(c.to, c.toDx);
        QWidget* vp = header->viewport();
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
        for (int k = 1; k <= 4; ++k) QTest::mouseMove(vp, from + (to - from) * k / 4);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, to);
        QApplication::processEvents(); // the move is applied once the header is done with it
        EXPECT_EQ(Titles(), c.titles);
        // The rows follow their columns and were not sorted by the press.
        const int name = int(Titles().indexOf(QStringLiteral("Name")));
        EXPECT_EQ(h.customers->GetItemText(0, name), QStringLiteral("delta"));
    }
    EXPECT_EQ(h.customers->GetCustomerName(1), QStringLiteral("delta"));
}

TEST_F(ListWindow, WithEveryColumnHiddenMovingTheMouseLeavesTheCurrentRecordAlone) {
    h.customers->ClickRow(2, Qt::NoModifier);
    for (int c : {1, 14, 15, 16, 10, 11}) h.customers->OnContextSelection(kColumnMenuFirstID + c);
    ASSERT_EQ(h.customers->Model()->columnCount(), 0);
    const int current = h.customers->GetCurrentID();
    ASSERT_NE(current, -1);

    QSignalSpy activated(h.customers, &CListWindow::currentRecordChanged);
    QWidget* vp = h.customers->viewport();
    for (int k = 0; k < 5; ++k) {
        const QPointF p(20 + 10 * k, 10 + 15 * k);
        QMouseEvent move(QEvent::MouseMove, p, vp->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
    }
    EXPECT_EQ(activated.count(), 0);
    EXPECT_EQ(h.customers->GetCurrentID(), current);
    EXPECT_EQ(h.customers->GetPtrRecordset()->intValue(QStringLiteral("ID")), current);

    // A column shown again makes a list whose rows can be marked again.
    h.customers->OnContextSelection(kColumnMenuFirstID + 1);
    EXPECT_EQ(h.customers->GetSelectedCount(), 1);
    EXPECT_EQ(h.customers->GetItemID(h.customers->GetSelectedRows().front()), h.customers->GetCurrentID());
}

TEST_F(ListWindow, ARunOfWidthChangesIsSavedOnceAfterItEnds) {
    CDaoGroupedStringList* defs = h.doc.GetPtrColumnDefs();
    defs->ReQueryRecordsetUsingGroup(0);
    QHeaderView* header = h.customers->header();
    header->resizeSection(0, 150);
    header->resizeSection(1, 44);
    header->resizeSection(0, 160);
    QTest::qWait(350);
    int id = 0;
    QString row;
    bool found = false;
    defs->ReQueryRecordsetUsingGroup(0);
    for (bool ok = defs->GetFirst(id, row); ok; ok = defs->GetNext(id, row))
        if (row.startsWith(QLatin1String("   1 "))) {
            EXPECT_EQ(row.mid(75, 5).trimmed(), QStringLiteral("160"));
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST_F(ListWindow, MovingTheMouseOverAListGivesItTheFocus) {
    QApplication::setActiveWindow(&h.window);
    h.invoices->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(h.invoices->hasFocus());
    h.customers->ClearSelected();
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 10), h.customers->viewport()->mapToGlobal(QPointF(20, 10)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(h.customers->viewport(), &move);
    EXPECT_TRUE(h.customers->hasFocus());
    EXPECT_EQ(h.customers->GetSelectedCount(), 1); // the row under the focus is current again
}

TEST_F(ListWindow, NotificationsAreTracedBeforeTheyAreHandled) {
    CTraceSink sink;
    sink.SetTracing(true);
    SetTraceSink(&sink);
    struct Unhook {
        ~Unhook() { SetTraceSink(nullptr); }
    } unhook;
    const auto notified = [&](const char* id, const char* code) {
        const QRegularExpression line(QStringLiteral("^  CCustomerListCtrl::OnNotify wnd=[0-9a-f]+  ID=%1  Code=%2\n$")
                                          .arg(QLatin1String(id), QLatin1String(code)));
        return std::count_if(sink.Lines().begin(), sink.Lines().end(),
                             [&](const QString& l) { return line.match(l).hasMatch(); });
    };
    QHeaderView* header = h.customers->header();
    const QPoint title(header->sectionViewportPosition(0) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, title);
    EXPECT_EQ(notified("33100", "ffffff94"), 1); // the column click, from the list
    EXPECT_EQ(Names().first(), QStringLiteral("foxtrot")); // and then handled

    header->resizeSection(1, 60);
    EXPECT_EQ(notified("0", "fffffeba"), 1); // the end of a width change, from the header

    h.prompter.ExpectDialog([](QDialog&) { return int(QDialog::Rejected); });
    const QPoint row = h.customers->visualRect(h.customers->Model()->index(1, 0)).center();
    QTest::mouseDClick(h.customers->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    EXPECT_EQ(notified("33100", "fffffffd"), 1); // the double click, before the edit it runs
    EXPECT_TRUE(h.prompter.AllAnswered());
}

TEST_F(ListWindow, OpeningAProjectTracesTheRowCountsOfItsTables) {
    const QString path = h.doc.GetPathName();
    CStoreListCtrl* store = h.stores->CurrentStoreList();
    ASSERT_NE(store, nullptr);
    const QString table = store->Table().TableName();
    store->Table().AddRow({{QStringLiteral("ID"), 1}, {QStringLiteral("Description"), QStringLiteral("bolt")}});
    const int storeFields = int(store->Table().Definition().fields.size());
    const int customerFields = int(h.customers->Table().Definition().fields.size());
    h.doc.OnFileCloseProject();

    CTraceSink sink;
    sink.SetTracing(true);
    SetTraceSink(&sink);
    struct Unhook {
        ~Unhook() { SetTraceSink(nullptr); }
    } unhook;
    ASSERT_TRUE(h.doc.OpenProject(path));
    const QStringList lines(sink.Lines().begin(), sink.Lines().end());
    EXPECT_TRUE(lines.contains(QStringLiteral("  customer Count = 6  Fields = %1\n").arg(customerFields)));
    EXPECT_TRUE(lines.contains(QStringLiteral("  Item Count = 1  Fields = %1  Name %2\n").arg(storeFields).arg(table)))
        << lines.filter(QStringLiteral("Item Count")).join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("  Proj Count = 1  Fields = 6\n")));
}

} // namespace
