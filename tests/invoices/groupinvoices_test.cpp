// Group invoices: rebuilt from their members, matched onto them, and left alone once closed;
// invoices deleted with their lines and groups in one transaction; import re-linking.
#include "../items/itemshop.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"

namespace {

class GroupShop : public ItemShop {
public:
    GroupShop() : ItemShop(false) {
        owner = AddCustomer("Group owner", true);
        bob = AddCustomer("Bob", false);
    }
    int AddCustomer(const char* name, bool groupOrder) {
        CCustomerRecord c;
        c.Name = QLatin1String(name);
        c.CustomerNbr = h.doc.GetHighWaterCustomerNbr();
        c.ShareOrder = groupOrder ? 1 : 0;
        EXPECT_TRUE(h.customers->AddCustomer(c));
        return c.ID;
    }
    void Select(int customerID) { ClickRow(h.customers, h.customers->Model()->RowOfID(customerID)); }
    // An invoice of the customer, as the add command stores it after the dialog's OK.
    int NewInvoice(int customerID, int group = 0) {
        Select(customerID);
        CInvoiceRecord r = h.invoices->NewInvoiceRecord();
        EXPECT_TRUE(h.invoices->AddInvoice(r));
        if (group > 0) SetFields(r.ID, [&](CInvoiceRecord& e) { e.InvoiceGroupID = group; });
        return r.ID;
    }
    // What the Invoice Info dialog's OK stores, changed by edit.
    template <typename Edit> bool SetFields(int id, Edit edit) {
        EXPECT_TRUE(h.invoices->ActivateRecordInRecordset(id) || SelectInvoice(id));
        CInvoiceRecord before;
        CInvoicesListCtrl::XferRecordsetToDlg(*h.invoices->GetPtrRecordset(), before);
        CInvoiceRecord after = before;
        edit(after);
        return h.invoices->StoreEditedInvoice(before, after);
    }
    bool SelectInvoice(int id) {
        Select(InvoiceField(id, "CustomerID").toInt());
        return h.invoices->ActivateRecordInRecordset(id);
    }
    int GroupOf(int invoiceID) { return InvoiceField(invoiceID, "InvoiceGroupID").toInt(); }
    std::map<int, std::pair<int, int>> LinesOf(int invoiceID) {
        std::map<int, std::pair<int, int>> held;
        for (const StoredLine& l : Lines())
            if (l.InvoiceID == invoiceID) held[l.StoreItemID] = {l.Quantity, l.BackOrderCnt};
        return held;
    }

    int owner = -1, bob = -1;
};

void ClickRowOf(GroupShop& s, int invoiceID) {
    ItemShop::ClickRow(s.h.invoices, s.h.invoices->Model()->RowOfID(invoiceID));
}

} // namespace

TEST(GroupInvoices, AGroupInvoiceHoldsItsMembersLinesMergedAndTotalledAtItsOwnPrices) {
    GroupShop s;
    const int groupInvoice = s.NewInvoice(s.owner);
    const int group = s.GroupOf(groupInvoice);
    ASSERT_GE(group, 1);
    ASSERT_TRUE(s.InvoiceField(groupInvoice, "GroupInvoice").toBool());
    s.SetFields(groupInvoice, [](CInvoiceRecord& r) {
        r.PriceChoice = 1;
        r.DiscountPercent = 0.1;
        r.TaxRate = 0.07;
        r.ShipCostPerLb = 0.3;
    });
    const int alice = s.NewInvoice(s.customerID, group);
    const int bobs = s.NewInvoice(s.bob, group);
    // A new invoice ships at the selected store's rate (a new store's is 0.01 a pound).
    EXPECT_DOUBLE_EQ(s.InvoiceField(alice, "ShipCostPerLb").toDouble(), 0.01);
    s.AddLine(9001, alice, 101, 3, 1);
    s.AddLine(9002, alice, 102, 1, 0);
    s.AddLine(9003, bobs, 101, 2, 0);
    s.AddLine(9004, bobs, 0, 1, 0); // two lines tied to no store item never merge
    s.AddLine(9005, alice, 0, 1, 0);
    ASSERT_TRUE(s.h.invoices->UpdateGroupInvoiceTotals(group));
    const auto held = s.LinesOf(groupInvoice);
    EXPECT_EQ(held.at(101), std::make_pair(5, 1));
    EXPECT_EQ(held.at(102), std::make_pair(1, 0));
    int untied = 0;
    for (const StoredLine& l : s.Lines()) untied += l.InvoiceID == groupInvoice && l.StoreItemID == 0;
    EXPECT_EQ(untied, 2);
    // Shipped units 4 + 1 + 1 + 1 at the discount price 1.50 and 0.5 lb each.
    const InvoiceAmounts a = ComputeInvoice(4 * 1.5 + 1.5 + 1.5 + 1.5, 0.1, 3.5, 0.3, 0.07, false);
    EXPECT_DOUBLE_EQ(s.InvoiceField(groupInvoice, "ItemsSubtotal").toDouble(), a.S);
    EXPECT_DOUBLE_EQ(s.InvoiceField(groupInvoice, "InvoiceTotal").toDouble(), a.T);
    EXPECT_EQ(s.InvoiceField(groupInvoice, "ItemCount").toInt(), 4);

    // Bob's invoice leaves the group: the group invoice loses its lines at once.
    ASSERT_TRUE(s.SetFields(bobs, [](CInvoiceRecord& r) { r.InvoiceGroupID = 0; }));
    EXPECT_EQ(s.LinesOf(groupInvoice).at(101), std::make_pair(3, 1));
    // The owner's totals count the group invoice.
    s.Select(s.customerID);
    int count = 0;
    double balance = 0;
    ASSERT_TRUE(s.h.invoices->GetItemTotalsUsingRecordsetGroups(count, balance, s.owner));
    EXPECT_EQ(count, 1);
    EXPECT_DOUBLE_EQ(balance, s.InvoiceField(groupInvoice, "InvoiceTotal").toDouble());
}

TEST(GroupInvoices, AClosedGroupInvoiceIsNeverRebuiltAndTheOptionOnlyDecidesTheMessage) {
    for (const bool verify : {false, true}) {
        GroupShop s;
        if (!verify) s.h.doc.OnToggleVerifyDelete();
        ASSERT_EQ(s.h.doc.IsVerifyOn(), verify);
        const int groupInvoice = s.NewInvoice(s.owner);
        const int group = s.GroupOf(groupInvoice);
        const int alice = s.NewInvoice(s.customerID, group);
        s.AddLine(9001, alice, 101, 2, 0);
        ASSERT_TRUE(s.h.invoices->UpdateGroupInvoiceTotals(group));
        s.SetFields(groupInvoice, [](CInvoiceRecord& r) { r.Closed = true; });
        s.AddLine(9002, alice, 102, 1, 0);
        if (verify)
            s.h.prompter.Expect(QStringLiteral("Failed to update Group invoice!\n\nThe modified invoice belongs to a group "
                                               "invoice,\nbut the group invoice is closed!\n\nGROUP invoice #%1 for "
                                               "customer: Group owner")
                                    .arg(s.InvoiceField(groupInvoice, "InvoiceNumber").toInt()));
        EXPECT_FALSE(s.h.invoices->UpdateGroupInvoiceTotals(group));
        EXPECT_EQ(s.LinesOf(groupInvoice).size(), 1u) << "verify " << verify;
        EXPECT_TRUE(s.h.prompter.AllAnswered());
        EXPECT_TRUE(s.h.prompter.m_unexpected.isEmpty());
    }
}

TEST(GroupInvoices, MembersTakeTheGroupsStatusAndRatesExceptClosedOnesAndOpenOnesAreRepriced) {
    GroupShop s;
    const int groupInvoice = s.NewInvoice(s.owner);
    const int group = s.GroupOf(groupInvoice);
    const int open = s.NewInvoice(s.customerID, group);
    const int closed = s.NewInvoice(s.bob, group);
    s.AddLine(9001, open, 101, 2, 0);
    s.AddLine(9002, closed, 101, 2, 0);
    s.SetFields(closed, [](CInvoiceRecord& r) { r.Closed = true; });
    // The group invoice is edited: shipped, at the discount price, 10 % off.
    ASSERT_TRUE(s.SetFields(groupInvoice, [](CInvoiceRecord& r) {
        r.Shipped = true;
        r.DateShipped = 46000;
        r.PriceChoice = 1;
        r.DiscountPercent = 0.1;
    }));
    EXPECT_TRUE(s.InvoiceField(open, "Shipped").toBool());
    EXPECT_EQ(s.InvoiceField(open, "PriceChoice").toInt(), 1);
    EXPECT_DOUBLE_EQ(s.InvoiceField(open, "ItemsSubtotal").toDouble(), 3.0); // 2 x 1.50
    EXPECT_DOUBLE_EQ(s.InvoiceField(open, "DiscountAmount").toDouble(), 0.3);
    EXPECT_FALSE(s.InvoiceField(closed, "Shipped").toBool());
    EXPECT_EQ(s.InvoiceField(closed, "PriceChoice").toInt(), 0);
}

TEST(GroupInvoices, DeletingAMemberRebuildsItsGroupAndAFailureLeavesEverything) {
    GroupShop s;
    const int groupInvoice = s.NewInvoice(s.owner);
    const int group = s.GroupOf(groupInvoice);
    const int alice = s.NewInvoice(s.customerID, group);
    const int other = s.NewInvoice(s.customerID);
    s.AddLine(9001, alice, 101, 2, 0);
    ASSERT_TRUE(s.h.invoices->UpdateGroupInvoiceTotals(group));
    s.Select(s.customerID);
    ClickRowOf(s, alice);
    // The group invoice's old lines cannot be deleted: the whole delete is undone and shown.
    s.Exec(QStringLiteral("CREATE TRIGGER locked BEFORE DELETE ON InvoiceItems WHEN old.InvoiceID = %1 "
                          "BEGIN SELECT RAISE(ABORT, 'Row is locked'); END").arg(groupInvoice));
    s.h.prompter.Expect(QStringLiteral("Delete Record?"), CPrompter::Answer::Yes);
    s.h.prompter.Expect(QStringLiteral("Row is locked"));
    s.PressKey(s.h.invoices, Qt::Key_Delete);
    EXPECT_TRUE(s.h.prompter.AllAnswered()) << s.h.prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(s.InvoiceField(alice, "ID").isValid());
    EXPECT_EQ(s.LinesOf(alice).size(), 1u);
    EXPECT_EQ(s.LinesOf(groupInvoice).size(), 1u);
    EXPECT_EQ(s.h.invoices->GetItemCount(), 2);
    s.Exec(QStringLiteral("DROP TRIGGER locked"));
    s.h.prompter.Expect(QStringLiteral("Delete Record?"), CPrompter::Answer::Yes);
    ClickRowOf(s, alice);
    s.PressKey(s.h.invoices, Qt::Key_Delete);
    EXPECT_FALSE(s.InvoiceField(alice, "ID").isValid());
    EXPECT_TRUE(s.LinesOf(alice).empty());
    EXPECT_TRUE(s.LinesOf(groupInvoice).empty());
    EXPECT_TRUE(s.InvoiceField(other, "ID").isValid());
    EXPECT_EQ(s.CustomerField("InvoiceCnt").toInt(), 1);
}

TEST(GroupInvoices, AfterAnImportNumbersAndCustomersAreReLinkedOverEveryInvoice) {
    GroupShop s;
    const int bobs = s.NewInvoice(s.bob);
    // An imported invoice: closed, numbered 500, in group 70, and carrying Alice's number while
    // it points at Bob.
    s.SetFields(bobs, [&](CInvoiceRecord& r) {
        r.InvoiceNumber = 500;
        r.InvoiceGroupID = 70;
        r.Closed = true;
        r.CustomerNumber = s.CustomerField("CustomerNbr").toInt();
    });
    s.Select(s.customerID); // the invoice list shows Alice's invoices, not Bob's
    s.h.invoices->MatchAllInvoicesToCustomers();
    EXPECT_EQ(s.InvoiceField(bobs, "CustomerID").toInt(), s.customerID);
    s.h.invoices->ValidateAllRecords();
    EXPECT_EQ(s.h.doc.GetHighWaterInvoiceNbr(), 501);
    EXPECT_EQ(s.h.doc.GetHighWaterInvoiceGroupID(), 71);
}

TEST(GroupInvoices, ACustomersNewNumberReachesItsInvoices) {
    GroupShop s;
    const int bobs = s.NewInvoice(s.bob);
    s.Select(s.bob);
    s.h.prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg)) return int(QDialog::Rejected);
        TypeAndLeave(dlg.findChild<QLineEdit*>(QStringLiteral("editCustomerNbr")), QStringLiteral("777"));
        Click(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")));
        return dlg.result();
    });
    s.h.customers->OnEditItem();
    EXPECT_EQ(s.InvoiceField(bobs, "CustomerNumber").toInt(), 777);
}
