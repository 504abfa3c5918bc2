// The invoice arithmetic, the status model and the rules of the invoice dialogs, as tables.
#include "invoices/invoicerules.h"
#include "project/numberrules.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kNow = 46000.5;
constexpr double kEarlier = 45900.25;

// S, p, D, r, C, t, X, T of an invoice.
std::vector<double> Amounts(const CInvoiceRecord& r) {
    return {r.ItemsSubtotal, r.DiscountPercent, r.DiscountAmount, r.ShipCostPerLb,
            r.ShipCharge,    r.TaxRate,         r.SalesTax,       r.InvoiceTotal};
}

template <class Label>
void ExpectAmounts(const std::vector<double>& got, const std::vector<double>& want, const Label& label) {
    for (size_t i = 0; i < want.size(); ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << label << ", value " << i;
}

} // namespace

TEST(InvoiceRoundToCents, NegativesRoundAsTheNegativeOfTheirSize) {
    const struct {
        double value, rounded;
    } cases[] = {
        {1.234, 1.23},       {1.235, 1.24},           {-1.234, -1.23},           {-1.235, -1.24},
        {-1.23, -1.23},      {-0.004, 0.0},           {-21474836.47, -21474836.47}, {-98765432.105, -98765432.11},
        {21474836.475, 21474836.48}, {123456789012.344, 123456789012.34},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundToCents(c.value), c.rounded) << c.value;
    EXPECT_FALSE(std::signbit(RoundToCents(-0.004))); // shown as 0.00, never -0.00
    // An overpayment of 1.23 is a balance of -1.23.
    EXPECT_EQ(FormatC("$%10.2f", RoundToCents(107.00 - 108.23)), QStringLiteral("$     -1.23"));
}

TEST(ComputeInvoice, GivesTheAmountsOfItsInputs) {
    const struct {
        double S, p, W, r, t;
        double D, C, X, T;
    } cases[] = {
        {100.00, 0.10, 12.5, 0.80, 0.07, 10.00, 10.00, 7.00, 107.00},
        {19.99, 0.15, 0, 0, 0, 3.00, 0, 0, 16.99},
        {0, 0.10, 10, 1.00, 0.05, 0, 10.00, 0.50, 10.50}, // shipping alone is taxed
        {250.00, 0.05, 3, 2.00, 0, 12.50, 6.00, 0, 243.50}, // not taxable
        {80.00, 1.50, 0, 0, 0.10, 80.00, 0, 0, 0},          // a rate above 100 % is cut to 100 %
        {80.00, -0.20, 2, -1.00, -0.10, 0, 0, 0, 80.00},    // negative rates count as 0
        {30000000.00, 0.10, 0, 0, 0.0825, 3000000.00, 0, 2227500.00, 29227500.00},
    };
    for (const auto& c : cases) {
        const InvoiceAmounts a = ComputeInvoice(c.S, c.p, c.W, c.r, c.t);
        ExpectAmounts({a.D, a.C, a.X, a.T}, {c.D, c.C, c.X, c.T}, c.S);
    }
    // A group invoice keeps the plain sum.
    const InvoiceAmounts g = ComputeInvoice(0.1 + 0.2, 0, 0, 0, 0, false);
    EXPECT_EQ(g.T, 0.1 + 0.2);
}

TEST(DeriveInvoiceStatus, LaterRulesOverrideEarlierOnes) {
    enum : unsigned { O = 1, H = 2, S = 4, R = 8, U = 16, P = 32, C = 64 };
    const struct {
        unsigned flags;
        const char* text;
        double date;
        int icon;
    } cases[] = {
        {0, "New", 1, 0},          {O, "Ordered", 2, 1},       {O | H, "On Hold", 3, 2},
        {H | S, "Shipped", 4, 3},  {U, "Picked Up", 6, 5},     {S | U, "Shipped", 4, 3},
        {S | U | R, "Received", 5, 4}, {R | H, "Received", 5, 4}, {O | S | P, "Paid", 8, 6},
        {P | C, "CLOSED", 7, 7},   {C, "CLOSED", 7, 7},
    };
    for (const auto& c : cases) {
        CInvoiceRecord r;
        r.DateEntered = 1, r.DateOrdered = 2, r.DateOnHold = 3, r.DateShipped = 4, r.DateReceived = 5;
        r.DatePickedUp = 6, r.DateClosed = 7, r.DatePaid = 8;
        r.Ordered = c.flags & O, r.OnHold = c.flags & H, r.Shipped = c.flags & S, r.Received = c.flags & R;
        r.PickedUp = c.flags & U, r.Paid = c.flags & P, r.Closed = c.flags & C;
        const InvoiceStatus s = DeriveInvoiceStatus(r);
        EXPECT_EQ(s.text, QLatin1String(c.text)) << c.flags;
        EXPECT_EQ(s.date, c.date) << c.flags;
        EXPECT_EQ(s.icon, c.icon) << c.flags;
    }
}

TEST(CheckInvoiceFlag, ChecksAndUnchecksTheImpliedBoxes) {
    using F = InvoiceFlag;
    const struct {
        F checked;
        std::vector<F> set, cleared;
    } cases[] = {
        {F::Ordered, {F::Ordered}, {}},
        {F::OnHold, {F::OnHold, F::Ordered}, {F::Shipped, F::Received, F::PickedUp}},
        {F::Shipped, {F::Shipped, F::Ordered}, {F::OnHold, F::PickedUp}},
        {F::Received, {F::Received, F::Ordered, F::Shipped}, {F::OnHold, F::PickedUp}},
        {F::PickedUp, {F::PickedUp, F::Ordered}, {F::Shipped, F::Received, F::OnHold}},
        {F::Paid, {F::Paid, F::Ordered}, {F::OnHold}},
        {F::Closed, {F::Closed}, {}},
    };
    for (const auto& c : cases) {
        for (bool allSetBefore : {false, true}) {
            CInvoiceRecord r;
            for (F f : kAllInvoiceFlags) {
                FlagOf(r, f) = allSetBefore && f != c.checked;
                DateOf(r, f) = allSetBefore && f != c.checked ? kEarlier : 0;
            }
            CheckInvoiceFlag(r, c.checked, true, kNow);
            for (F f : kAllInvoiceFlags) {
                const bool inSet = std::find(c.set.begin(), c.set.end(), f) != c.set.end();
                const bool inCleared = std::find(c.cleared.begin(), c.cleared.end(), f) != c.cleared.end();
                const bool expected = inSet || (allSetBefore && !inCleared);
                EXPECT_EQ(FlagOf(r, f), expected) << int(c.checked) << " " << int(f) << " " << allSetBefore;
                // Only a flag that went from cleared to set is dated now; one already set keeps its date.
                const double date = !expected ? 0 : (allSetBefore && f != c.checked) ? kEarlier : kNow;
                EXPECT_EQ(DateOf(r, f), date) << int(c.checked) << " " << int(f) << " " << allSetBefore;
            }
        }
    }
}

namespace {

CInvoiceRecord OpenInvoice(double S, double p, double W, double r, double t) {
    CInvoiceRecord rec;
    rec.ItemsSubtotal = S, rec.DiscountPercent = p, rec.ShipWeight = W, rec.ShipCostPerLb = r, rec.TaxRate = t;
    const InvoiceAmounts a = ComputeInvoice(S, p, W, r, t);
    rec.DiscountAmount = a.D, rec.ShipCharge = a.C, rec.SalesTax = a.X, rec.InvoiceTotal = a.T;
    rec.UserField1 = rec.UserField2 = QStringLiteral(" ");
    return rec;
}

} // namespace

TEST(ApplyInvoiceMultiEdit, RecomputesEachInvoiceFromItsOwnValues) {
    CInvoiceMultiEdit tax, amount, percent, shipping, price;
    tax.tax = true, tax.taxRate = 0.06;
    amount.discountAmount = true, amount.discountValue = 5.00;
    percent.discountPercent = true, percent.discountRate = 0.20;
    shipping.shipAmount = true, shipping.shipCharge = 9.00;
    price.price = true, price.priceChoice = 2;
    const struct {
        const char* name;
        CInvoiceMultiEdit edit;
        CInvoiceRecord before;
        double subtotal;
        double p, D, r, C, t, X, T;
        int priceChoice;
    } cases[] = {
        {"tax", tax, OpenInvoice(100, 0.10, 12.5, 0.80, 0.07), 100, 0.10, 10, 0.80, 10, 0.06, 6.00, 106.00, 0},
        // no items: a discount amount cannot make the total negative
        {"amount, no items", amount, OpenInvoice(0, 0.10, 0, 0, 0.05), 0, 0.10, 0, 0, 0, 0.05, 0, 0, 0},
        {"amount", amount, OpenInvoice(50, 0, 0, 0, 0), 50, 0.1, 5, 0, 0, 0, 0, 45, 0},
        {"percent", percent, OpenInvoice(50, 0, 0, 0, 0.10), 50, 0.2, 10, 0, 0, 0.10, 4.00, 44, 0},
        {"shipping, no weight", shipping, OpenInvoice(50, 0, 0, 0.7, 0), 50, 0, 0, 0.7, 9, 0, 0, 59, 0},
        {"shipping", shipping, OpenInvoice(50, 0, 4, 0.7, 0), 50, 0, 0, 2.25, 9, 0, 0, 59, 0},
        // a new price choice: the discount follows the new subtotal
        {"price", price, OpenInvoice(100, 0.10, 0, 0, 0.05), 150, 0.10, 15, 0, 0, 0.05, 6.75, 141.75, 2},
    };
    for (const auto& c : cases) {
        CInvoiceRecord rec = c.before;
        ASSERT_TRUE(ApplyInvoiceMultiEdit(c.edit, rec, c.subtotal, kNow)) << c.name;
        ExpectAmounts(Amounts(rec), {c.subtotal, c.p, c.D, c.r, c.C, c.t, c.X, c.T}, c.name);
        EXPECT_EQ(rec.PriceChoice, c.priceChoice) << c.name;
    }
}

TEST(ApplyInvoiceMultiEdit, StatusesChangeOnlyWhenDecidedAndDateOnlyNewFlags) {
    CInvoiceMultiEdit e;
    e.shipped = 1, e.ordered = 1, e.onHold = 0, e.received = -1; // ordered was set already
    CInvoiceRecord rec = OpenInvoice(10, 0, 0, 0, 0);
    rec.Ordered = rec.OnHold = rec.Received = true;
    rec.DateOrdered = rec.DateOnHold = rec.DateReceived = kEarlier;
    ASSERT_TRUE(ApplyInvoiceMultiEdit(e, rec, 10, kNow));
    EXPECT_TRUE(rec.Shipped && rec.Ordered && !rec.OnHold && rec.Received && !rec.Closed && !rec.PickedUp);
    EXPECT_EQ(rec.DateShipped, kNow);
    EXPECT_EQ(rec.DateOrdered, kEarlier); // a cleared date stays too: when it was last set
    EXPECT_EQ(rec.DateOnHold, kEarlier);
    EXPECT_EQ(rec.DateReceived, kEarlier);
}

TEST(ApplyInvoiceMultiEdit, LeavesClosedInvoicesAndStoresEmptyTextsAsABlank) {
    CInvoiceMultiEdit e;
    e.tax = e.user1 = true, e.taxRate = 0.5, e.closed = 0;
    CInvoiceRecord closed = OpenInvoice(10, 0, 0, 0, 0);
    closed.Closed = true;
    EXPECT_FALSE(ApplyInvoiceMultiEdit(e, closed, 99, kNow));
    EXPECT_TRUE(closed.Closed);
    EXPECT_EQ(closed.TaxRate, 0);
    EXPECT_EQ(closed.ItemsSubtotal, 10);
    CInvoiceRecord open = OpenInvoice(10, 0, 0, 0, 0);
    ASSERT_TRUE(ApplyInvoiceMultiEdit(e, open, 10, kNow));
    EXPECT_EQ(open.UserField1, QStringLiteral(" "));
}

TEST(ValidateInvoiceValues, FillsWhatAnImportLacks) {
    const struct {
        const char* name;
        double S, p, D, W, r, C, t, X, T, P;
        double p2, D2, r2, C2, t2, X2, T2;
    } cases[] = {
        {"rates only", 100, 0.10, 0, 12.5, 0.80, 0, 0.07, 0, 0, 0, 0.10, 10, 0.80, 10, 0.07, 7, 107},
        {"amounts only", 100, 0, 10, 12.5, 0, 10, 0, 7, 107, 0, 0.10, 10, 0.80, 10, 0.07, 7, 107},
        {"both", 100, 0.20, 10, 0, 0, 0, 0, 0, 90, 0, 0.10, 10, 0, 0, 0, 0, 90},
        {"discount above subtotal", 100, 0, 150, 0, 0, 0, 0, 0, 0, 0, 1.0, 100, 0, 0, 0, 0, 0},
        {"no items", 0, 0.10, 0, 0, 0, 0, 0, 3, 0, 0, 0.10, 0, 0, 0, 0, 3, 0},
    };
    for (const auto& c : cases) {
        CInvoiceRecord rec;
        rec.ItemsSubtotal = c.S, rec.DiscountPercent = c.p, rec.DiscountAmount = c.D, rec.ShipWeight = c.W;
        rec.ShipCostPerLb = c.r, rec.ShipCharge = c.C, rec.TaxRate = c.t, rec.SalesTax = c.X;
        rec.InvoiceTotal = c.T, rec.AmountPaid = c.P;
        ValidateInvoiceValues(rec);
        ExpectAmounts(Amounts(rec), {c.S, c.p2, c.D2, c.r2, c.C2, c.t2, c.X2, c.T2}, c.name);
    }
}

TEST(ValidateInvoiceValues, MakesTheFlagsAgreeAndLeavesClosedInvoices) {
    enum : unsigned { O = 1, H = 2, S = 4, R = 8, U = 16 };
    const struct {
        unsigned before;
        double T, P;
        unsigned after;
    } cases[] = {
        {H | S, 0, 0, S},         {H | U, 0, 0, U},       {H | R, 0, 0, R | S},
        {H, 50, 50, H | O},       {0, 0.01, 0, 0},        {0, 50, 49.995, O},
        {0, 50, 49.98, 0},
    };
    for (const auto& c : cases) {
        CInvoiceRecord rec;
        rec.InvoiceTotal = c.T, rec.AmountPaid = c.P;
        rec.Ordered = c.before & O, rec.OnHold = c.before & H, rec.Shipped = c.before & S;
        rec.Received = c.before & R, rec.PickedUp = c.before & U;
        ValidateInvoiceValues(rec);
        const unsigned after = (rec.Ordered ? O : 0u) | (rec.OnHold ? H : 0u) | (rec.Shipped ? S : 0u) |
                               (rec.Received ? R : 0u) | (rec.PickedUp ? U : 0u);
        EXPECT_EQ(after, c.after) << c.before << " " << c.T;
    }
    CInvoiceRecord closed;
    closed.Closed = closed.OnHold = closed.Received = true;
    closed.ItemsSubtotal = 100, closed.TaxRate = 0.1;
    EXPECT_FALSE(ValidateInvoiceValues(closed));
    EXPECT_TRUE(closed.OnHold);
    EXPECT_EQ(closed.SalesTax, 0);
}
