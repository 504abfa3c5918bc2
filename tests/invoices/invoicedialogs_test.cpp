// The invoice dialog and the invoice multi-edit dialog driven as a user drives them.
#include "invoices/invoiceinfodlg.h"
#include "invoices/invoicemultieditdlg.h"
#include "invoices/statusicons.h"
#include "project/numberrules.h"
#include "scriptedprompter.h"

#include <QCheckBox>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "userinput.h"

// Failures show the texts themselves.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

QLineEdit* Edit(QWidget& dlg, const char* name) { return Find<QLineEdit>(dlg, name); }
QCheckBox* Check(QWidget& dlg, const char* name) { return Find<QCheckBox>(dlg, name); }
QString Today() { return EngineDateText(EngineDateNow()); }
constexpr double kEarlier = 45900.25; // 08/31/2025
const QString kEarlierText = QStringLiteral("08/31/2025");

// Two lines; base, discount and markup prices 10/9/12 and 5/4/6.
std::vector<CInvoiceLineView> Lines(int choice) {
    CInvoiceLineView a{501, QStringLiteral("A-1"), QStringLiteral("Brass hinge, heavy duty pair"), 3, 1, 0.5,
                       choice == 1 ? 9.0 : choice == 2 ? 12.0 : 10.0};
    CInvoiceLineView b{502, QStringLiteral("B-2"), QStringLiteral("Screws"), 4, 0, 0.25,
                       choice == 1 ? 4.0 : choice == 2 ? 6.0 : 5.0};
    return {a, b};
}

// 100.00 of goods, 10 % off, 12.5 lb at 0.80, 7 % tax: 107.00 due.
CInvoiceRecord SampleInvoice() {
    CInvoiceRecord r;
    r.ID = 40, r.CustomerID = 7, r.InvoiceNumber = 1001, r.ItemCount = 2, r.DateEntered = kEarlier;
    r.CustomerName = QStringLiteral("Harbour Supplies"), r.Comment = QStringLiteral("rush");
    r.ItemsSubtotal = 100.00, r.DiscountPercent = 0.10, r.DiscountAmount = 10.00;
    r.ShipWeight = 12.5, r.ShipCostPerLb = 0.80, r.ShipCharge = 10.00;
    r.TaxRate = 0.07, r.SalesTax = 7.00, r.InvoiceTotal = 107.00;
    return r;
}

class InvoiceInfoDlg : public ::testing::Test {
protected:
    CInvoiceDlgServices Services(bool withLines = true) {
        CInvoiceDlgServices s;
        s.lines = [withLines](int choice) { return withLines ? Lines(choice) : std::vector<CInvoiceLineView>{}; };
        s.writePriceChoice = [this](int choice) {
            written.push_back(choice);
            return writeAnswer;
        };
        s.checkGroup = [](int group) {
            using G = CInvoiceDlgServices::GroupCheck;
            return group == 5 ? G::Ok : group == 6 ? G::Closed : G::NotFound;
        };
        return s;
    }
    CScriptedPrompter prompter;
    std::vector<int> written;
    bool writeAnswer = true;
};

} // namespace

TEST_F(InvoiceInfoDlg, ShowsTheInvoiceInItsFormats) {
    CInvoiceRecord r = SampleInvoice();
    r.Shipped = true;
    r.DateShipped = kEarlier;
    CInvoiceInfoDlg dlg(r, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Invoice Info Dialog"));
    const std::pair<const char*, const char*> shown[] = {
        {"editInvoiceNumber", "1001"},         {"editGroupID", "0"},
        {"editCustomer", "Harbour Supplies"},  {"editSubTotal", "$    100.00"},
        {"editDiscountPercent", "10.0%"},      {"editDiscountAmount", "$     10.00"},
        {"editShipCostPerLb", "$ 0.80"},       {"editShipWeight", " 12.5"},
        {"editShipCharge", "$     10.00"},     {"editTaxRate", "7.00%"},
        {"editSalesTax", "$      7.00"},       {"editInvoiceTotal", "$    107.00"},
        {"editAmountPaid", "$      0.00"},     {"editBalanceDue", "$    107.00"},
        {"editDateCreated", "08/31/2025"},     {"editDateShipped", "08/31/2025"},
        {"editDateOrdered", ""},               {"editComment", "rush"},
    };
    for (const auto& [name, text] : shown) EXPECT_EQ(Edit(dlg, name)->text(), QLatin1String(text)) << name;
    for (const char* ro : {"editCustomer", "editSubTotal", "editShipWeight", "editSalesTax", "editInvoiceTotal",
                           "editBalanceDue", "editDateCreated", "editDateShipped"})
        EXPECT_TRUE(Edit(dlg, ro)->isReadOnly()) << ro;
    EXPECT_TRUE(Check(dlg, "checkShipped")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(dlg, "radioPriceBase")->isChecked());

    auto* list = Find<QListWidget>(dlg, "listItems");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("CODE\tDESCRIPTION\tQTY\tB/O\t#ORD\tWEIGHT\tPRICE"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("A-1\tBrass hinge, heavy d\t\t3\t\t1\t\t2\t    1.0\t$  20.00"));
    EXPECT_EQ(list->item(1)->data(Qt::UserRole).toInt(), 501);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("B-2\tScrews\t\t4\t\t0\t\t4\t    1.0\t$  20.00"));
}

TEST_F(InvoiceInfoDlg, TypedFieldsRecomputeWhatFollowsFromThem) {
    const struct {
        const char* field;
        const char* typed;
        std::vector<std::pair<const char*, const char*>> shown;
    } cases[] = {
        {"editTaxRate", "8", {{"editTaxRate", "8.00%"}, {"editSalesTax", "$      8.00"}, {"editInvoiceTotal", "$    108.00"}}},
        {"editTaxRate", "0.08", {{"editTaxRate", "8.00%"}, {"editInvoiceTotal", "$    108.00"}}},
        {"editDiscountAmount", "25", {{"editDiscountPercent", "25.0%"}, {"editInvoiceTotal", "$     90.95"}}},
        // a rate above 100 % is cut to 100 %: the total never goes below the shipping
        {"editDiscountPercent", "150", {{"editDiscountPercent", "100.0%"}, {"editDiscountAmount", "$    100.00"},
                                        {"editInvoiceTotal", "$     10.70"}}},
        {"editDiscountAmount", "-4", {{"editDiscountAmount", "$      0.00"}, {"editDiscountPercent", "0.0%"}}},
        {"editShipCostPerLb", "2", {{"editShipCostPerLb", "$ 2.00"}, {"editShipCharge", "$     25.00"},
                                    {"editInvoiceTotal", "$    123.05"}}},
        {"editShipCharge", "5", {{"editShipCostPerLb", "$ 0.40"}, {"editInvoiceTotal", "$    101.65"}}},
        {"editDiscountPercent", "nan", {{"editDiscountPercent", "0.0%"}, {"editInvoiceTotal", "$    117.70"}}},
        {"editAmountPaid", "inf", {{"editAmountPaid", "$      0.00"}, {"editBalanceDue", "$    107.00"}}},
        // an overpayment is a negative balance of the same cents
        {"editAmountPaid", "108.23", {{"editBalanceDue", "$     -1.23"}}},
        {"editAmountPaid", "30000000", {{"editBalanceDue", "$-29999893.00"}}},
    };
    for (const auto& c : cases) {
        CInvoiceInfoDlg dlg(SampleInvoice(), &prompter, Services());
        ASSERT_TRUE(Open(dlg));
        TypeAndLeave(Edit(dlg, c.field), QLatin1String(c.typed));
        for (const auto& [name, text] : c.shown)
            EXPECT_EQ(Edit(dlg, name)->text(), QLatin1String(text)) << c.field << " " << c.typed << " " << name;
    }
}

TEST_F(InvoiceInfoDlg, ShippingWithoutWeightKeepsTheRateAndPassingThroughChangesNothing) {
    CInvoiceRecord r = SampleInvoice();
    r.ShipWeight = 0;
    r.ShipCharge = 0;
    r.ShipCostPerLb = 0.123456; // finer than shown
    r.SalesTax = 6.30;
    r.InvoiceTotal = 96.30;
    CInvoiceInfoDlg dlg(r, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    for (const char* name : {"editDiscountPercent", "editDiscountAmount", "editShipCostPerLb", "editTaxRate",
                             "editAmountPaid"})
        Enter(Edit(dlg, name));
    TypeAndLeave(Edit(dlg, "editShipCharge"), QStringLiteral("4"));
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().ShipCostPerLb, 0.123456);
    EXPECT_EQ(dlg.Record().DiscountPercent, 0.10);
    EXPECT_EQ(dlg.Record().ShipCharge, 4.00);
    EXPECT_DOUBLE_EQ(dlg.Record().InvoiceTotal, 100.58);
}

TEST_F(InvoiceInfoDlg, OkAndCtrlEnterTakeTheFieldStillBeingTyped) {
    for (bool ctrlEnter : {false, true}) {
        CInvoiceInfoDlg dlg(SampleInvoice(), &prompter, Services());
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editAmountPaid"), QStringLiteral("50"));
        if (ctrlEnter)
            Key(Qt::Key_Return, Qt::ControlModifier);
        else
            Click(Find<QPushButton>(dlg, "IDOK"));
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().AmountPaid, 50.0) << ctrlEnter;
        EXPECT_EQ(EngineDateText(dlg.Record().DatePaid), Today());
        EXPECT_FALSE(dlg.Record().Paid);
    }
}

TEST_F(InvoiceInfoDlg, PayingTheTotalChecksPaidOnceWithItsImpliedBoxes) {
    CInvoiceRecord r = SampleInvoice();
    r.OnHold = true;
    r.Ordered = true;
    r.DateOnHold = r.DateOrdered = kEarlier;
    CInvoiceInfoDlg dlg(r, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    TypeAndLeave(Edit(dlg, "editAmountPaid"), QStringLiteral("107"));
    EXPECT_TRUE(Check(dlg, "checkPaid")->isChecked());
    EXPECT_TRUE(Check(dlg, "checkOrdered")->isChecked());
    EXPECT_FALSE(Check(dlg, "checkOnHold")->isChecked());
    EXPECT_EQ(Edit(dlg, "editDatePaid")->text(), Today());
    EXPECT_EQ(Edit(dlg, "editDateOrdered")->text(), kEarlierText); // already set: keeps its date
    EXPECT_EQ(Edit(dlg, "editDateOnHold")->text(), QString());
    EXPECT_EQ(Edit(dlg, "editBalanceDue")->text(), QStringLiteral("$      0.00"));
}

TEST_F(InvoiceInfoDlg, AnAlreadyPaidInvoiceKeepsItsPaidDateOnRecomputation) {
    CInvoiceRecord r = SampleInvoice();
    r.Paid = r.Ordered = true;
    r.DatePaid = r.DateOrdered = kEarlier;
    r.AmountPaid = 107.00;
    CInvoiceInfoDlg dlg(r, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    TypeAndLeave(Edit(dlg, "editTaxRate"), QStringLiteral("6")); // total 106: still paid in full
    EXPECT_EQ(Edit(dlg, "editDatePaid")->text(), kEarlierText);
    Click(Find<QPushButton>(dlg, "IDOK"));
    EXPECT_EQ(dlg.Record().DatePaid, kEarlier);
}

TEST_F(InvoiceInfoDlg, StatusBoxesDateOnlyWhatTheyNewlySet) {
    // Shipped earlier: receiving it keeps the shipping date; "Picked Up" clears receipt and shipping.
    CInvoiceRecord r = SampleInvoice();
    r.Shipped = r.Ordered = true;
    r.DateShipped = r.DateOrdered = kEarlier;
    CInvoiceInfoDlg dlg(r, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    Click(Check(dlg, "checkReceived"));
    EXPECT_EQ(Edit(dlg, "editDateShipped")->text(), kEarlierText);
    EXPECT_EQ(Edit(dlg, "editDateOrdered")->text(), kEarlierText);
    EXPECT_EQ(Edit(dlg, "editDateReceived")->text(), Today());
    Click(Check(dlg, "checkPickedUp"));
    EXPECT_FALSE(Check(dlg, "checkShipped")->isChecked());
    EXPECT_FALSE(Check(dlg, "checkReceived")->isChecked());
    EXPECT_EQ(Edit(dlg, "editDateShipped")->text(), QString());
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dlg.Record().DateOrdered, kEarlier);
    EXPECT_TRUE(dlg.Record().PickedUp && !dlg.Record().Shipped && !dlg.Record().Received);
}

TEST_F(InvoiceInfoDlg, ClosingWithABalanceAsksAndLocksTheInvoice) {
    const QString question = QStringLiteral("A balance is still due!\n\nClose anyway?");
    CInvoiceInfoDlg dlg(SampleInvoice(), &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    prompter.Expect(question, CPrompter::Answer::No);
    Click(Check(dlg, "checkClosed"));
    EXPECT_FALSE(Check(dlg, "checkClosed")->isChecked());
    EXPECT_FALSE(Edit(dlg, "editTaxRate")->isReadOnly());
    EXPECT_EQ(prompter.m_defaults.back(), CPrompter::Answer::No);

    prompter.Expect(question, CPrompter::Answer::Yes);
    Click(Check(dlg, "checkClosed"));
    EXPECT_TRUE(Check(dlg, "checkClosed")->isChecked());
    EXPECT_EQ(Edit(dlg, "editDateClosed")->text(), Today());
    for (const char* name : {"editInvoiceNumber", "editGroupID", "editDiscountAmount", "editAmountPaid", "editComment"})
        EXPECT_TRUE(Edit(dlg, name)->isReadOnly()) << name;
    EXPECT_FALSE(Find<QRadioButton>(dlg, "radioPriceMarkup")->isEnabled());
    EXPECT_FALSE(Check(dlg, "checkShipped")->isEnabled());
    EXPECT_TRUE(Check(dlg, "checkClosed")->isEnabled());

    Click(Check(dlg, "checkClosed")); // reopened, without a question
    EXPECT_TRUE(Check(dlg, "checkShipped")->isEnabled());
    EXPECT_EQ(Edit(dlg, "editDateClosed")->text(), QString());
    EXPECT_EQ(prompter.m_shown.size(), 2);

    // Nothing due: no question.
    CInvoiceRecord paid = SampleInvoice();
    paid.AmountPaid = 106.99;
    CInvoiceInfoDlg paidDlg(paid, &prompter, Services());
    ASSERT_TRUE(Open(paidDlg));
    Click(Check(paidDlg, "checkClosed"));
    EXPECT_TRUE(Check(paidDlg, "checkClosed")->isChecked());
    EXPECT_EQ(prompter.m_shown.size(), 2);
}

TEST_F(InvoiceInfoDlg, AClosedInvoiceOpensLockedAndAGroupInvoiceKeepsItsGroup) {
    CInvoiceRecord closed = SampleInvoice();
    closed.Closed = true;
    CInvoiceInfoDlg dlg(closed, &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    EXPECT_TRUE(Edit(dlg, "editAmountPaid")->isReadOnly());
    EXPECT_FALSE(Check(dlg, "checkPaid")->isEnabled());

    CInvoiceRecord group = SampleInvoice();
    group.GroupInvoice = true;
    group.InvoiceGroupID = 5;
    CInvoiceInfoDlg groupDlg(group, &prompter, Services());
    ASSERT_TRUE(Open(groupDlg));
    EXPECT_TRUE(Edit(groupDlg, "editGroupID")->isReadOnly());
    EXPECT_FALSE(Edit(groupDlg, "editInvoiceNumber")->isReadOnly());
}

TEST_F(InvoiceInfoDlg, APriceRadioWritesAtOnceAndRecomputesFromTheLines) {
    CInvoiceInfoDlg dlg(SampleInvoice(), &prompter, Services());
    ASSERT_TRUE(Open(dlg));
    Click(Find<QRadioButton>(dlg, "radioPriceMarkup"));
    EXPECT_EQ(written, std::vector<int>{2});
    EXPECT_TRUE(dlg.PriceChoiceWritten());
    // 2 x 12 + 4 x 6 = 48; the 10 % discount follows the new subtotal.
    EXPECT_EQ(Edit(dlg, "editSubTotal")->text(), QStringLiteral("$     48.00"));
    EXPECT_EQ(Edit(dlg, "editDiscountAmount")->text(), QStringLiteral("$      4.80"));
    EXPECT_EQ(Edit(dlg, "editInvoiceTotal")->text(), QStringLiteral("$     56.92"));
    EXPECT_EQ(Find<QListWidget>(dlg, "listItems")->item(1)->text().section(QLatin1Char('\t'), -1),
              QStringLiteral("$  24.00"));
    Click(Find<QPushButton>(dlg, "IDCANCEL"));
    EXPECT_TRUE(dlg.PriceChoiceWritten()); // the caller refreshes the stored totals even now

    // Refused by the store: the radio goes back and nothing is recomputed.
    writeAnswer = false;
    CInvoiceInfoDlg refused(SampleInvoice(), &prompter, Services());
    ASSERT_TRUE(Open(refused));
    Click(Find<QRadioButton>(refused, "radioPriceDiscount"));
    EXPECT_TRUE(Find<QRadioButton>(refused, "radioPriceBase")->isChecked());
    EXPECT_FALSE(refused.PriceChoiceWritten());
    EXPECT_EQ(Edit(refused, "editSubTotal")->text(), QStringLiteral("$    100.00"));

    // No lines: the choice is only kept for OK.
    written.clear();
    CInvoiceInfoDlg empty(SampleInvoice(), &prompter, Services(false));
    ASSERT_TRUE(Open(empty));
    Click(Find<QRadioButton>(empty, "radioPriceDiscount"));
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(Find<QListWidget>(empty, "listItems")->count(), 0);
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(empty.Record().PriceChoice, 1);
}

TEST_F(InvoiceInfoDlg, AGroupNumberMustNameAnOpenGroupInvoice) {
    const struct {
        const char* typed;
        const char* message; // empty: accepted
        int stored;
    } cases[] = {
        {"5", "", 5},
        {"9", "Invoice not found!\n\nFailed to locate an invoice with\nthe group number: 9\n", 0},
        {"6", "Invoice is closed!\n\nThe invoice with the group\nnumber 6 has been closed.\n", 0},
        {"0", "", 0},
    };
    for (const auto& c : cases) {
        for (bool typedThenOk : {false, true}) {
            CScriptedPrompter asked;
            CInvoiceInfoDlg dlg(SampleInvoice(), &asked, Services());
            ASSERT_TRUE(Open(dlg));
            if (typedThenOk) {
                // Still in the field: OK checks it and, refused, stays open showing "0".
                EnterAndType(Edit(dlg, "editGroupID"), QLatin1String(c.typed));
                Key(Qt::Key_Return, Qt::ControlModifier);
            } else {
                TypeAndLeave(Edit(dlg, "editGroupID"), QLatin1String(c.typed));
            }
            const QString message = QLatin1String(c.message);
            EXPECT_EQ(asked.m_shown, message.isEmpty() ? QStringList{} : QStringList{message}) << c.typed;
            EXPECT_EQ(Edit(dlg, "editGroupID")->text(), QString::number(c.stored)) << c.typed;
            if (typedThenOk) {
                EXPECT_EQ(dlg.isVisible(), !message.isEmpty()) << c.typed;
            }
            if (dlg.isVisible()) Key(Qt::Key_Return, Qt::ControlModifier);
            ASSERT_EQ(dlg.result(), QDialog::Accepted) << c.typed;
            EXPECT_EQ(dlg.Record().InvoiceGroupID, c.stored) << c.typed;
        }
    }
}

TEST_F(InvoiceInfoDlg, AnInvoiceNumberMustBeAPositive32BitNumber) {
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"abc", "Please enter an integer."},
        {"12.5", "Please enter an integer."},
        {"0", "The invoice number must be above 0."},
        {"-5", "The invoice number must be above 0."},
        {"2147483647", "The invoice number must be below 2147483647."},
        {"99999999999", "The invoice number must be below 2147483647."},
    };
    for (const auto& c : cases) {
        CScriptedPrompter asked;
        CInvoiceInfoDlg dlg(SampleInvoice(), &asked, Services());
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editInvoiceNumber"), QLatin1String(c.typed));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(asked.m_shown, QStringList{QLatin1String(c.message)}) << c.typed;
        EXPECT_TRUE(dlg.isVisible()) << c.typed;
        EXPECT_EQ(Focused(), Edit(dlg, "editInvoiceNumber")) << c.typed;
        EnterAndType(Edit(dlg, "editInvoiceNumber"), QStringLiteral("2147483646"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(dlg.Record().InvoiceNumber, 2147483646);
    }
}

// ======================================================================== multi-edit

TEST(InvoiceMultiEditDlg, PairsExcludeEachOtherAndNumbersShowInTheirFormats) {
    CInvoiceMultiEditDlg dlg(2);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Invoice: Multi-Edit Dialog"));
    EXPECT_TRUE(Find<QRadioButton>(dlg, "radioPriceMarkup")->isChecked());
    Click(Check(dlg, "checkDiscountPercent"));
    Click(Check(dlg, "checkDiscountAmount"));
    EXPECT_FALSE(Check(dlg, "checkDiscountPercent")->isChecked());
    Click(Check(dlg, "checkShipAmount"));
    Click(Check(dlg, "checkShipRate"));
    EXPECT_FALSE(Check(dlg, "checkShipAmount")->isChecked());

    const struct {
        const char* field;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"editDiscountPercent", "150", "100.00%"}, {"editDiscountPercent", "7.5", " 7.50%"},
        {"editTaxRate", "6", " 6.00%"},           {"editTaxRate", "-2", " 0.00%"},
        {"editDiscountAmount", "-5", "$    0.00"}, {"editDiscountAmount", "5.006", "$    5.01"},
        {"editShipRate", "0.126", "$    0.13"},   {"editShipAmount", "nan", "$    0.00"},
    };
    for (const auto& c : cases) {
        TypeAndLeave(Edit(dlg, c.field), QLatin1String(c.typed));
        EXPECT_EQ(Edit(dlg, c.field)->text(), QLatin1String(c.shown)) << c.field << " " << c.typed;
    }
    Click(Check(dlg, "checkTaxRate"));
    EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("8")); // not left: OK reads it
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CInvoiceMultiEdit c = dlg.Changes();
    EXPECT_TRUE(c.discountAmount && !c.discountPercent && c.shipRate && !c.shipAmount && c.tax);
    EXPECT_DOUBLE_EQ(c.taxRate, 0.08);
    EXPECT_DOUBLE_EQ(c.discountRate, 0.075);
    EXPECT_DOUBLE_EQ(c.discountValue, 5.01);
    EXPECT_DOUBLE_EQ(c.shipCostPerLb, 0.126); // shown in cents, kept as typed
    EXPECT_EQ(c.priceChoice, 2);
    EXPECT_FALSE(c.price);
}

TEST(InvoiceMultiEditDlg, AStatusCountsOnlyWhenClickedAwayFromUndecided) {
    const struct {
        int clicks;
        int state;
    } cases[] = {{0, -1}, {1, 0}, {2, 1}, {3, -1}, {4, 0}};
    for (const auto& c : cases) {
        CInvoiceMultiEditDlg dlg(0);
        ASSERT_TRUE(Open(dlg));
        for (int i = 0; i < c.clicks; ++i) Click(Check(dlg, "checkShipped"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Changes().shipped, c.state) << c.clicks;
        EXPECT_EQ(dlg.Changes().ordered, -1);
        EXPECT_EQ(dlg.Changes().AnyChange(), c.state != -1) << c.clicks;
    }
}

// ======================================================================== status pictures

TEST(InvoiceStatusIcons, NineDistinctSixteenPixelPicturesOnTransparency) {
    const std::vector<QIcon> icons = InvoiceStatusIcons();
    ASSERT_EQ(icons.size(), 9u);
    std::vector<QImage> images;
    for (const QIcon& icon : icons) {
        const QImage image = icon.pixmap(16, 16).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0); // drawn on transparency
        for (const QImage& other : images) EXPECT_TRUE(image != other);
        images.push_back(image);
    }
}
