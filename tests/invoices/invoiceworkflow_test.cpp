// The ordering workflow end to end on the list windows: customers selected by clicks, invoices
// added and edited through their dialogs from the invoice bar, store items bought with the Buy
// button, quantities changed with the items bar; stored values are read back from the tables.
#include "items/itemshop.h"

#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "invoices/invoicerules.h"
#include "listwin/buttonbar.h"
#include "project/numberrules.h"

#include <QCheckBox>
#include <QSettings>
#include <functional>
#include <map>

namespace {

using Fill = std::function<void(QDialog&)>;
QLineEdit* Edit(QDialog& dlg, const char* name) { return Find<QLineEdit>(dlg, name); }
QCheckBox* Box(QDialog& dlg, const char* name) { return Find<QCheckBox>(dlg, name); }
void SetChecked(QCheckBox* box, bool on) {
    if (box && box->isChecked() != on) Click(box);
}
const QString kCloseAnyway = QStringLiteral("A balance is still due!\n\nClose anyway?");

// The shop of the item tests (Alice; items 101 A, 102 B, 103 C with 5 in stock each) with the
// customer and invoice bars of the upper view, a fourth item priced in part cents, and a store
// that ships at $0.50 a pound.
class Workflow : public ::testing::Test {
protected:
    Workflow() {
        // Wired as the main window wires them: new invoices read the selected store's rate.
        h.invoices->SetNeighbours(h.customers, h.items, h.stores);
        customerBar = new CButtonBar(33200, &h.window);
        invoiceBar = new CButtonBar(34300, &h.window);
        QObject::connect(customerBar, &CButtonBar::newClicked, h.customers, &CListWindow::OnEditAddItem);
        QObject::connect(invoiceBar, &CButtonBar::newClicked, h.invoices, &CListWindow::OnEditAddItem);
        QObject::connect(invoiceBar, &CButtonBar::editClicked, h.invoices, &CListWindow::OnEditItem);
        QObject::connect(invoiceBar, &CButtonBar::deleteClicked, h.invoices, &CListWindow::OnEditDelItem);
        h.customers->setGeometry(0, 0, 900, 180);
        customerBar->setGeometry(0, 180, 900, 30);
        h.invoices->setGeometry(0, 210, 900, 150);
        invoiceBar->setGeometry(0, 360, 900, 30);
        h.items->setGeometry(0, 390, 900, 110);
        customerBar->show();
        invoiceBar->show();
        ItemShop::AddStoreItem(shop.store, 104, "D", 2.25, 1.125, 0.5, 5);
        db::Recordset& rs = *h.stores->GetPtrRecordset();
        EXPECT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(shop.storeID)));
        rs.edit();
        rs.setValue(QStringLiteral("ShippingCost"), 0.5);
        rs.update();
        Settle();
    }

    // New on the customer bar, the Customer Info dialog filled as typed.
    int AddCustomer(const QString& name, bool taxable, const char* taxRate, const char* discountRate,
                    const char* priceRadio, bool group) {
        h.prompter.ExpectDialog([=](QDialog& dlg) {
            if (!Open(dlg)) return int(QDialog::Rejected);
            TypeAndLeave(Edit(dlg, "editName"), name);
            SetChecked(Box(dlg, "checkTaxable"), taxable);
            SetChecked(Box(dlg, "checkGroup"), group);
            Click(Find<QRadioButton>(dlg, priceRadio));
            TypeAndLeave(Edit(dlg, "editTaxRate"), QLatin1String(taxRate));
            TypeAndLeave(Edit(dlg, "editDiscountRate"), QLatin1String(discountRate));
            Click(Find<QPushButton>(dlg, "IDOK"));
            return dlg.result();
        });
        Click(customerBar->NewButton());
        return h.customers->GetCurrentID();
    }
    void SelectCustomer(int id) { ItemShop::ClickRow(h.customers, h.customers->Model()->RowOfID(id)); }
    void SelectInvoice(int id) { ItemShop::ClickRow(h.invoices, h.invoices->Model()->RowOfID(id)); }

    // A button of the invoice bar; the Invoice Info dialog is filled, then OK unless fill closed it.
    void InvoiceDialog(QPushButton* button, const Fill& fill) {
        h.prompter.ExpectDialog([fill](QDialog& dlg) {
            if (!Open(dlg)) return int(QDialog::Rejected);
            if (fill) fill(dlg);
            if (dlg.isVisible()) Click(Find<QPushButton>(dlg, "IDOK"));
            return dlg.result();
        });
        Click(button);
        EXPECT_TRUE(h.prompter.AllAnswered());
    }
    int NewInvoice(const Fill& fill = {}) {
        InvoiceDialog(invoiceBar->NewButton(), fill);
        return h.invoices->GetCurrentID();
    }
    void EditInvoice(int id, const Fill& fill) {
        SelectInvoice(id);
        InvoiceDialog(invoiceBar->EditButton(), fill);
    }

    double Inv(int id, const char* field) { return shop.InvoiceField(id, field).toDouble(); }
    double Customer(int id, const char* field) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Customer]"));
        return rs.findFirst(QStringLiteral("ID = %1").arg(id)) ? rs.doubleValue(QLatin1String(field)) : -1.0;
    }
    // The stored lines of one invoice by store item: quantity and back order.
    std::map<int, std::pair<int, int>> LinesOf(int invoiceID) {
        std::map<int, std::pair<int, int>> lines;
        for (const StoredLine& l : shop.Lines())
            if (l.InvoiceID == invoiceID) lines[l.StoreItemID] = {l.Quantity, l.BackOrderCnt};
        return lines;
    }
    void ClickLine(int storeItemID) {
        for (const StoredLine& l : shop.Lines())
            if (l.StoreItemID == storeItemID && l.InvoiceID == h.invoices->GetCurrentID())
                ItemShop::ClickRow(h.items, h.items->Model()->RowOfID(l.ID));
    }
    // The invoice's tax and total as stored, against its own subtotal, discount and shipping.
    void ExpectTotalsFollow(int id, double taxRate) {
        const double base = Inv(id, "ItemsSubtotal") - Inv(id, "DiscountAmount") + Inv(id, "ShipCharge");
        EXPECT_DOUBLE_EQ(Inv(id, "SalesTax"), RoundToCents(base * taxRate)) << id;
        EXPECT_NEAR(Inv(id, "InvoiceTotal"), RoundToCents(base + Inv(id, "SalesTax")), 1e-9) << id;
    }
    // Types into one field of the dialog and leaves it.
    static Fill Typed(const char* field, const QString& text) {
        return [=](QDialog& dlg) { TypeAndLeave(Edit(dlg, field), text); };
    }
    static Fill JoinGroup(int group) { return Typed("editGroupID", QString::number(group)); }

    ItemShop shop;
    ListHarness& h = shop.h;
    CButtonBar* customerBar;
    CButtonBar* invoiceBar;
};

TEST_F(Workflow, AnInvoiceAddedThroughItsDialogTakesThreeItemsAndABackOrder) {
    const int bob = AddCustomer(QStringLiteral("Bob"), true, "8", "10", "radioPriceBase", false);
    SelectCustomer(shop.customerID);
    SelectCustomer(bob);
    const int id = NewInvoice([](QDialog& dlg) {
        // Bob's defaults and the store's shipping rate.
        EXPECT_EQ(Edit(dlg, "editCustomer")->text(), QStringLiteral("Bob"));
        EXPECT_EQ(Edit(dlg, "editTaxRate")->text(), QStringLiteral("8.00%"));
        EXPECT_EQ(Edit(dlg, "editDiscountPercent")->text(), QStringLiteral("10.0%"));
        EXPECT_EQ(Edit(dlg, "editShipCostPerLb")->text(), QStringLiteral("$ 0.50"));
        TypeAndLeave(Edit(dlg, "editComment"), QStringLiteral("rush"));
    });
    ASSERT_GE(id, 1);
    EXPECT_EQ(int(Inv(id, "CustomerID")), bob);
    EXPECT_EQ(shop.InvoiceField(id, "Comment").toString(), QStringLiteral("rush"));
    EXPECT_EQ(Customer(bob, "InvoiceCnt"), 1);

    shop.ClickItem(101);
    shop.ClickItem(102, Qt::ControlModifier);
    shop.ClickItem(103, Qt::ControlModifier);
    Click(h.stores->BuyButton());
    EXPECT_EQ(LinesOf(id), (std::map<int, std::pair<int, int>>{{101, {1, 0}}, {102, {1, 0}}, {103, {1, 0}}}));
    EXPECT_EQ(h.items->GetItemCount(), 3);
    for (int item : {101, 102, 103}) EXPECT_EQ(shop.Stock(item), 4);
    // 9.00 of goods weighing 3.5 lb: 0.90 off, 1.75 shipping, 8 % of 9.85 = 0.79 tax.
    EXPECT_EQ(Inv(id, "ItemCount"), 3);
    EXPECT_DOUBLE_EQ(Inv(id, "ItemsSubtotal"), 9.0);
    EXPECT_DOUBLE_EQ(Inv(id, "ShipWeight"), 3.5);
    EXPECT_DOUBLE_EQ(Inv(id, "DiscountAmount"), 0.90);
    EXPECT_DOUBLE_EQ(Inv(id, "ShipCharge"), 1.75);
    EXPECT_DOUBLE_EQ(Inv(id, "SalesTax"), 0.79);
    EXPECT_NEAR(Inv(id, "InvoiceTotal"), 10.64, 1e-9);
    EXPECT_NEAR(Customer(bob, "BalanceDue"), 10.64, 1e-9);

    // Item C past its stock of 4: the sixth unit goes on back order and ships nothing.
    ClickLine(103);
    for (int i = 0; i < 5; ++i) Click(shop.bar->QtyUp());
    EXPECT_EQ(LinesOf(id)[103], std::make_pair(6, 1));
    EXPECT_EQ(shop.Stock(103), 0);
    EXPECT_DOUBLE_EQ(Inv(id, "ItemsSubtotal"), 2.0 + 3.0 + 5 * 4.0);
    EXPECT_DOUBLE_EQ(Inv(id, "ShipWeight"), 0.5 + 1.0 + 5 * 2.0);
    ExpectTotalsFollow(id, 0.08);
    EXPECT_DOUBLE_EQ(Customer(bob, "BalanceDue"), Inv(id, "InvoiceTotal"));
    // One less takes the back-ordered unit first: no stock comes back.
    Click(shop.bar->QtyDown());
    EXPECT_EQ(LinesOf(id)[103], std::make_pair(5, 0));
    EXPECT_EQ(shop.Stock(103), 0);
    EXPECT_DOUBLE_EQ(Inv(id, "ItemsSubtotal"), 25.0);

    // A price radio writes at once: after Cancel the stored totals are at discount prices.
    h.prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        Click(Find<QRadioButton>(dlg, "radioPriceDiscount"));
        Click(Find<QPushButton>(dlg, "IDCANCEL"));
        return dlg.result();
    });
    Click(invoiceBar->EditButton());
    EXPECT_EQ(Inv(id, "PriceChoice"), 1);
    EXPECT_DOUBLE_EQ(Inv(id, "ItemsSubtotal"), 1.5 + 2.5 + 5 * 3.5);
    ExpectTotalsFollow(id, 0.08);
    EXPECT_DOUBLE_EQ(Customer(bob, "BalanceDue"), Inv(id, "InvoiceTotal"));
    EXPECT_TRUE(h.prompter.m_shown.isEmpty()) << h.prompter.m_shown.join('|').toStdString();
}

TEST_F(Workflow, ClosingAsksOnlyWhileABalanceIsDueAndFreezesTheInvoice) {
    SelectCustomer(shop.customerID);
    const int owing = NewInvoice();
    shop.Buy(102);
    const int paid = NewInvoice();
    shop.Buy(103);
    const double due = Inv(owing, "InvoiceTotal");
    ASSERT_GT(due, 0.01);

    // With a balance due: No keeps it open, Yes closes it.
    h.prompter.Expect(kCloseAnyway, CPrompter::Answer::No);
    h.prompter.Expect(kCloseAnyway, CPrompter::Answer::Yes);
    EditInvoice(owing, [](QDialog& dlg) {
        Click(Box(dlg, "checkClosed"));
        EXPECT_FALSE(Box(dlg, "checkClosed")->isChecked());
        Click(Box(dlg, "checkClosed"));
        EXPECT_TRUE(Box(dlg, "checkClosed")->isChecked());
    });
    EXPECT_EQ(h.prompter.m_shown, (QStringList{kCloseAnyway, kCloseAnyway}));
    EXPECT_EQ(Inv(owing, "Closed"), 1);
    EXPECT_EQ(EngineDateText(Inv(owing, "DateClosed")), EngineDateText(EngineDateNow()));

    // Paid in full: "Paid" checks itself and closing asks nothing.
    EditInvoice(paid, [&](QDialog& dlg) {
        TypeAndLeave(Edit(dlg, "editAmountPaid"), QString::number(Inv(paid, "InvoiceTotal"), 'f', 2));
        EXPECT_TRUE(Box(dlg, "checkPaid")->isChecked());
        Click(Box(dlg, "checkClosed"));
        EXPECT_TRUE(Box(dlg, "checkClosed")->isChecked());
    });
    EXPECT_EQ(h.prompter.m_shown.size(), 2);
    EXPECT_EQ(Inv(paid, "Closed"), 1);
    EXPECT_EQ(Inv(paid, "Paid"), 1);
    EXPECT_DOUBLE_EQ(Inv(paid, "AmountPaid"), Inv(paid, "InvoiceTotal"));
    EXPECT_EQ(Customer(shop.customerID, "InvoiceCnt"), 2);
    EXPECT_NEAR(Customer(shop.customerID, "BalanceDue"), due, 1e-9);

    // A closed invoice takes no line, no quantity change and changes no stock.
    SelectInvoice(owing);
    shop.Buy(101);
    ClickLine(102);
    Click(shop.bar->QtyUp());
    EXPECT_EQ(LinesOf(owing), (std::map<int, std::pair<int, int>>{{102, {1, 0}}}));
    EXPECT_EQ(shop.Stock(101), 5);
    EXPECT_EQ(shop.Stock(102), 4);
    EXPECT_DOUBLE_EQ(Inv(owing, "InvoiceTotal"), due);
    EXPECT_EQ(h.prompter.m_shown.size(), 2);
}

TEST_F(Workflow, AGroupInvoiceHoldsItsMembersLinesMergedAndTotalsThemAtItsOwnTerms) {
    // Grace orders for a group at discount prices, 10 % off and 6 % tax; Alice and Bob are members.
    const int grace = AddCustomer(QStringLiteral("Grace"), true, "6", "10", "radioPriceDiscount", true);
    const int bob = AddCustomer(QStringLiteral("Bob"), false, "0", "0", "radioPriceBase", false);
    SelectCustomer(grace);
    const int groupInvoice = NewInvoice([](QDialog& dlg) { EXPECT_TRUE(Edit(dlg, "editGroupID")->isReadOnly()); });
    EXPECT_EQ(Inv(groupInvoice, "GroupInvoice"), 1);
    const int group = int(Inv(groupInvoice, "InvoiceGroupID"));
    ASSERT_GE(group, 1);

    // Alice joins as her invoice is added, Bob's invoice joins later through its dialog.
    SelectCustomer(shop.customerID);
    const int alice = NewInvoice(JoinGroup(group));
    EXPECT_EQ(int(Inv(alice, "InvoiceGroupID")), group);
    shop.Buy(101);
    shop.Buy(104);
    SelectCustomer(bob);
    const int bobs = NewInvoice();
    shop.Buy(101);
    shop.Buy(101);
    shop.Buy(103);
    EXPECT_EQ(LinesOf(groupInvoice).size(), 2u); // Alice's lines only
    EditInvoice(bobs, JoinGroup(group));
    EXPECT_EQ(int(Inv(bobs, "InvoiceGroupID")), group);

    // A's lines of both members are one line of three.
    EXPECT_EQ(LinesOf(groupInvoice),
              (std::map<int, std::pair<int, int>>{{101, {3, 0}}, {103, {1, 0}}, {104, {1, 0}}}));
    // At discount prices: 3 x 1.50 + 3.50 + 1.125 = 9.125 over 4 lb; 0.91 off, 2.00 shipping,
    // 6 % of 10.215 = 0.61 tax; the total is the plain sum, half cent included.
    EXPECT_EQ(Inv(groupInvoice, "ItemCount"), 3);
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "ItemsSubtotal"), 9.125);
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "ShipWeight"), 4.0);
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "DiscountAmount"), 0.91);
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "ShipCharge"), 2.0);
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "SalesTax"), 0.61);
    EXPECT_NEAR(Inv(groupInvoice, "InvoiceTotal"), 10.825, 1e-9);
    EXPECT_EQ(Customer(grace, "InvoiceCnt"), 1);
    EXPECT_NEAR(Customer(grace, "BalanceDue"), 10.825, 1e-9);
    // Each member keeps its own terms: Bob's two A and one C at base prices.
    EXPECT_DOUBLE_EQ(Inv(bobs, "ItemsSubtotal"), 2 * 2.0 + 4.0);
    EXPECT_DOUBLE_EQ(Customer(bob, "BalanceDue"), Inv(bobs, "InvoiceTotal"));

    // Leaving takes Bob's lines out of the group invoice; they come back when he joins again.
    EditInvoice(bobs, Typed("editGroupID", QStringLiteral("0")));
    EXPECT_EQ(LinesOf(groupInvoice), (std::map<int, std::pair<int, int>>{{101, {1, 0}}, {104, {1, 0}}}));
    EditInvoice(bobs, JoinGroup(group));
    EXPECT_EQ(LinesOf(groupInvoice).size(), 3u);

    // The group's new discount reaches both members, each recomputed from its own lines at the
    // group's price choice and rates.
    SelectCustomer(grace);
    EditInvoice(groupInvoice, Typed("editDiscountPercent", QStringLiteral("20")));
    EXPECT_DOUBLE_EQ(Inv(groupInvoice, "DiscountAmount"), 1.83); // 20 % of 9.125
    EXPECT_NEAR(Customer(grace, "BalanceDue"), Inv(groupInvoice, "InvoiceTotal"), 1e-9);
    const std::pair<int, double> members[] = {{alice, 1.5 + 1.125}, {bobs, 2 * 1.5 + 3.5}};
    for (const auto& [member, subtotal] : members) {
        EXPECT_EQ(Inv(member, "PriceChoice"), 1) << member;
        EXPECT_DOUBLE_EQ(Inv(member, "ItemsSubtotal"), subtotal) << member;
        EXPECT_DOUBLE_EQ(Inv(member, "DiscountAmount"), RoundToCents(0.2 * subtotal)) << member;
        ExpectTotalsFollow(member, 0.06);
    }
    EXPECT_DOUBLE_EQ(Customer(bob, "BalanceDue"), Inv(bobs, "InvoiceTotal"));

    // Nothing is bought onto the group invoice itself.
    SelectCustomer(grace);
    SelectInvoice(groupInvoice);
    shop.Buy(102);
    EXPECT_EQ(LinesOf(groupInvoice).size(), 3u);
    EXPECT_EQ(shop.Stock(102), 5);
    EXPECT_TRUE(h.prompter.m_shown.isEmpty()) << h.prompter.m_shown.join('|').toStdString();

    // Deleting a member takes its lines out of the group invoice.
    if (h.doc.IsVerifyOn()) h.doc.OnToggleVerifyDelete();
    SelectCustomer(bob);
    SelectInvoice(bobs);
    Click(invoiceBar->DeleteButton());
    EXPECT_FALSE(shop.InvoiceField(bobs, "ID").isValid());
    EXPECT_EQ(LinesOf(groupInvoice), (std::map<int, std::pair<int, int>>{{101, {1, 0}}, {104, {1, 0}}}));
    EXPECT_EQ(Customer(bob, "InvoiceCnt"), 0);

    // Closed (with its balance), the group takes no new member; nor does a number of no group.
    h.prompter.Expect(kCloseAnyway, CPrompter::Answer::Yes);
    SelectCustomer(grace);
    EditInvoice(groupInvoice, [](QDialog& dlg) { Click(Box(dlg, "checkClosed")); });
    ASSERT_EQ(Inv(groupInvoice, "Closed"), 1);
    const struct {
        int typed;
        QString message;
    } refused[] = {
        {group,
         QStringLiteral("Invoice is closed!\n\nThe invoice with the group\nnumber %1 has been closed.\n").arg(group)},
        {group + 50, QStringLiteral("Invoice not found!\n\nFailed to locate an invoice with\nthe group number: %1\n")
                         .arg(group + 50)},
    };
    SelectCustomer(bob);
    for (const auto& c : refused) {
        h.prompter.m_shown.clear();
        const int id = NewInvoice([&](QDialog& dlg) {
            TypeAndLeave(Edit(dlg, "editGroupID"), QString::number(c.typed));
            EXPECT_EQ(Edit(dlg, "editGroupID")->text(), QStringLiteral("0"));
        });
        EXPECT_EQ(h.prompter.m_shown, QStringList{c.message});
        EXPECT_EQ(Inv(id, "InvoiceGroupID"), 0) << c.typed;
    }
    EXPECT_EQ(LinesOf(groupInvoice).size(), 2u);
}

TEST_F(Workflow, MultiEditRecomputesEachInvoiceFromItsOwnAmounts) {
    SelectCustomer(shop.customerID);
    const int first = NewInvoice(Typed("editDiscountPercent", QStringLiteral("10")));
    shop.Buy(101);
    shop.Buy(102);
    const int second = NewInvoice(Typed("editDiscountPercent", QStringLiteral("25")));
    shop.Buy(103);
    shop.Buy(103);
    // No lines: a shipping charge alone.
    const int third = NewInvoice(Typed("editShipCharge", QStringLiteral("5")));
    const int ids[] = {first, second, third};
    std::map<int, std::vector<double>> before;
    for (int id : ids)
        before[id] = {Inv(id, "ItemsSubtotal"), Inv(id, "DiscountAmount"), Inv(id, "ShipCharge")};
    ASSERT_DOUBLE_EQ(before[second][1], 2.0); // 25 % of 8.00

    for (int i = 0; i < 3; ++i)
        ItemShop::ClickRow(h.invoices, h.invoices->Model()->RowOfID(ids[i]), i ? Qt::ControlModifier : Qt::NoModifier);
    ASSERT_EQ(h.invoices->GetSelectedIDs().size(), 3u);
    h.prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Invoice: Multi-Edit Dialog"));
        Click(Box(dlg, "checkTaxRate"));
        TypeAndLeave(Edit(dlg, "editTaxRate"), QStringLiteral("6"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        return dlg.result();
    });
    Click(invoiceBar->EditButton());
    ASSERT_TRUE(h.prompter.AllAnswered());

    double balance = 0;
    for (int id : ids) {
        EXPECT_DOUBLE_EQ(Inv(id, "TaxRate"), 0.06) << id;
        EXPECT_EQ((std::vector<double>{Inv(id, "ItemsSubtotal"), Inv(id, "DiscountAmount"), Inv(id, "ShipCharge")}),
                  before[id]);
        ExpectTotalsFollow(id, 0.06);
        balance += Inv(id, "InvoiceTotal");
    }
    EXPECT_DOUBLE_EQ(Inv(third, "SalesTax"), 0.30);
    EXPECT_NEAR(Inv(third, "InvoiceTotal"), 5.30, 1e-9);
    EXPECT_NEAR(Customer(shop.customerID, "BalanceDue"), balance, 1e-9);
}

TEST_F(Workflow, AnInvoiceNumberMustBeAPositive32BitNumberAndMovesTheCounterPastIt) {
    SelectCustomer(shop.customerID);
    const int numberCounter = h.doc.GetHighWaterInvoiceNbr();
    const int idCounter = h.doc.GetHighWaterInvoiceID();
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"abc", "Please enter an integer."},
        {"0", "The invoice number must be above 0."},
        {"-5", "The invoice number must be above 0."},
        {"2147483648", "The invoice number must be below 2147483647."},
        {"99999999999", "The invoice number must be below 2147483647."},
    };
    h.prompter.ExpectDialog([&](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        for (const auto& c : cases) {
            EnterAndType(Edit(dlg, "editInvoiceNumber"), QLatin1String(c.typed));
            Click(Find<QPushButton>(dlg, "IDOK"));
            EXPECT_EQ(h.prompter.m_shown.value(h.prompter.m_shown.size() - 1), QLatin1String(c.message)) << c.typed;
            EXPECT_TRUE(dlg.isVisible()) << c.typed;
        }
        Click(Find<QPushButton>(dlg, "IDCANCEL"));
        return dlg.result();
    });
    Click(invoiceBar->NewButton());
    EXPECT_EQ(h.prompter.m_shown.size(), int(std::size(cases)));
    EXPECT_EQ(h.invoices->GetItemCount(), 0);
    EXPECT_EQ(h.doc.GetHighWaterInvoiceNbr(), numberCounter);
    EXPECT_EQ(h.doc.GetHighWaterInvoiceID(), idCounter);

    const int high = NewInvoice(Typed("editInvoiceNumber", QStringLiteral("500")));
    EXPECT_EQ(Inv(high, "InvoiceNumber"), 500);
    const int next = NewInvoice();
    EXPECT_EQ(Inv(next, "InvoiceNumber"), 501);
}

TEST_F(Workflow, BuyingWithoutAnInvoiceSaysSoAndBuysNothing) {
    const int bob = AddCustomer(QStringLiteral("Bob"), false, "0", "0", "radioPriceBase", false);
    SelectCustomer(bob);
    h.prompter.Expect(QStringLiteral("Create an invoice first!"));
    shop.Buy(101);
    EXPECT_TRUE(h.prompter.AllAnswered());
    EXPECT_TRUE(shop.Lines().empty());
    EXPECT_EQ(shop.Stock(101), 5);
}

// The main window wires its lists itself: a new invoice there takes the selected store's rate.
TEST(WorkflowOnTheMainWindow, ANewInvoiceTakesTheSelectedStoresShippingRate) {
    TempFolder settings, folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.root());
    CScriptedPrompter prompter;
    CQuorvaneMain frame(&prompter);
    frame.resize(1000, 900);
    frame.show();
    CQuorvaneDoc::NewProjectRequest request;
    request.path = folder.path(QStringLiteral("shop"));
    ASSERT_TRUE(frame.Doc().CreateNewProject(request));
    Settle();
    db::Recordset& store = *frame.StoreTabs()->GetPtrRecordset();
    ASSERT_TRUE(store.findFirst(QStringLiteral("ID = %1").arg(frame.StoreTabs()->CurrentStoreList()->GetStoreID())));
    store.edit();
    store.setValue(QStringLiteral("ShippingCost"), 1.25);
    store.update();

    prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        TypeAndLeave(Edit(dlg, "editName"), QStringLiteral("Alice"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        return dlg.result();
    });
    Click(frame.UpperView()->CustomerBar()->NewButton());
    prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        EXPECT_EQ(Edit(dlg, "editShipCostPerLb")->text(), QStringLiteral("$ 1.25"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        return dlg.result();
    });
    Click(frame.UpperView()->InvoiceBar()->NewButton());
    ASSERT_TRUE(prompter.AllAnswered());
    db::Recordset rs(*frame.Doc().GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Invoice]"));
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("ShipCostPerLb")), 1.25);
}

} // namespace
