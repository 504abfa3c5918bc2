// A store's item list on real windows: item commands, find, copy and move, mass updates.
#include "listharness.h"

#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/schema.h"
#include "stores/storelistctrl.h"
#include "userinput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QVariantHash Item(int id, const QString& code, const QString& description, double base = 0.0) {
    return {{QStringLiteral("ID"), id},
            {QStringLiteral("ItemCode"), code},
            {QStringLiteral("Description"), description},
            {QStringLiteral("DiscountGrpName"), QStringLiteral("default")},
            {QStringLiteral("BaseLinePrice"), base},
            {QStringLiteral("DiscountPrice"), base},
            {QStringLiteral("MarkupPrice"), base}};
}

std::function<int(QDialog&)> FillItem(const QString& code, const QString& description, const QString& base) {
    return [=](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Item Info Dialog"));
        dlg.show();
        dlg.findChild<QLineEdit*>(QStringLiteral("editItemCode"))->setText(code);
        dlg.findChild<QLineEdit*>(QStringLiteral("editDescription"))->setText(description);
        if (!base.isEmpty()) {
            auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("editBasePrice"));
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, base);
            dlg.findChild<QLineEdit*>(QStringLiteral("editDescription"))->setFocus();
        }
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    };
}

class StoreItems : public ::testing::Test {
protected:
    ListHarness h;
    CStoreListCtrl* list = nullptr;

    void SetUp() override {
        h.NewProject();
        list = h.stores->CurrentStoreList();
        ASSERT_NE(list, nullptr);
    }
    void AddRows(CStoreListCtrl* l, int firstID, const QStringList& codes) {
        int id = firstID;
        for (const QString& c : codes) l->Table().AddRow(Item(id++, c, c + QStringLiteral(" item"), 2.0));
        l->RefreshListCtrlFromRecordset();
    }
    QStringList Codes(CStoreListCtrl* l) const {
        QStringList c;
        for (int r = 0; r < l->GetItemCount(); ++r) c << l->GetItemText(r, 0);
        return c;
    }
    int Stored(int storeID) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [StoreItems_%1]").arg(storeID));
        return int(rs.recordCount());
    }
    CStoreListCtrl* AddSecondStore() {
        h.prompter.ExpectDialog([](QDialog& d) {
            d.show();
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
            return d.result();
        });
        h.stores->OnEditAddItem();
        return h.stores->GetPtrStoreLC(1);
    }
};

TEST_F(StoreItems, AddingAnItemThroughItsDialog) {
    h.prompter.ExpectDialog(FillItem(QStringLiteral("A-1"), QString(), QStringLiteral("3.5")));
    list->OnEditAddItem();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("A-1"));
    EXPECT_EQ(list->GetItemText(0, 3), QStringLiteral("$    3.50")); // "Base Price"
    EXPECT_EQ(h.doc.GetHighWaterStoreItemsID(), 2);
    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [StoreItems_1]"));
    EXPECT_EQ(rs.textValue(QStringLiteral("Description")), QStringLiteral(" "));
    EXPECT_EQ(rs.intValue(QStringLiteral("ID")), 1);

    h.prompter.ExpectDialog([](QDialog&) { return int(QDialog::Rejected); });
    list->OnEditAddItem();
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(h.doc.GetHighWaterStoreItemsID(), 2);
}

TEST_F(StoreItems, CellFormats) {
    QVariantHash row = Item(1, QStringLiteral("X"), QStringLiteral("x"), 3.5);
    row.insert(QStringLiteral("DiscountPercent"), 0.125);
    row.insert(QStringLiteral("ShipPounds"), 2.0);
    list->Table().AddRow(row);
    row = Item(2, QStringLiteral("Y"), QStringLiteral("y"));
    list->Table().AddRow(row);
    for (int c : {3}) list->OnContextSelection(kColumnMenuFirstID + c); // show "Grp"
    list->RefreshListCtrlFromRecordset();
    // Slots: Code, Item Description, Container, Base Price, Dscnt%, Dscnt Price, Ship Weight, Grp
    EXPECT_EQ(list->GetItemText(0, 4), QStringLiteral("12.50%"));
    EXPECT_EQ(list->GetItemText(0, 6), QStringLiteral("  2.0 lb"));
    EXPECT_EQ(list->GetItemText(0, 7), QStringLiteral("<none>"));
    EXPECT_EQ(list->GetItemText(1, 7), QStringLiteral("default"));
}

TEST_F(StoreItems, DeletingMakesTheItemBeforeCurrent) {
    AddRows(list, 1, {"a", "b", "c"});
    list->SelectOnly(1);
    h.prompter.Expect(QStringLiteral("Delete Store Item Record?"), CPrompter::Answer::Yes);
    list->OnEditDelItem();
    EXPECT_EQ(Codes(list), (QStringList{"a", "c"}));
    EXPECT_EQ(list->GetCurrentID(), 1);
    list->SelectOnly(0);
    h.prompter.Expect(QStringLiteral("Delete Store Item Record?"), CPrompter::Answer::Yes);
    list->OnEditDelItem();
    EXPECT_EQ(Codes(list), QStringList{"c"});
    EXPECT_EQ(list->GetCurrentID(), 3);
    EXPECT_EQ(Stored(1), 1);
}

TEST_F(StoreItems, DeletingSeveralAsksOnce) {
    AddRows(list, 1, {"a", "b", "c", "d"});
    list->SelectOnly(1);
    list->ClickRow(3, Qt::ShiftModifier);
    h.prompter.Expect(QStringLiteral("Delete all selected records?"), CPrompter::Answer::Yes);
    list->OnEditDelItem();
    EXPECT_EQ(Codes(list), QStringList{"a"});
    EXPECT_EQ(Stored(1), 1);
    EXPECT_TRUE(h.prompter.AllAnswered());
}

TEST_F(StoreItems, FindIgnoresLetterCaseAndSkipsTheCurrentItem) {
    AddRows(list, 1, {"apple", "Pear", "plum", "PEACH"});
    list->SelectOnly(0);
    EXPECT_TRUE(list->OnFindItem(QStringLiteral("PEAR")));
    EXPECT_EQ(list->GetCurrentID(), 2);
    EXPECT_TRUE(list->OnFindItem(QStringLiteral("pea"))); // the next match after "Pear"
    EXPECT_EQ(list->GetCurrentID(), 4);
    EXPECT_TRUE(list->OnFindItem(QStringLiteral("pea"))); // wraps round
    EXPECT_EQ(list->GetCurrentID(), 2);
    EXPECT_FALSE(list->OnFindItem(QStringLiteral("pear"))); // only the current item holds it
    EXPECT_EQ(list->GetCurrentID(), 2);
    EXPECT_FALSE(list->OnFindItem(QStringLiteral("kiwi")));
    EXPECT_EQ(list->GetStoreItemIDFromItemCode(QStringLiteral("plum")), 3);
    EXPECT_EQ(list->GetStoreItemIDFromItemCode(QStringLiteral("Plum")), -1);
}

TEST_F(StoreItems, UnderlinesMarkTheSelection) {
    AddRows(list, 1, {"a", "b", "c"});
    list->SelectOnly(0);
    list->ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(list->UnderlineColor(1), QColor(0, 0, 255));   // the current row
    EXPECT_EQ(list->UnderlineColor(0), QColor(160, 160, 255)); // another selected row
    EXPECT_EQ(list->UnderlineColor(2), QColor(Qt::white));
}

TEST_F(StoreItems, CopyingGivesNewIdentifiersAndMovingKeepsThem) {
    AddRows(list, 1, {"a", "b", "c"});
    h.doc.SetCounter(CQuorvaneDoc::StoreItemsID, 4);
    CStoreListCtrl* second = AddSecondStore();
    ASSERT_NE(second, nullptr);
    list->SelectOnly(0);
    list->ClickRow(1, Qt::ShiftModifier);
    h.stores->OnEditCopyStoreItem(false);
    EXPECT_EQ(Codes(second), (QStringList{"a", "b"}));
    EXPECT_EQ(second->GetItemID(0), 4);
    EXPECT_EQ(second->GetItemID(1), 5);
    EXPECT_EQ(h.doc.GetHighWaterStoreItemsID(), 6);
    EXPECT_EQ(Codes(list), (QStringList{"a", "b", "c"}));

    list->SelectOnly(2);
    h.stores->OnEditCopyStoreItem(true);
    EXPECT_EQ(Codes(list), (QStringList{"a", "b"}));
    EXPECT_EQ(Codes(second), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(second->GetItemID(2), 3);
    EXPECT_EQ(Stored(1), 2);
    EXPECT_EQ(Stored(2), 3);
    EXPECT_EQ(h.doc.GetHighWaterStoreItemsID(), 6);
}

TEST_F(StoreItems, DiscountTableChangesReachEveryItem) {
    CLookupTable* lookup = h.doc.GetPtrLookupTable();
    const int bulk = lookup->AddItem(1, QStringLiteral("bulk"), 0.10);
    ASSERT_NE(bulk, -1);
    QVariantHash a = Item(1, QStringLiteral("A"), QStringLiteral("a"), 20.0);
    a.insert(QStringLiteral("DiscountGrpName"), QStringLiteral("bulk"));
    a.insert(QStringLiteral("MarkupPercent"), 0.5);
    list->Table().AddRow(a);
    QVariantHash b = Item(2, QStringLiteral("B"), QStringLiteral("b"), 9.999);
    b.insert(QStringLiteral("DiscountGrpName"), QStringLiteral("Bulk")); // not in the table: other case
    b.insert(QStringLiteral("DiscountPercent"), 0.3);
    list->Table().AddRow(b);
    list->RefreshListCtrlFromRecordset();
    h.stores->UpdateAllStoresFromDiscountTable();

    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [StoreItems_1]"));
    rs.moveFirst();
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("DiscountPrice")), 18.0);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("MarkupPrice")), 27.0);
    rs.moveNext();
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("DiscountPercent")), 0.0);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("DiscountPrice")), 10.0); // base rounded to cents
}

TEST_F(StoreItems, ContainerListChangesTakeTheListsSpelling) {
    h.doc.GetPtrContainers()->AddItem(2, QStringLiteral("Crate"));
    QVariantHash a = Item(1, QStringLiteral("A"), QStringLiteral("a"));
    a.insert(QStringLiteral("ContainerType"), QStringLiteral("BOX"));
    list->Table().AddRow(a);
    QVariantHash b = Item(2, QStringLiteral("B"), QStringLiteral("b"));
    b.insert(QStringLiteral("ContainerType"), QStringLiteral("sack"));
    list->Table().AddRow(b);
    QVariantHash c = Item(3, QStringLiteral("C"), QStringLiteral("c"));
    c.insert(QStringLiteral("ContainerType"), QStringLiteral("crate"));
    list->Table().AddRow(c);
    list->RefreshListCtrlFromRecordset();
    h.stores->UpdateAllStoresFromContainerList();
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral("box"));
    EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral(" "));
    EXPECT_EQ(list->GetItemText(2, 2), QStringLiteral("Crate"));
    list->ResetAllContainerNames();
    list->RefreshListCtrlFromRecordset();
    for (int r = 0; r < 3; ++r) EXPECT_EQ(list->GetItemText(r, 2), QStringLiteral(" "));
}

} // namespace

namespace {

TEST_F(StoreItems, ChangingADiscountInTheDialogReachesTheStoresItems) {
    list->Table().AddRow(Item(1, QStringLiteral("A"), QStringLiteral("a"), 20.0));
    list->RefreshListCtrlFromRecordset();
    h.prompter.ExpectDialog([](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Discount Table Dialog"));
        dlg.show();
        auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("editName"));
        auto* percent = dlg.findChild<QLineEdit*>(QStringLiteral("editPercent"));
        name->setText(QStringLiteral("DEFAULT"));
        percent->setFocus();
        percent->selectAll();
        QTest::keyClicks(percent, QStringLiteral("10"));
        name->setFocus();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("buttonAdd")), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    });
    h.stores->ShowDiscountsDlg();
    EXPECT_TRUE(h.prompter.AllAnswered());
    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [StoreItems_1]"));
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("DiscountPercent")), 0.10);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("DiscountPrice")), 18.0);
    // The shared lookup table is filtered to the current store's table again.
    int id = 0;
    QString entry;
    double value = 0.0;
    ASSERT_TRUE(h.doc.GetPtrLookupTable()->GetFirst(id, entry, value));
    EXPECT_EQ(entry, QStringLiteral("default"));
}

} // namespace

namespace {

TEST_F(StoreItems, AMoveTellsTheInvoiceLinesOnceItIsOver) {
    AddRows(list, 1, {"a", "b"});
    AddSecondStore();
    QSignalSpy posted(h.stores, &CStoreTabCtrl::refreshItemPointersRequested);
    list->SelectOnly(0);
    h.stores->OnEditCopyStoreItem(false);
    QApplication::processEvents();
    EXPECT_EQ(posted.count(), 0); // a copy leaves the lines alone
    h.stores->OnEditCopyStoreItem(true);
    EXPECT_EQ(posted.count(), 0); // posted, not sent
    QApplication::processEvents();
    EXPECT_EQ(posted.count(), 1);
}

} // namespace

namespace {

TEST_F(StoreItems, EditingSeveralItemsRecomputesTheirPrices) {
    AddRows(list, 1, {"a", "b", "c"});
    list->SelectOnly(0);
    list->ClickRow(1, Qt::ShiftModifier);
    h.prompter.ExpectDialog([](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Items: Multi-Edit Dialog"));
        dlg.show();
        dlg.findChild<QCheckBox*>(QStringLiteral("checkBasePrice"))->setChecked(true);
        auto* base = dlg.findChild<QLineEdit*>(QStringLiteral("editBasePrice"));
        QApplication::setActiveWindow(&dlg);
        base->setFocus();
        base->selectAll();
        QTest::keyClicks(base, QStringLiteral("10")); // typed, as a person would
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    });
    list->OnEditItem();
    EXPECT_TRUE(h.prompter.AllAnswered());
    EXPECT_EQ(list->GetItemText(0, 3), QStringLiteral("$   10.00"));
    EXPECT_EQ(list->GetItemText(1, 5), QStringLiteral("$   10.00")); // discount price follows at 0 %
    EXPECT_EQ(list->GetItemText(2, 3), QStringLiteral("$    2.00")); // not selected
}

} // namespace

namespace {

// The item as the project file holds it.
CStoreItemRecord StoredItem(CQuorvaneDoc& doc, int storeID, int id) {
    db::Recordset rs(*doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [StoreItems_%1]").arg(storeID));
    CStoreItemRecord r;
    if (rs.findFirst(QStringLiteral("ID = %1").arg(id))) CStoreListCtrl::XferRecordsetToDlg(rs, r);
    return r;
}

// Changes one entry of the discount table the dialog opens on, as the user does.
std::function<int(QDialog&)> ChangeDiscountEntry(const QString& name, const QString& percent) {
    return [=](QDialog& dlg) {
        EXPECT_TRUE(Open(dlg));
        EnterAndType(Find<QLineEdit>(dlg, "editName"), name);
        EnterAndType(Find<QLineEdit>(dlg, "editPercent"), percent);
        Click(Find<QPushButton>(dlg, "buttonAdd"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        return dlg.result();
    };
}

TEST_F(StoreItems, TypedPricesKeepTheirPercentsAndTableChangesReachOnlyTheirItems) {
    CLookupTable* lookup = h.doc.GetPtrLookupTable();
    ASSERT_NE(lookup->AddItem(1, QStringLiteral("retail"), 0.10), -1);
    ASSERT_NE(lookup->AddItem(1, QStringLiteral("bulk"), 0.20), -1);
    h.stores->RequeryLookupTable();
    QVariantHash a = Item(1, QStringLiteral("A"), QStringLiteral("a"), 20.0);
    a.insert(QStringLiteral("DiscountGrpName"), QStringLiteral("retail"));
    a.insert(QStringLiteral("DiscountPercent"), 0.10);
    a.insert(QStringLiteral("DiscountPrice"), 18.0);
    a.insert(QStringLiteral("MarkupPrice"), 18.0);
    list->Table().AddRow(a);
    QVariantHash b = Item(2, QStringLiteral("B"), QStringLiteral("b"), 10.0);
    b.insert(QStringLiteral("DiscountGrpName"), QStringLiteral("bulk"));
    b.insert(QStringLiteral("DiscountPercent"), 0.20);
    b.insert(QStringLiteral("DiscountPrice"), 8.0);
    b.insert(QStringLiteral("MarkupPrice"), 8.0);
    list->Table().AddRow(b);
    list->RefreshListCtrlFromRecordset();

    // The user types A's discount and markup prices.
    list->SelectOnly(0);
    h.prompter.ExpectDialog([](QDialog& dlg) {
        EXPECT_TRUE(Open(dlg));
        TypeAndLeave(Find<QLineEdit>(dlg, "editDiscountPrice"), QStringLiteral("15"));
        TypeAndLeave(Find<QLineEdit>(dlg, "editMarkupPrice"), QStringLiteral("30"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        return dlg.result();
    });
    list->OnEditItem();
    ASSERT_TRUE(h.prompter.AllAnswered());
    CStoreItemRecord stored = StoredItem(h.doc, 1, 1);
    EXPECT_EQ(stored.DiscountPrice, 15.0);
    EXPECT_DOUBLE_EQ(stored.DiscountPercent, 0.25);
    EXPECT_EQ(stored.MarkupPrice, 30.0);
    EXPECT_DOUBLE_EQ(stored.MarkupPercent, 1.0);

    // A second store on a table of its own: changing that table leaves the first store alone.
    const int wholesale = h.doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
    ASSERT_NE(lookup->AddItem(wholesale, QStringLiteral("default"), 0.0), -1);
    ASSERT_NE(AddSecondStore(), nullptr);
    h.stores->TabBar()->setCurrentIndex(1);
    h.stores->SetStoreDiscTableIndex(wholesale);
    h.prompter.ExpectDialog(ChangeDiscountEntry(QStringLiteral("default"), QStringLiteral("5")));
    h.stores->ShowDiscountsDlg();
    ASSERT_TRUE(h.prompter.AllAnswered());
    stored = StoredItem(h.doc, 1, 1);
    EXPECT_EQ(stored.DiscountPrice, 15.0);
    EXPECT_EQ(stored.MarkupPrice, 30.0);

    // On the first store's table, a changed group reaches its items and no others.
    h.stores->TabBar()->setCurrentIndex(0);
    h.prompter.ExpectDialog(ChangeDiscountEntry(QStringLiteral("bulk"), QStringLiteral("30")));
    h.stores->ShowDiscountsDlg();
    ASSERT_TRUE(h.prompter.AllAnswered());
    const CStoreItemRecord itemB = StoredItem(h.doc, 1, 2);
    EXPECT_DOUBLE_EQ(itemB.DiscountPercent, 0.30);
    EXPECT_DOUBLE_EQ(itemB.DiscountPrice, 7.0);
    stored = StoredItem(h.doc, 1, 1);
    EXPECT_EQ(stored.DiscountPrice, 15.0);
    EXPECT_DOUBLE_EQ(stored.DiscountPercent, 0.25);
    EXPECT_EQ(stored.MarkupPrice, 30.0);
    EXPECT_EQ(list->GetItemText(1, 5), QStringLiteral("$    7.00"));
}

TEST_F(StoreItems, AnItemTheEngineRefusesToStoreIsReportedToTheUser) {
    // A container name longer than an item's field, as an older file may hold.
    const QString longName(60, QLatin1Char('c'));
    h.doc.GetPtrContainers()->AddItem(h.doc.GetDefaultContainerID(), longName);
    h.stores->RequeryContainerList();
    const QString one = QStringLiteral("The store item could not be stored.\n");
    const QString two = QStringLiteral("2 store items could not be stored.\n");

    h.prompter.ExpectDialog([&](QDialog& dlg) {
        EXPECT_TRUE(Open(dlg));
        EnterAndType(Find<QLineEdit>(dlg, "editItemCode"), QStringLiteral("LONG"));
        auto* combo = Find<QComboBox>(dlg, "comboContainer");
        Enter(combo);
        Key(Qt::Key_End);
        EXPECT_EQ(combo->currentText(), longName);
        Key(Qt::Key_Return, Qt::ControlModifier);
        return dlg.result();
    });
    list->OnEditAddItem();
    ASSERT_EQ(h.prompter.m_shown.size(), 1);
    EXPECT_TRUE(h.prompter.m_shown[0].startsWith(one)) << h.prompter.m_shown[0].toStdString();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(Stored(1), 0);
    EXPECT_EQ(h.doc.GetHighWaterStoreItemsID(), 1);

    // The same container for two items at once: one message for both.
    AddRows(list, 1, {"a", "b"});
    list->SelectOnly(0);
    list->ClickRow(1, Qt::ShiftModifier);
    h.prompter.ExpectDialog([&](QDialog& dlg) {
        EXPECT_TRUE(Open(dlg));
        Click(Find<QCheckBox>(dlg, "checkChangeContainer"));
        Enter(Find<QComboBox>(dlg, "comboContainer"));
        Key(Qt::Key_End);
        Key(Qt::Key_Return, Qt::ControlModifier);
        return dlg.result();
    });
    list->OnEditItem();
    ASSERT_EQ(h.prompter.m_shown.size(), 2);
    EXPECT_TRUE(h.prompter.m_shown[1].startsWith(two)) << h.prompter.m_shown[1].toStdString();
    EXPECT_EQ(StoredItem(h.doc, 1, 1).ContainerType, QStringLiteral(" "));
    EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral(" "));
}

TEST_F(StoreItems, ACopyOrMoveTheEngineRefusesIsReportedAndChangesNothing) {
    AddRows(list, 1, {"a"});
    QVariantHash b = Item(2, QStringLiteral("b"), QStringLiteral("b item"));
    b.insert(QStringLiteral("ContainerType"), QStringLiteral("bottle"));
    list->Table().AddRow(b);
    ASSERT_NE(AddSecondStore(), nullptr);
    const QString path = h.doc.GetPathName();
    h.doc.OnFileCloseProject();
    {
        // The second store's table as another program left it, with a narrower container field.
        db::Database database;
        database.open(path);
        db::TableDef narrow = schema::StoreItems(2);
        for (db::FieldDef& f : narrow.fields)
            if (f.name == QLatin1String("ContainerType")) f.size = 3;
        database.exec(QStringLiteral("DROP TABLE [StoreItems_2]"));
        database.createTable(narrow);
    }
    ASSERT_TRUE(h.doc.OpenProject(path));
    list = h.stores->CurrentStoreList();
    CStoreListCtrl* second = h.stores->GetPtrStoreLC(1);
    ASSERT_TRUE(list && second);
    for (bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        h.prompter.m_shown.clear();
        list->SelectOnly(1);
        if (!move) list->ClickRow(0, Qt::ShiftModifier); // the copy fails on its second item
        h.stores->OnEditCopyStoreItem(move);
        ASSERT_EQ(h.prompter.m_shown.size(), 1);
        EXPECT_TRUE(h.prompter.m_shown[0].startsWith(move ? QStringLiteral("The store items could not be moved.\n")
                                                          : QStringLiteral("The store items could not be copied.\n")))
            << h.prompter.m_shown[0].toStdString();
        EXPECT_EQ(Codes(list), (QStringList{"a", "b"}));
        EXPECT_EQ(Codes(second), QStringList{});
        EXPECT_EQ(Stored(1), 2);
        EXPECT_EQ(Stored(2), 0);
    }
}

} // namespace
