// The lines of the current invoice: removing, quantities and back orders through the items bar,
// totals, cells at the price choice, and the bar's layout and pictures.
#include "itemshop.h"

#include "items/itemsbarrules.h"
#include "listwin/columndefs.h"
#include "project/quorvanedoc.h"

#include <QImage>
#include <QMouseEvent>

namespace {

void VerifyOff(ItemShop& shop) {
    if (shop.h.doc.IsVerifyOn()) shop.h.doc.OnToggleVerifyDelete();
}

TEST(ItemLines, RemovingALineReturnsItsShippedUnitsToTheTrackedStock) {
    ItemShop shop(true, 10);
    shop.AddInvoice(1);
    shop.AddLine(7, 1, 101, 5, 2);
    ItemShop::ClickRow(shop.h.items, 0);
    // Asked first; No changes nothing.
    shop.h.prompter.Expect(QStringLiteral("Delete Item?"), CPrompter::Answer::No);
    shop.PressKey(shop.h.items, Qt::Key_Delete);
    EXPECT_EQ(shop.Lines().size(), 1u);
    EXPECT_EQ(shop.Stock(101), 10);
    EXPECT_EQ(shop.h.prompter.m_defaults.back(), CPrompter::Answer::No);
    shop.h.prompter.Expect(QStringLiteral("Delete Item?"), CPrompter::Answer::Yes);
    Click(shop.bar->DeleteButton());
    EXPECT_TRUE(shop.h.prompter.AllAnswered());
    EXPECT_TRUE(shop.Lines().empty());
    EXPECT_EQ(shop.Stock(101), 13);
    EXPECT_EQ(shop.h.items->GetItemCount(), 0);
    EXPECT_EQ(shop.InvoiceField(1, "ItemCount").toInt(), 0);
}

TEST(ItemLines, DeletingSeveralSelectedLinesWithoutVerifyAsksNothing) {
    ItemShop shop(true, 10);
    shop.AddInvoice(1);
    for (int item : {101, 102, 103}) shop.Buy(item);
    VerifyOff(shop);
    ItemShop::ClickRow(shop.h.items, 0);
    ItemShop::ClickRow(shop.h.items, 2, Qt::ShiftModifier);
    shop.PressKey(shop.h.items, Qt::Key_Delete);
    EXPECT_TRUE(shop.h.prompter.m_shown.isEmpty());
    EXPECT_TRUE(shop.Lines().empty());
    for (int item : {101, 102, 103}) EXPECT_EQ(shop.Stock(item), 10);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 0.0);
}

TEST(ItemLines, DeleteKeyBarAndDoubleClickChangeNoLineOfAGroupOrClosedInvoice) {
    struct Case {
        const char* name;
        bool closed, group;
    };
    for (const Case& c : {Case{"closed", true, false}, Case{"group", false, true}}) {
        SCOPED_TRACE(c.name);
        ItemShop shop(true, 10);
        shop.AddInvoice(1, 0, c.closed, c.group, c.group ? 1 : 0);
        shop.AddLine(7, 1, 101, 2, 0);
        VerifyOff(shop);
        ItemShop::ClickRow(shop.h.items, 0);
        shop.PressKey(shop.h.items, Qt::Key_Delete);
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
                 shop.bar->DeleteButton(), shop.bar->QtyUp(), shop.bar->QtyDown(), shop.bar->BackOrderUp(),
                 shop.bar->BackOrderDown()})
            Click(b);
        const QRect cell = shop.h.items->visualRect(shop.h.items->Model()->index(0, 0));
        QTest::mouseDClick(shop.h.items->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        Settle();
        ASSERT_EQ(shop.Lines().size(), 1u);
        EXPECT_EQ(shop.LineOf(101).Quantity, 2);
        EXPECT_EQ(shop.LineOf(101).BackOrderCnt, 0);
        EXPECT_EQ(shop.Stock(101), 10);
        EXPECT_TRUE(shop.h.prompter.m_shown.isEmpty());
    }
}

// The quantity arrows on a tracked stock of 1, step by step.
TEST(Quantities, ArrowsMoveUnitsBetweenStockAndBackOrder) {
    ItemShop shop(true, 2);
    shop.AddInvoice(1);
    shop.Buy(101); // quantity 1, stock 1
    struct Step {
        CArrowButton* button;
        int quantity, backOrder, stock;
    };
    const Step steps[] = {
        {shop.bar->QtyUp(), 2, 0, 0},   {shop.bar->QtyUp(), 3, 1, 0},   {shop.bar->QtyDown(), 2, 0, 0},
        {shop.bar->QtyDown(), 1, 0, 1}, {shop.bar->QtyDown(), 1, 0, 1},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(++n);
        Click(s.button);
        EXPECT_EQ(shop.LineOf(101).Quantity, s.quantity);
        EXPECT_EQ(shop.LineOf(101).BackOrderCnt, s.backOrder);
        EXPECT_EQ(shop.Stock(101), s.stock);
        EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 2.0 * (s.quantity - s.backOrder));
        EXPECT_EQ(shop.Cell(shop.LineOf(101).ID, 2), QString::number(s.quantity));
    }
}

// Back order up returns a shipped unit to a tracked stock, down ships one from it; the count
// stays within 0..Quantity.
TEST(Quantities, BackOrderArrowsStayInRangeAndKeepTheStockInStep) {
    ItemShop shop(true, 10);
    shop.AddInvoice(1);
    shop.AddLine(7, 1, 101, 2, 1);
    ItemShop::ClickRow(shop.h.items, 0);
    struct Step {
        bool up;
        int backOrder, stock;
    };
    const Step steps[] = {{true, 2, 11}, {true, 2, 11}, {false, 1, 10}, {false, 0, 9}, {false, 0, 9}};
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(++n);
        Click(s.up ? shop.bar->BackOrderUp() : shop.bar->BackOrderDown());
        EXPECT_EQ(shop.LineOf(101).Quantity, 2);
        EXPECT_EQ(shop.LineOf(101).BackOrderCnt, s.backOrder);
        EXPECT_EQ(shop.Stock(101), s.stock);
    }
}

TEST(Quantities, AtTheLargestQuantityMoreIsRefusedAndNothingChanges) {
    ItemShop shop(true, 10);
    shop.AddInvoice(1);
    shop.AddLine(7, 1, 101, CInvoiceItemsListCtrl::kMaxQuantity, 0);
    ItemShop::ClickRow(shop.h.items, 0);
    Click(shop.bar->QtyUp());
    shop.Buy(101);
    EXPECT_EQ(shop.LineOf(101).Quantity, 32767);
    EXPECT_EQ(shop.LineOf(101).BackOrderCnt, 0);
    EXPECT_EQ(shop.Stock(101), 10);
    EXPECT_EQ(shop.Lines().size(), 1u);
}

// The arrows act on the selected line even when a walk or a purchase moved the record set.
TEST(Quantities, TheArrowsChangeTheSelectedLine) {
    ItemShop shop(false);
    shop.AddInvoice(1);
    shop.Buy(101);
    shop.Buy(102);
    ItemShop::ClickRow(shop.h.items, 0);
    shop.h.items->GetPtrRecordset()->moveLast();
    Click(shop.bar->QtyUp());
    EXPECT_EQ(shop.LineOf(101).Quantity, 2);
    EXPECT_EQ(shop.LineOf(102).Quantity, 1);
}

TEST(ItemTotals, CellsAndTotalsUseTheInvoicesPriceChoice) {
    ItemShop shop(false);
    shop.AddInvoice(1, 1);
    shop.AddLine(7, 1, 101, 3, 1); // $1.50 discount price, 0.5 lb
    shop.AddLine(8, 1, 102, 2, 2); // all on back order
    // Default slots: Code, Item Description, Qty, BkOrd, Cost.
    EXPECT_EQ(shop.Cell(7, 4), QStringLiteral("$    3.00"));
    EXPECT_EQ(shop.Cell(8, 4), QStringLiteral("$    0.00"));
    shop.h.items->OnContextSelection(kColumnMenuFirstID + 7); // show "Unit Price"
    EXPECT_EQ(shop.Cell(7, 5), QStringLiteral("$    1.50"));
    int count = 0;
    double weight = 0, subtotal = 0;
    ASSERT_TRUE(shop.h.items->GetItemTotals(count, weight, subtotal));
    EXPECT_EQ(count, 2);
    EXPECT_DOUBLE_EQ(weight, 1.0);
    EXPECT_DOUBLE_EQ(subtotal, 3.0);
    const std::vector<CInvoiceLineView> lines = shop.h.items->GetLinesForListBox(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].UnitPrice, 4.0); // markup
    EXPECT_EQ(lines[1].BackOrderCnt, 2);
}

// Lines deleted or added through the other record sets never cut a walk short nor join
// another invoice's totals.
TEST(ItemTotals, WalksSeeWhatIsStoredAfterChangesThroughTheOtherRecordSets) {
    ItemShop shop(false);
    shop.AddInvoice(1);
    shop.Buy(101);
    shop.Buy(102);
    shop.Buy(103);
    CInvoiceItemsListCtrl* items = shop.h.items;
    ASSERT_TRUE(items->ReQueryRecordsetCUsingID(1));
    ASSERT_TRUE(items->FindStoreItemInRecordsetC(102));
    items->GetPtrRecordsetC()->remove();
    // A line of invoice 2 added through C while it holds invoice 1's lines.
    db::Recordset& c = *items->GetPtrRecordsetC();
    c.addNew();
    for (const db::FieldDef& f : c.fields())
        c.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
    c.setValue(QStringLiteral("ID"), 500);
    c.setValue(QStringLiteral("InvoiceID"), 2);
    c.setValue(QStringLiteral("Quantity"), 9);
    c.setValue(QStringLiteral("BaseLinePrice"), 100.0);
    c.update();
    int count = 0;
    double weight = 0, subtotal = 0;
    ASSERT_TRUE(items->GetItemTotalsUsingRecordsetC(count, weight, subtotal, 0));
    EXPECT_EQ(count, 2);
    EXPECT_DOUBLE_EQ(subtotal, 6.0);
    // The quantity arrow refreshes the invoice from its stored lines.
    ItemShop::ClickRow(items, 0);
    Click(shop.bar->QtyUp());
    EXPECT_EQ(shop.InvoiceField(1, "ItemCount").toInt(), 2);
    EXPECT_DOUBLE_EQ(shop.InvoiceField(1, "ItemsSubtotal").toDouble(), 8.0);
    EXPECT_EQ(items->GetItemCount(), 2);
    ASSERT_TRUE(items->GetItemTotalsOfInvoice(2, 0, count, weight, subtotal));
    EXPECT_EQ(count, 1);
    EXPECT_DOUBLE_EQ(subtotal, 900.0);
}

TEST(ItemLines, RefreshFromStoresIsAskedOnlyForAnOpenInvoice) {
    struct Case {
        bool closed;
        bool asked;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.closed);
        ItemShop shop(false);
        shop.AddInvoice(1, 0, c.closed);
        shop.AddLine(7, 1, 101, 1, 0);
        if (c.asked) shop.h.prompter.Expect(QStringLiteral("Refresh all items from store(s)?"), CPrompter::Answer::No);
        shop.h.items->OnContextSelection(kColumnMenuFirstID + shop.h.items->Columns().Count());
        EXPECT_TRUE(shop.h.prompter.AllAnswered());
        EXPECT_EQ(shop.h.prompter.m_shown.size(), c.asked ? 1 : 0);
        EXPECT_EQ(shop.h.items->GetItemCount(), 1);
    }
}

TEST(ItemsBar, WidthRulesPickTheLongestTextsThatFit) {
    struct Case {
        int w;
        const char* del;
        const char* backOrder;
        int deleteX, deleteWidth, labelWidth;
    };
    // With h = 30 the controls need 216, 176 or 116 pixels besides the arrows' 120.
    const Case cases[] = {
        {400, "Delete", "Back Order: ", 32, 80, 90}, {336, "Delete", "Back Order: ", 0, 80, 90},
        {335, "Del", "Back Ord: ", 19, 60, 70},      {296, "Del", "Back Ord: ", 0, 60, 70},
        {295, "Del", "B/O: ", 29, 40, 30},           {100, "Del", "B/O: ", -68, 40, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        const ItemsBarPlacement p = PlaceItemsBar(c.w, 30);
        EXPECT_EQ(p.deleteText, QLatin1String(c.del));
        EXPECT_EQ(p.backOrderText, QLatin1String(c.backOrder));
        EXPECT_EQ(p.deleteButton, QRect(c.deleteX, 0, c.deleteWidth, 30));
        const int x = c.deleteX + c.deleteWidth;
        EXPECT_EQ(p.qtyLabel, QRect(x, 4, 40, 26));
        EXPECT_EQ(p.qtyUp, QRect(x + 40, 0, 30, 30));
        EXPECT_EQ(p.qtyDown, QRect(x + 73, 0, 30, 30));
        EXPECT_EQ(p.backOrderLabel, QRect(x + 103, 4, c.labelWidth, 26));
        EXPECT_EQ(p.backOrderUp, QRect(x + 103 + c.labelWidth, 0, 30, 30));
        EXPECT_EQ(p.backOrderDown, QRect(x + 136 + c.labelWidth, 0, 30, 30));
    }
}

TEST(ItemsBar, ResizedItShowsTheTextsAndTakesTheFocusUnderTheMouse) {
    ItemShop shop;
    shop.bar->resize(300, 30);
    Settle();
    EXPECT_EQ(shop.bar->DeleteButton()->text(), QStringLiteral("Del"));
    EXPECT_EQ(shop.bar->BackOrderLabel()->text(), QStringLiteral("Back Ord: "));
    EXPECT_EQ(shop.bar->QtyUp()->geometry(), PlaceItemsBar(300, 30).qtyUp);
    shop.h.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shop.h.window));
    shop.h.items->setFocus();
    Settle();
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), shop.bar->mapToGlobal(QPointF(1, 1)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(shop.bar, &move);
    Settle();
    EXPECT_TRUE(shop.bar->hasFocus());
}

TEST(ItemsBar, ArrowPicturesAreSolidTrianglesShiftedInWhenPressed) {
    const QImage up = CArrowButton::Picture(true, false).toImage();
    const QImage upPressed = CArrowButton::Picture(true, true).toImage();
    const QImage down = CArrowButton::Picture(false, false).toImage();
    ASSERT_EQ(up.size(), QSize(24, 24));
    EXPECT_EQ(QColor(up.pixel(12, 14)), QColor(Qt::black));      // inside the triangle
    EXPECT_NE(QColor(up.pixel(12, 4)), QColor(Qt::black));       // above its tip
    EXPECT_EQ(QColor(down.pixel(12, 9)), QColor(Qt::black));
    EXPECT_NE(QColor(down.pixel(12, 20)), QColor(Qt::black));    // below its tip
    // Pressed, the triangle's base lies one row lower.
    EXPECT_NE(QColor(up.pixel(13, 17)), QColor(Qt::black));
    EXPECT_EQ(QColor(upPressed.pixel(13, 17)), QColor(Qt::black));
    EXPECT_NE(up, upPressed);
    EXPECT_EQ(QColor(up.pixel(0, 0)), QColor(Qt::white));         // raised: lit top left
    EXPECT_NE(QColor(upPressed.pixel(0, 0)), QColor(Qt::white));
}

} // namespace
