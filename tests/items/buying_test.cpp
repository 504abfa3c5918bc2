// Buying store items onto the current invoice with the Buy button and the keys, on real windows.
#include "itemshop.h"

#include "project/quorvanedoc.h"

namespace {

TEST(Buying, ThreeBuysFromAStockOfTwoLeaveOneUnitOnBackOrder) {
    ItemShop shop(true, 2);
    shop.AddInvoice(1);
    for (int i = 0; i < 3; ++i) shop.Buy(101);
    ASSERT_EQ(shop.Lines().size(), 1u);
    const StoredLine line = shop.LineOf(101);
    EXPECT_EQ(line.Quantity, 3);
    EXPECT_EQ(line.BackOrderCnt, 1);
    EXPECT_EQ(shop.Stock(101), 0);
    EXPECT_EQ(shop.h.items->GetItemCount(), 1);
    // Two units ship at $2.00 and 0.5 lb each; the back-ordered one counts for nothing.
    EXPECT_EQ(shop.InvoiceField(1, "ItemCount").toInt(), 1);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 4.0);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ShipWeight").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(shop.CustomerField("BalanceDue").toDouble(), shop.InvoiceField(1, "InvoiceTotal").toDouble());
    EXPECT_TRUE(shop.h.prompter.m_shown.isEmpty()) << shop.h.prompter.m_shown.join('|').toStdString();
}

// A tracked stock of 0 cannot ship even the first unit: it is on back order from the start.
TEST(Buying, FromATrackedStockOfNothingEveryUnitIsOnBackOrder) {
    ItemShop shop(true, 0);
    shop.AddInvoice(1);
    shop.Buy(102);
    EXPECT_EQ(shop.LineOf(102).Quantity, 1);
    EXPECT_EQ(shop.LineOf(102).BackOrderCnt, 1);
    shop.Buy(102);
    EXPECT_EQ(shop.LineOf(102).Quantity, 2);
    EXPECT_EQ(shop.LineOf(102).BackOrderCnt, 2);
    EXPECT_EQ(shop.Stock(102), 0);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 0.0);
    // Removing it gives back no unit: none was shipped.
    if (shop.h.doc.IsVerifyOn()) shop.h.doc.OnToggleVerifyDelete();
    shop.PressKey(shop.h.items, Qt::Key_Delete);
    EXPECT_TRUE(shop.Lines().empty());
    EXPECT_EQ(shop.Stock(102), 0);
}

TEST(Buying, AStoreThatDoesNotTrackStockNeverChangesItNorBackOrders) {
    ItemShop shop(false, 0);
    shop.AddInvoice(1);
    shop.Buy(101);
    shop.Buy(101);
    EXPECT_EQ(shop.LineOf(101).Quantity, 2);
    EXPECT_EQ(shop.LineOf(101).BackOrderCnt, 0);
    EXPECT_EQ(shop.Stock(101), 0);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 4.0);
}

TEST(Buying, ThreeSelectedRowsBuyThreeLinesTopToBottom) {
    ItemShop shop;
    shop.AddInvoice(1);
    shop.ClickItem(103);
    shop.ClickItem(101, Qt::ControlModifier);
    shop.ClickItem(102, Qt::ControlModifier);
    Click(shop.h.stores->BuyButton());
    const std::vector<StoredLine> lines = shop.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].StoreItemID, 101);
    EXPECT_EQ(lines[1].StoreItemID, 102);
    EXPECT_EQ(lines[2].StoreItemID, 103);
    for (int item : {101, 102, 103}) EXPECT_EQ(shop.Stock(item), 4);
    EXPECT_EQ(shop.InvoiceField(1, "ItemCount").toInt(), 3);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 9.0);
    // The store list's current item is still the one the user sees.
    EXPECT_EQ(shop.store->GetCurrentID(), 102);
}

TEST(Buying, EnterAndInsertBuyQuietlyTheButtonSaysWhenThereIsNoInvoice) {
    ItemShop shop;
    shop.h.invoices->ReQueryRecordsetUsingID(shop.customerID, true); // Alice has no invoice yet
    shop.ClickItem(101);
    shop.PressKey(shop.store, Qt::Key_Return);
    shop.PressKey(shop.store, Qt::Key_Insert);
    EXPECT_TRUE(shop.h.prompter.m_shown.isEmpty());
    shop.h.prompter.Expect(QStringLiteral("Create an invoice first!"));
    Click(shop.h.stores->BuyButton());
    EXPECT_TRUE(shop.h.prompter.AllAnswered());
    EXPECT_TRUE(shop.Lines().empty());

    shop.AddInvoice(1);
    shop.ClickItem(101);
    shop.PressKey(shop.store, Qt::Key_Return);
    shop.PressKey(shop.store, Qt::Key_Insert);
    shop.PressKey(shop.store, Qt::Key_Enter);
    EXPECT_EQ(shop.LineOf(101).Quantity, 3);
    EXPECT_EQ(shop.Stock(101), 2);
}

TEST(Buying, NothingIsBoughtOntoAGroupOrAClosedInvoice) {
    struct Case {
        const char* name;
        bool closed, group;
    };
    for (const Case& c : {Case{"closed", true, false}, Case{"group", false, true}}) {
        SCOPED_TRACE(c.name);
        ItemShop shop;
        shop.AddInvoice(1, 0, c.closed, c.group, c.group ? 1 : 0);
        shop.Buy(101);
        shop.PressKey(shop.store, Qt::Key_Insert);
        EXPECT_TRUE(shop.Lines().empty());
        EXPECT_EQ(shop.Stock(101), 5);
        EXPECT_TRUE(shop.h.prompter.m_shown.isEmpty());
    }
}

// Each table a Buy writes refuses the write in turn: the line, the stock, the invoice's and the
// customer's totals all stay as they were, and the refusal is shown once.
TEST(Buying, ABuyThatFailsAnywhereChangesNothing) {
    struct Case {
        const char* trigger;
    };
    const Case cases[] = {
        {"BEFORE INSERT ON [InvoiceItems]"},
        {"BEFORE UPDATE ON [StoreItems_%1]"},
        {"BEFORE UPDATE ON [Invoice]"},
        {"BEFORE UPDATE ON [Customer]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger);
        ItemShop shop;
        shop.AddInvoice(1);
        shop.Buy(102); // a first line, stored
        const double total = shop.InvoiceField(1, "InvoiceTotal").toDouble();
        const double balance = shop.CustomerField("BalanceDue").toDouble();
        shop.Exec(QStringLiteral("CREATE TRIGGER locked %1 BEGIN SELECT RAISE(ABORT, 'Row is locked'); END")
                      .arg(QString::fromLatin1(c.trigger).arg(shop.storeID)));
        shop.Buy(101);
        EXPECT_EQ(shop.h.prompter.m_shown.size(), 1) << shop.h.prompter.m_shown.join('|').toStdString();
        EXPECT_TRUE(shop.h.prompter.m_shown.value(0).contains(QStringLiteral("Row is locked")));
        ASSERT_EQ(shop.Lines().size(), 1u);
        EXPECT_EQ(shop.Stock(101), 5);
        EXPECT_EQ(shop.Stock(102), 4);
        EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "InvoiceTotal").toDouble(), total);
        EXPECT_DOUBLE_EQ(shop.CustomerField("BalanceDue").toDouble(), balance);
        // The windows show what is stored.
        EXPECT_EQ(shop.h.items->GetItemCount(), 1);
        EXPECT_EQ(shop.h.items->GetCurrentID(), shop.LineOf(102).ID);

        shop.Exec(QStringLiteral("DROP TRIGGER locked"));
        shop.Buy(101);
        EXPECT_EQ(shop.Lines().size(), 2u);
        EXPECT_EQ(shop.Stock(101), 4);
    }
}

// A line whose store item is gone: more units change no other item's stock and add no back order.
TEST(Buying, AQuantityChangeOfALineWhoseItemIsGoneTouchesNoStock) {
    ItemShop shop(true, 0);
    shop.AddInvoice(1);
    shop.AddLine(7, 1, 999, 1, 0); // item 999 is in no store
    shop.ClickItem(102);           // the store list stands on another item
    ItemShop::ClickRow(shop.h.items, 0);
    Click(shop.bar->QtyUp());
    EXPECT_EQ(shop.LineOf(999).Quantity, 2);
    EXPECT_EQ(shop.LineOf(999).BackOrderCnt, 0);
    for (int item : {101, 102, 103}) EXPECT_EQ(shop.Stock(item), 0);
}

TEST(StoreTabs, ShippingCostAndStockTrackingAreTheSelectedStoresWhereverTheStoreSetStands) {
    ItemShop shop(false);
    // A second store that tracks stock and ships at $2.50 a pound, selected.
    db::Recordset& rs = *shop.h.stores->GetPtrRecordset();
    shop.h.prompter.ExpectDialog([](QDialog& dlg) {
        dlg.show();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    });
    shop.h.stores->OnEditAddItem();
    ASSERT_EQ(shop.h.stores->TabBar()->count(), 2);
    const int second = shop.h.stores->GetStoreIDFromIndex(1);
    shop.SetTracking(second, true);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(second)));
    rs.edit();
    rs.setValue(QStringLiteral("ShippingCost"), 2.5);
    rs.update();
    shop.h.stores->TabBar()->setCurrentIndex(1);
    Settle();
    rs.moveFirst(); // a walk left the set on the first store
    EXPECT_TRUE(shop.h.stores->IsTrackingStockQty());
    rs.moveFirst();
    EXPECT_DOUBLE_EQ(shop.h.stores->GetStoreShippingCost(), 2.5);
    EXPECT_EQ(rs.intValue(QStringLiteral("ID")), second);
    // Asked about the first store, the set comes back to the selected one.
    EXPECT_FALSE(shop.h.stores->IsTrackingStockQty(shop.storeID));
    EXPECT_EQ(rs.intValue(QStringLiteral("ID")), second);
}

} // namespace
