// The store tabs on real windows: the first store, adding, editing and deleting stores.
#include "listharness.h"

#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "stores/storelistctrl.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

std::function<int(QDialog&)> AcceptStore(const QString& tabName = QString(), bool clearTab = false) {
    return [=](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Info Dialog"));
        dlg.show();
        auto* tab = dlg.findChild<QLineEdit*>(QStringLiteral("editStoreTabName"));
        if (clearTab) tab->clear();
        if (!tabName.isEmpty()) tab->setText(tabName);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    };
}

class StoreTabs : public ::testing::Test {
protected:
    ListHarness h;
    void SetUp() override { h.NewProject(); }

    int StoredStores() {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Store]"));
        return int(rs.recordCount());
    }
};

TEST_F(StoreTabs, ANewProjectShowsOneTabWithoutAnyDialog) {
    EXPECT_EQ(h.stores->TabBar()->count(), 1);
    EXPECT_EQ(h.stores->TabBar()->tabText(0), QStringLiteral("Store 1"));
    EXPECT_TRUE(h.prompter.m_shown.isEmpty());
    EXPECT_TRUE(h.stores->CanEdit());
    ASSERT_NE(h.stores->CurrentStoreList(), nullptr);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), 1);
    EXPECT_DOUBLE_EQ(h.stores->GetStoreShippingCost(), 0.01);
    EXPECT_EQ(h.stores->GetStoreDiscTableIndex(), 1);
    EXPECT_EQ(h.stores->GetStoreContainerIndex(), 2);
    EXPECT_FALSE(h.stores->IsTrackingStockQty());
    // The store's list shows its default columns.
    CStoreListCtrl* list = h.stores->CurrentStoreList();
    QStringList titles;
    for (int c = 0; c < list->Model()->columnCount(); ++c)
        titles << list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, (QStringList{"Code", "Item Description", "Container", "Base Price", "Dscnt%", "Dscnt Price",
                                   "Ship Weight"}));
}

TEST_F(StoreTabs, AddingAStoreShowsTheDialogAndCancelAddsNothing) {
    h.prompter.ExpectDialog([](QDialog& dlg) {
        EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("editStoreTabName"))->text(), QStringLiteral("Store 2"));
        return int(QDialog::Rejected);
    });
    h.stores->OnEditAddItem();
    EXPECT_EQ(h.stores->TabBar()->count(), 1);
    EXPECT_EQ(h.doc.GetHighWaterStoreID(), 2);
    EXPECT_EQ(StoredStores(), 1);

    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Farm shop")));
    h.stores->OnEditAddItem();
    ASSERT_EQ(h.stores->TabBar()->count(), 2);
    EXPECT_EQ(h.stores->TabBar()->tabText(1), QStringLiteral("Farm shop"));
    EXPECT_EQ(h.stores->GetStoreIDFromIndex(1), 2);
    EXPECT_EQ(h.doc.GetHighWaterStoreID(), 3);
    EXPECT_EQ(h.stores->GetCurrentStoreIndex(), 0); // the selection stays where it was
    EXPECT_TRUE(h.doc.GetPtrDatabase()->hasTable(QStringLiteral("StoreItems_2")));
    EXPECT_EQ(h.stores->GetStoreNameFromID(2), QStringLiteral("Farm shop"));
    EXPECT_EQ(h.stores->GetStoreNameFromID(42), QStringLiteral(" "));
}

TEST_F(StoreTabs, DeletingAStoreAsksAndLeavesTheFirstStoreCurrent) {
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Second")));
    h.stores->OnEditAddItem();
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Third")));
    h.stores->OnEditAddItem();
    h.stores->TabBar()->setCurrentIndex(2);
    EXPECT_EQ(h.stores->GetCurrentStoreIndex(), 2);

    h.prompter.Expect(QStringLiteral("Delete Store Record?"), CPrompter::Answer::No);
    h.stores->OnEditDelItem();
    EXPECT_EQ(h.stores->TabBar()->count(), 3);

    h.prompter.Expect(QStringLiteral("Delete Store Record?"), CPrompter::Answer::Yes);
    h.stores->OnEditDelItem();
    ASSERT_EQ(h.stores->TabBar()->count(), 2);
    EXPECT_EQ(StoredStores(), 2);
    EXPECT_EQ(h.stores->GetCurrentStoreIndex(), 0);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), 1);
    EXPECT_TRUE(h.stores->CurrentStoreList()->isVisibleTo(&h.window));
    EXPECT_TRUE(h.prompter.AllAnswered());
}

TEST_F(StoreTabs, AClearedTabNameIsStoredAsABlank) {
    h.prompter.ExpectDialog(AcceptStore(QString(), true));
    h.stores->OnEditItem();
    EXPECT_EQ(h.stores->TabBar()->tabText(0), QStringLiteral(" "));
    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Store]"));
    EXPECT_EQ(rs.textValue(QStringLiteral("StoreTabName")), QStringLiteral(" "));
}

TEST_F(StoreTabs, SelectingATabRetargetsTheDiscountTableAndContainerList) {
    // A second discount table and container list for a second store.
    const int table = h.doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
    h.doc.GetPtrLookupTable()->AddItem(table, QStringLiteral("bulk"), 0.2);
    const int list = h.doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Crates"));
    h.doc.GetPtrContainers()->AddItem(list, QStringLiteral("crate"));
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Second")));
    h.stores->OnEditAddItem();
    h.stores->TabBar()->setCurrentIndex(1);
    h.stores->SetStoreDiscTableIndex(table);
    h.stores->SetStoreContainerIndex(list);
    h.stores->TabBar()->setCurrentIndex(0);
    h.stores->TabBar()->setCurrentIndex(1);

    int id = 0;
    QString name;
    double value = 0;
    ASSERT_TRUE(h.doc.GetPtrLookupTable()->GetFirst(id, name, value));
    EXPECT_EQ(name, QStringLiteral("bulk"));
    ASSERT_TRUE(h.doc.GetPtrContainers()->GetFirst(id, name));
    EXPECT_EQ(name, QStringLiteral("crate"));

    h.stores->TabBar()->setCurrentIndex(0);
    ASSERT_TRUE(h.doc.GetPtrLookupTable()->GetFirst(id, name, value));
    EXPECT_EQ(name, QStringLiteral("default"));
}

TEST_F(StoreTabs, ChangingAStoresContainerListAsksWhenItHasItemsAndResetsThem) {
    CStoreListCtrl* items = h.stores->CurrentStoreList();
    items->Table().AddRow({{QStringLiteral("ID"), 1}, {QStringLiteral("ItemCode"), QStringLiteral("A1")},
                           {QStringLiteral("ContainerType"), QStringLiteral("box")}});
    items->RefreshListCtrlFromRecordset();
    const int list = h.doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Crates"));
    const QString warning = QStringLiteral("WARNING: This will reset the container name\nof all store items!\nContinue?");
    h.prompter.ExpectDialog([&](QDialog& dlg) {
        dlg.show();
        auto* combo = dlg.findChild<QComboBox*>(QStringLiteral("comboContainerList"));
        combo->setFocus();
        while (combo->currentData().toInt() != list && combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down); // chosen as a person would
        EXPECT_EQ(combo->currentData().toInt(), list);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    });
    h.prompter.Expect(warning, CPrompter::Answer::Yes);
    h.stores->OnEditItem();
    EXPECT_TRUE(h.prompter.AllAnswered());
    EXPECT_EQ(h.stores->GetStoreContainerIndex(), list);
    ASSERT_EQ(items->GetItemCount(), 1);
    EXPECT_EQ(items->GetItemText(0, 2), QStringLiteral(" "));
}

TEST_F(StoreTabs, AStoreWhoseListCannotBeLoadedLeavesNoTabBehind) {
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Second")));
    h.stores->OnEditAddItem();
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Third")));
    h.stores->OnEditAddItem();
    const QString path = h.doc.GetPathName();
    h.doc.OnFileCloseProject();
    {
        db::Database database; // the third store's item table is gone from the file
        database.open(path);
        database.exec(QStringLiteral("DROP TABLE [StoreItems_3]"));
    }
    h.prompter.Expect(QStringLiteral("Failed to create store list control!\n"));
    ASSERT_TRUE(h.doc.OpenProject(path));
    EXPECT_TRUE(h.prompter.AllAnswered());
    ASSERT_EQ(h.stores->TabBar()->count(), 2);
    EXPECT_EQ(h.stores->GetStoreCount(), 2);
    EXPECT_EQ(h.stores->GetPtrStoreLC(2), nullptr);

    // Every tab has its list: the last one can be shown and deleted.
    h.stores->TabBar()->setCurrentIndex(1);
    ASSERT_NE(h.stores->CurrentStoreList(), nullptr);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), 2);
    h.prompter.Expect(QStringLiteral("Delete Store Record?"), CPrompter::Answer::Yes);
    h.stores->OnEditDelItem();
    ASSERT_EQ(h.stores->TabBar()->count(), 1);
    EXPECT_EQ(h.stores->GetStoreCount(), 1);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), 1);
    EXPECT_TRUE(h.prompter.AllAnswered());
}

TEST_F(StoreTabs, BringingAStoreToTheFrontRetargetsTheDiscountTableAndContainerList) {
    const int table = h.doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
    h.doc.GetPtrLookupTable()->AddItem(table, QStringLiteral("bulk"), 0.2);
    const int list = h.doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Crates"));
    h.doc.GetPtrContainers()->AddItem(list, QStringLiteral("crate"));
    h.prompter.ExpectDialog(AcceptStore(QStringLiteral("Second")));
    h.stores->OnEditAddItem();
    h.stores->TabBar()->setCurrentIndex(1);
    h.stores->SetStoreDiscTableIndex(table);
    h.stores->SetStoreContainerIndex(list);
    h.stores->TabBar()->setCurrentIndex(0);

    const auto firstEntries = [&] {
        int id = 0;
        QString group, container;
        double value = 0;
        h.doc.GetPtrLookupTable()->GetFirst(id, group, value);
        h.doc.GetPtrContainers()->GetFirst(id, container);
        return QStringList{group, container};
    };
    h.stores->ShowStoreTabUsingID(2);
    EXPECT_EQ(h.stores->TabBar()->currentIndex(), 1);
    EXPECT_EQ(h.stores->GetCurrentStoreIndex(), 1);
    EXPECT_EQ(firstEntries(), (QStringList{"bulk", "crate"}));
    h.stores->ShowStoreTabUsingID(1);
    EXPECT_EQ(h.stores->TabBar()->currentIndex(), 0);
    EXPECT_EQ(firstEntries(), (QStringList{"default", "box"}));
}

} // namespace
