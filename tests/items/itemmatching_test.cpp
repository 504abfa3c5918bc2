// Re-linking invoice lines to invoices and stores, refreshing them from the stores and copying
// them into a group invoice, on real windows.
#include "listharness.h"

#include "db/recordset.h"
#include "stores/storelistctrl.h"
#include "userinput.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>

namespace {

struct Prices {
    double base = 0, discount = 0, markup = 0;
    bool operator==(const Prices&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Prices& p) {
    return os << '(' << p.base << ", " << p.discount << ", " << p.markup << ')';
}

// Three stores with a few items each; customer 1 with invoices 1 (number 101) and 2 (number
// 102), invoice 1 shown. The item list's lines are written straight into the table.
class Matching : public ::testing::Test {
protected:
    void SetUp() override {
        h.NewProject();
        // As the main frame wires it: posted by the store tabs after items moved.
        QObject::connect(h.stores, &CStoreTabCtrl::refreshItemPointersRequested, h.items,
                         &CInvoiceItemsListCtrl::OnRefreshInvoiceItemPointers);
        for (int i = 0; i < 2; ++i) {
            h.prompter.ExpectDialog([](QDialog& d) {
                d.show();
                QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
                return d.result();
            });
            h.stores->OnEditAddItem();
        }
        ASSERT_EQ(h.stores->GetStoreCount(), 3);
        AddStoreItem(1, 11, "100", "Flour", {10, 8, 12});
        AddStoreItem(1, 12, "200", "Sugar", {4, 3, 5});
        AddStoreItem(2, 21, "100", "Rye flour", {20, 18, 22});
        AddStoreItem(2, 22, "abc", "Salt", {1, 1, 1});
        AddStoreItem(3, 31, "100", "Oat flour", {30, 28, 32});
        AddStoreItem(3, 32, "ABC", "Pepper", {2, 2, 2});
        h.doc.SetCounter(CQuorvaneDoc::StoreItemsID, 40);
        for (int id : {1, 2})
            h.customers->Table().AddRow({{QStringLiteral("ID"), id}, {QStringLiteral("CustomerNbr"), id},
                                         {QStringLiteral("Name"), id == 1 ? QStringLiteral("Ann") : QStringLiteral("Bob")}});
        h.customers->RefreshListCtrlFromRecordset();
        AddInvoice(1, 101);
        AddInvoice(2, 102);
        ShowStore(1);
    }

    CStoreListCtrl* List(int storeID) {
        for (CStoreListCtrl* l : h.stores->findChildren<CStoreListCtrl*>())
            if (l->GetStoreID() == storeID) return l;
        return nullptr;
    }
    void AddStoreItem(int storeID, int id, const char* code, const char* description, Prices p, double pounds = 1) {
        List(storeID)->Table().AddRow({{QStringLiteral("ID"), id},
                                       {QStringLiteral("ItemCode"), QString::fromLatin1(code)},
                                       {QStringLiteral("Description"), QString::fromLatin1(description)},
                                       {QStringLiteral("BaseLinePrice"), p.base},
                                       {QStringLiteral("DiscountPrice"), p.discount},
                                       {QStringLiteral("MarkupPrice"), p.markup},
                                       {QStringLiteral("ShipPounds"), pounds}});
        List(storeID)->RefreshListCtrlFromRecordset();
    }
    void ShowStore(int storeID) {
        h.stores->ShowStoreTabUsingID(storeID);
        ASSERT_EQ(h.stores->CurrentStoreList(), List(storeID));
    }
    void AddInvoice(int id, int number, bool closed = false, int priceChoice = 0) {
        Write("Invoice", -1, {{"ID", id}, {"CustomerID", 1}, {"InvoiceNumber", number},
                              {"Closed", closed ? 1 : 0}, {"PriceChoice", priceChoice}});
    }
    void AddLine(const CInvoiceItemRecord& r) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [InvoiceItems]"));
        rs.addNew();
        CInvoiceItemsListCtrl::XferToRecordset(r, rs);
        rs.update();
    }
    static CInvoiceItemRecord Line(int id, int invoiceID, int number, int storeID, int itemID, const char* code,
                                   Prices p = {}, double price = 0, const char* description = "goods") {
        CInvoiceItemRecord r;
        r.ID = id;
        r.InvoiceID = invoiceID;
        r.InvoiceNumber = number;
        r.StoreID = storeID;
        r.StoreItemID = itemID;
        r.ItemCode = QString::fromLatin1(code);
        r.Description = QString::fromLatin1(description);
        r.Quantity = 2;
        r.BackOrderCnt = 1;
        r.Price = price;
        r.BaseLinePrice = p.base;
        r.DiscountPrice = p.discount;
        r.MarkupPrice = p.markup;
        return r;
    }
    // Sets fields of a row (id -1: adds one).
    void Write(const char* table, int id, std::initializer_list<std::pair<const char*, QVariant>> fields) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [%1]").arg(QLatin1String(table)));
        if (id < 0) rs.addNew();
        else {
            ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(id)));
            rs.edit();
        }
        for (const auto& [name, value] : fields) rs.setValue(QLatin1String(name), value);
        rs.update();
    }
    QVariant Read(const char* table, int id, const char* field) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [%1]").arg(QLatin1String(table)));
        if (!rs.findFirst(QStringLiteral("ID = %1").arg(id))) return {};
        return rs.value(QLatin1String(field));
    }
    CInvoiceItemRecord Stored(int id) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [InvoiceItems]"));
        CInvoiceItemRecord r;
        if (rs.findFirst(QStringLiteral("ID = %1").arg(id))) CInvoiceItemsListCtrl::XferFromRecordset(rs, r);
        return r;
    }
    static Prices PricesOf(const CInvoiceItemRecord& r) { return {r.BaseLinePrice, r.DiscountPrice, r.MarkupPrice}; }
    // Clicks Bob, then Ann (her invoices are shown anew), then the invoice's row: the item list
    // shows its lines.
    void SelectInvoice(int invoiceID) {
        for (int row : {1, 0})
            QTest::mouseClick(h.customers->viewport(), Qt::LeftButton, {},
                              h.customers->visualRect(h.customers->Model()->index(row, 0)).center());
        QTest::mouseClick(h.invoices->viewport(), Qt::LeftButton, {},
                          h.invoices->visualRect(h.invoices->Model()->index(h.invoices->Model()->RowOfID(invoiceID), 0)).center());
        Settle();
        ASSERT_EQ(h.invoices->GetCurrentID(), invoiceID);
    }
    // The item list's context menu entry "refresh", answered Yes.
    void RefreshFromStores() {
        h.prompter.Expect(QStringLiteral("Refresh all items from store(s)?"), CPrompter::Answer::Yes);
        static_cast<CListWindow*>(h.items)->OnContextSelection(kColumnMenuFirstID + h.items->Columns().Count());
        EXPECT_TRUE(h.prompter.AllAnswered());
    }
    void Exec(const char* sql) {
        ASSERT_EQ(sqlite3_exec(h.doc.GetPtrDatabase()->handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }
    // Moves the store's item to another store (offered in tab order), as the Edit command does.
    void MoveItem(int fromStore, int itemID, int offered) {
        ShowStore(fromStore);
        CStoreListCtrl* from = List(fromStore);
        from->SelectOnly(from->Model()->RowOfID(itemID));
        h.prompter.ExpectDialog([offered](QDialog& d) {
            d.show();
            d.findChild<QComboBox*>(QStringLiteral("comboStore"))->setCurrentIndex(offered);
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
            return d.result();
        });
        h.stores->OnEditCopyStoreItem(true);
        Settle(); // the posted refresh of the item links
    }

    ListHarness h;
};

TEST_F(Matching, AnItemCodeMatchesExactlyTheFirstItemAndTheStoreListStaysOnItsItem) {
    AddStoreItem(1, 13, "200", "Second sugar", {4, 3, 5});
    CStoreListCtrl* list = List(1);
    list->SelectOnly(0);
    ASSERT_EQ(list->GetCurrentID(), 11);
    for (const auto& [code, id] : std::vector<std::pair<const char*, int>>{
             {"200", 12}, {"100", 11}, {"ABC", -1}, {"20", -1}, {"200 ", -1}, {" ", -1}}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(list->GetStoreItemIDFromItemCode(QString::fromLatin1(code)), id);
        EXPECT_EQ(list->GetPtrRecordset()->intValue(QStringLiteral("ID")), 11);
    }
    EXPECT_EQ(List(2)->GetStoreItemIDFromItemCode(QStringLiteral("abc")), 22);
    EXPECT_EQ(List(3)->GetStoreItemIDFromItemCode(QStringLiteral("abc")), -1);

    double w = -1, b = -1, d = -1, m = -1;
    EXPECT_FALSE(list->GetWeightAndPrices(21, w, b, d, m)); // another store's item
    EXPECT_EQ(Prices({b, d, m}), Prices({-1, -1, -1}));
    EXPECT_EQ(w, -1);
    EXPECT_EQ(list->GetItemDescription(21), QString());
    EXPECT_TRUE(list->GetWeightAndPrices(12, w, b, d, m));
    EXPECT_EQ(Prices({b, d, m}), Prices({4, 3, 5}));
    EXPECT_EQ(list->GetPtrRecordset()->intValue(QStringLiteral("ID")), 11);
}

TEST_F(Matching, MovingStoreItemsRepointsOnlyTheLinesOfMovedOrVanishedItems) {
    AddInvoice(3, 103, true);
    AddLine(Line(1, 1, 101, 1, 11, "100"));  // bought from store 1; its item moves to store 2
    AddLine(Line(2, 1, 101, 3, 31, "100"));  // store 3's "100": its link holds
    AddLine(Line(3, 1, 101, 1, 99, "200"));  // item gone: found by code in the store on show
    AddLine(Line(4, 1, 101, 1, 98, " "));    // item gone, no code: left alone
    AddLine(Line(5, 777, 102, 0, 0, "ABC")); // imported: invoice by number, code with its case
    AddLine(Line(6, 3, 103, 1, 97, "200"));  // a closed invoice's vanished item: not re-pointed
    AddLine(Line(7, 3, 103, 1, 12, "200"));  // a closed invoice's moved item: followed
    AddLine(Line(8, 1, 101, 3, 32, "PEP"));  // its item's code was changed since: kept
    SelectInvoice(1);
    ASSERT_EQ(h.items->GetItemCount(), 5);
    static_cast<CListWindow*>(h.items)->OnContextSelection(kColumnMenuFirstID + 0); // "Store", sixth

    MoveItem(1, 11, 0); // to store 2
    MoveItem(1, 12, 1); // to store 3

    struct Expect {
        int line, invoiceID, storeID, itemID;
    };
    for (const Expect& e : {Expect{1, 1, 2, 11}, Expect{2, 1, 3, 31}, Expect{3, 1, 3, 12}, Expect{4, 1, 1, 98},
                            Expect{5, 2, 3, 32}, Expect{6, 3, 1, 97}, Expect{7, 3, 3, 12}, Expect{8, 1, 3, 32}}) {
        SCOPED_TRACE(e.line);
        const CInvoiceItemRecord r = Stored(e.line);
        EXPECT_EQ(r.InvoiceID, e.invoiceID);
        EXPECT_EQ(r.StoreID, e.storeID);
        EXPECT_EQ(r.StoreItemID, e.itemID);
    }
    // The item list shows invoice 1's lines again, with the store each now comes from; the
    // invoice list stays on invoice 1.
    ASSERT_EQ(h.items->GetItemCount(), 5);
    EXPECT_EQ(h.items->GetItemText(0, 5), h.stores->GetStoreNameFromID(2));
    EXPECT_EQ(h.items->GetItemText(1, 5), h.stores->GetStoreNameFromID(3));
    EXPECT_EQ(h.invoices->GetCurrentID(), 1);
    EXPECT_EQ(h.invoices->GetPtrRecordset()->intValue(QStringLiteral("ID")), 1);
}

TEST_F(Matching, ARefusedReLinkLeavesEveryLineAsItWasAndSaysSo) {
    AddLine(Line(1, 1, 101, 1, 11, "100"));
    AddLine(Line(2, 1, 101, 1, 12, "200"));
    SelectInvoice(1);
    Exec("CREATE TRIGGER refuse BEFORE UPDATE ON InvoiceItems WHEN old.ID = 2 "
         "BEGIN SELECT RAISE(ABORT, 'Line is locked'); END");
    h.prompter.Expect(QStringLiteral("Line is locked"));
    List(1)->SelectOnly(0);
    List(1)->ClickRow(1, Qt::ShiftModifier);
    h.prompter.ExpectDialog([](QDialog& d) { // to store 2
        d.show();
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return d.result();
    });
    h.stores->OnEditCopyStoreItem(true);
    Settle();
    ASSERT_EQ(List(2)->GetStoreItemIDFromItemCode(QStringLiteral("200")), 12);
    EXPECT_TRUE(h.prompter.AllAnswered()) << h.prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Stored(1).StoreID, 1);
    EXPECT_EQ(Stored(2).StoreID, 1);
    EXPECT_EQ(h.items->GetItemCount(), 2);
}

TEST_F(Matching, MatchingImportedLinesCompletesPricesAndTheInvoicesPriceChoice) {
    struct Case {
        const char* what;
        CInvoiceItemRecord line;
        int invoiceChoiceBefore;
        Prices prices;
        int invoiceChoice;
    };
    // Imported lines carry another file's invoice IDs. Store 1's item 11 costs base 10,
    // discount 8, markup 12.
    const Case cases[] = {
        {"near the discount price", Line(1, 77, 201, 1, 11, "100", {}, 9.00), 2, {9, 9, 9}, 1},
        {"above the base price", Line(2, 77, 202, 1, 11, "100", {}, 11.50), 0, {11.5, 11.5, 11.5}, 2},
        {"near the base price", Line(3, 77, 203, 1, 11, "100", {}, 10.50), 2, {10.5, 10.5, 10.5}, 0},
        {"three prices already", Line(4, 77, 204, 1, 11, "100", {7, 6, 8}, 9.00), 2, {7, 6, 8}, 2},
        {"untied, one price", Line(5, 77, 205, 0, 0, " ", {}, 4.00), 2, {4, 4, 4}, 2},
        {"untied, three prices", Line(6, 77, 206, 0, 0, " ", {1, 2, 3}, 0), 2, {1, 2, 3}, 2},
        {"its item gone", Line(7, 77, 207, 1, 96, " ", {}, 9.00), 2, {0, 0, 0}, 2},
    };
    int invoiceID = 10;
    for (const Case& c : cases) {
        AddInvoice(++invoiceID, c.line.InvoiceNumber, false, c.invoiceChoiceBefore);
        AddLine(c.line);
    }
    // A line of no invoice may not set the price choice of the invoice on show.
    AddInvoice(30, 300, false, 2);
    AddLine(Line(8, 88, 999, 1, 11, "100", {}, 9.00));
    // Another file's item ID 12 names this project's "200": the code "100" decides.
    AddLine(Line(9, 77, 209, 2, 12, "100", {5, 5, 5}));
    AddInvoice(40, 209);
    Write("InvoiceItems", 1, {{"Description", QStringLiteral(" ")}});
    SelectInvoice(30);

    ASSERT_TRUE(h.items->ReQueryRecordset());
    h.items->MatchAllItemsToInvoicesAndStores();
    invoiceID = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CInvoiceItemRecord r = Stored(c.line.ID);
        ++invoiceID;
        EXPECT_EQ(r.InvoiceID, invoiceID);
        EXPECT_EQ(PricesOf(r), c.prices);
        EXPECT_EQ(Read("Invoice", invoiceID, "PriceChoice").toInt(), c.invoiceChoice);
    }
    EXPECT_EQ(Stored(1).Description, QStringLiteral("Flour"));
    EXPECT_EQ(Stored(2).Description, QStringLiteral("goods"));
    EXPECT_EQ(Read("Invoice", 30, "PriceChoice").toInt(), 2);
    EXPECT_EQ(Stored(8).InvoiceID, 88);
    EXPECT_EQ(Stored(9).StoreID, 1);
    EXPECT_EQ(Stored(9).StoreItemID, 11);

    // A refused price choice undoes the whole match.
    Write("InvoiceItems", 2, {{"BaseLinePrice", 0.0}, {"DiscountPrice", 0.0}, {"MarkupPrice", 0.0}, {"InvoiceID", 77}});
    Write("Invoice", 12, {{"PriceChoice", 0}});
    Exec("CREATE TRIGGER refuse BEFORE UPDATE OF PriceChoice ON Invoice BEGIN SELECT RAISE(ABORT, 'refused'); END");
    h.prompter.Expect(QStringLiteral("The price choice of invoice 12 could not be written."));
    h.items->MatchAllItemsToInvoicesAndStores();
    EXPECT_TRUE(h.prompter.AllAnswered()) << h.prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Stored(2).InvoiceID, 77);
    EXPECT_EQ(PricesOf(Stored(2)), Prices({0, 0, 0}));
}

TEST_F(Matching, RefreshingFromTheStoresTakesTheirPricesAndKeepsLinesWithoutAnItem) {
    AddLine(Line(1, 1, 101, 1, 11, "100", {1, 1, 1}));
    AddLine(Line(2, 1, 101, 2, 21, "100", {1, 1, 1}));
    AddLine(Line(3, 1, 101, 2, 95, "zz", {1, 1, 1}));  // its item is gone
    AddLine(Line(4, 2, 102, 1, 12, "200", {1, 1, 1}));  // another invoice's line
    SelectInvoice(1);
    ShowStore(3);
    RefreshFromStores();
    EXPECT_EQ(PricesOf(Stored(1)), Prices({10, 8, 12}));
    EXPECT_EQ(PricesOf(Stored(2)), Prices({20, 18, 22}));
    EXPECT_EQ(PricesOf(Stored(3)), Prices({1, 1, 1}));
    EXPECT_EQ(PricesOf(Stored(4)), Prices({1, 1, 1}));
    EXPECT_EQ(Stored(2).ItemWeight, 1.0);
    EXPECT_EQ(h.stores->CurrentStoreList(), List(3)); // the store on show stays
    EXPECT_EQ(h.items->GetItemText(0, 4), QStringLiteral("$   10.00")); // "Cost" of one shipped unit

    // A closed invoice is a record: nothing changes.
    Write("Invoice", 1, {{"Closed", 1}});
    Write("StoreItems_1", 11, {{"BaseLinePrice", 50.0}});
    h.items->FetchAllItemsFromStore();
    EXPECT_EQ(Stored(1).BaseLinePrice, 10.0);
}

TEST_F(Matching, RefreshingFromTheStoresRecomputesTheInvoiceTotals) {
    AddLine(Line(1, 1, 101, 1, 11, "100", {1, 1, 1}));
    SelectInvoice(1);
    RefreshFromStores();
    EXPECT_EQ(Read("Invoice", 1, "ItemsSubtotal").toDouble(), 10.0); // one shipped unit at base 10
    EXPECT_EQ(Read("Invoice", 1, "InvoiceTotal").toDouble(), 10.0);
}

TEST_F(Matching, CopyingIntoAGroupInvoiceMergesOnlyLinesOfOneStoreItem) {
    AddInvoice(5, 105); // the group invoice, with a line of its own
    AddLine(Line(1, 5, 105, 1, 11, "100", {10, 8, 12}));
    AddLine(Line(2, 1, 101, 1, 11, "100", {10, 8, 12}));
    AddLine(Line(3, 1, 101, 0, 0, " ", {4, 4, 4}, 4.0, "Apples"));
    AddLine(Line(4, 1, 101, 0, 0, " ", {9, 9, 9}, 9.0, "Honey"));
    AddLine(Line(5, 1, 101, 1, 12, "200", {4, 3, 5}));
    h.doc.SetCounter(CQuorvaneDoc::InvItemsID, 50);

    ASSERT_TRUE(h.items->ReQueryRecordsetBUsingID(1));
    ASSERT_TRUE(h.items->CopyItemsToGroupInvoice(5, 105));
    EXPECT_EQ(Stored(1).Quantity, 4);
    EXPECT_EQ(Stored(1).BackOrderCnt, 2);
    const CInvoiceItemRecord apples = Stored(50), honey = Stored(51), sugar = Stored(52);
    EXPECT_EQ(apples.Description, QStringLiteral("Apples"));
    EXPECT_EQ(honey.Description, QStringLiteral("Honey"));
    EXPECT_EQ(PricesOf(honey), Prices({9, 9, 9}));
    EXPECT_EQ(sugar.StoreItemID, 12);
    for (const CInvoiceItemRecord& r : {apples, honey, sugar}) {
        EXPECT_EQ(r.InvoiceID, 5);
        EXPECT_EQ(r.InvoiceNumber, 105);
        EXPECT_EQ(r.Quantity, 2);
    }
    EXPECT_EQ(h.doc.GetHighWaterInvItemsID(), 53);
    EXPECT_EQ(Stored(2).Quantity, 2); // the member's lines stay

    // A refused copy adds nothing and merges nothing.
    Exec("CREATE TRIGGER refuse BEFORE INSERT ON InvoiceItems BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ASSERT_TRUE(h.items->ReQueryRecordsetBUsingID(1));
    QString failure;
    EXPECT_FALSE(h.items->CopyItemsToGroupInvoice(5, 105, &failure));
    EXPECT_EQ(failure, QStringLiteral("refused"));
    EXPECT_EQ(Stored(1).Quantity, 4);
    ASSERT_TRUE(h.items->ReQueryRecordsetCUsingID(5));
    EXPECT_EQ(h.items->GetPtrRecordsetC()->recordCount(), 4);
    // A member without lines adds nothing, and that is no failure.
    ASSERT_TRUE(h.items->ReQueryRecordsetBUsingID(2));
    EXPECT_TRUE(h.items->CopyItemsToGroupInvoice(5, 105));
}

TEST_F(Matching, AGroupRebuildWhoseCopyFailsKeepsTheGroupInvoiceAsItWasAndSaysSo) {
    AddInvoice(5, 105);
    Write("Invoice", 5, {{"GroupInvoice", 1}, {"InvoiceGroupID", 7}});
    Write("Invoice", 1, {{"InvoiceGroupID", 7}});
    AddLine(Line(1, 5, 105, 1, 12, "200", {4, 3, 5}));
    AddLine(Line(2, 1, 101, 1, 11, "100", {10, 8, 12}));
    Exec("CREATE TRIGGER refuse BEFORE INSERT ON InvoiceItems BEGIN SELECT RAISE(ABORT, 'refused'); END");
    h.prompter.Expect(QStringLiteral("refused"));
    EXPECT_FALSE(h.invoices->UpdateGroupInvoiceTotals(7));
    EXPECT_TRUE(h.prompter.AllAnswered()) << h.prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Stored(1).InvoiceID, 5); // the group invoice's line is not deleted
}

} // namespace
