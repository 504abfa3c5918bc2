// The invoice printout on a recording surface: every text and its position, page by page.
#include "items/invoiceprintout.h"
#include "itemshop.h"

#include <gtest/gtest.h>

namespace {

using Drawn = CRecordingSurface::Drawn;
constexpr int kH = CRecordingSurface::kTextLine;
constexpr int kHead = CRecordingSurface::kHeadingLine;
constexpr int kTextChar = CRecordingSurface::kTextCharWidth;
constexpr int kHeadChar = CRecordingSurface::kHeadingCharWidth;
const PageRect kLetter{11520, -15024}; // 8 by 10.43 inches: wide
const PageRect kNarrow{9000, -15024};

CInvoiceItemRecord Line(const QString& code, const QString& description, int quantity, int backOrder,
                        double weight = 0.5, double base = 2.0) {
    CInvoiceItemRecord line;
    line.ItemCode = code;
    line.Description = description;
    line.Quantity = quantity;
    line.BackOrderCnt = backOrder;
    line.ItemWeight = weight;
    line.BaseLinePrice = base;
    line.DiscountPrice = base - 0.5;
    line.MarkupPrice = base * 2;
    return line;
}

InvoicePrintData Sample(int lines = 1) {
    InvoicePrintData d;
    d.today = QDate(2026, 12, 8);
    d.store.StoreName = QStringLiteral("Valley Foods");
    d.store.Address1 = QStringLiteral("12 Main St");
    d.store.Address2 = QStringLiteral(" ");
    d.store.City = QStringLiteral("Springfield");
    d.store.State = QStringLiteral("IL");
    d.store.Zip = QStringLiteral("62701");
    d.store.Phone = QStringLiteral("555-0100");
    d.store.Phone2 = d.store.Fax = QStringLiteral(" ");
    CCustomerRecord c;
    c.CustomerNbr = 7;
    c.Name = QStringLiteral("Alice Adams");
    c.Address1 = QStringLiteral("1 Elm Road");
    c.Address2 = QStringLiteral(" ");
    c.City = QStringLiteral("Riverton");
    c.State = QStringLiteral("WY");
    c.Zip = QStringLiteral("82501");
    c.Phone = QStringLiteral("555-1234");
    c.Work = QStringLiteral("555-9876");
    c.Comment = QStringLiteral("Leave at door");
    d.customer = c;
    CInvoiceRecord i;
    i.InvoiceNumber = 42;
    i.DateEntered = QDate(1899, 12, 30).daysTo(QDate(2026, 3, 5)) + 0.5;
    i.Ordered = true;
    i.ItemsSubtotal = 100;
    i.DiscountPercent = 0.05;
    i.DiscountAmount = 5;
    i.ShipWeight = 12.5;
    i.ShipCostPerLb = 0.35;
    i.ShipCharge = 4.38;
    i.TaxRate = 0.08;
    i.SalesTax = 6.89;
    i.InvoiceTotal = 106.27;
    i.AmountPaid = 50;
    d.invoice = i;
    for (int n = 1; n <= lines; ++n) d.lines.push_back(Line(QStringLiteral("C%1").arg(n), QStringLiteral("Item %1").arg(n), 3, 1));
    return d;
}

// Every page of a printout, as drawn.
std::vector<std::vector<Drawn>> PrintAll(CInvoicePrintout& printout, PageRect page) {
    CRecordingSurface surface;
    const int pages = printout.CountPages(surface, page);
    EXPECT_TRUE(surface.m_drawn.empty()) << "counting draws nothing";
    std::vector<std::vector<Drawn>> out;
    for (int n = 1; n <= pages; ++n) {
        surface.NewPage();
        printout.PrintPage(surface, page, n);
        out.push_back(surface.m_drawn);
    }
    return out;
}

const Drawn* Find(const std::vector<Drawn>& page, const QString& text) {
    for (const Drawn& d : page)
        if (d.text == text) return &d;
    return nullptr;
}
int Count(const std::vector<Drawn>& page, const QString& text) {
    return int(std::count_if(page.begin(), page.end(), [&](const Drawn& d) { return d.text == text; }));
}

// The right edge of a text drawn right-aligned.
int RightOf(const Drawn& d) { return d.x + int(d.text.size()) * (d.font == PrintFont::Heading ? kHeadChar : kTextChar); }

TEST(InvoicePrintout, FirstPageBlocksStandWhereTheyBelong) {
    CInvoicePrintout printout(Sample());
    const auto pages = PrintAll(printout, kLetter);
    ASSERT_EQ(pages.size(), 1u);
    const auto& p = pages[0];
    const int R = 11520 - 360;
    struct Case {
        const char* text;
        int x, y;
    };
    const int title = -(kHead + 360);
    const int store = title - (kHead + 360);
    const int centre = (11520 - 720) / 2;
    const int storeEnd = store - 3 * kH - kH;  // address, city, phone, then one more line
    const int customer = storeEnd - kHead;
    const int customerEnd = customer - kHead - 3 * kH - 2 * kH;
    const Case cases[] = {
        {"I N V O I C E", 360, title},
        {"December 08, 2026", R - 17 * kHeadChar, title},
        {"Valley Foods", centre - 12 * kHeadChar / 2, store},
        {"12 Main St", centre - 10 * kTextChar / 2, store - kH},
        {"Springfield, IL 62701", centre - 21 * kTextChar / 2, store - 2 * kH},
        {"Ph: 555-0100", centre - 12 * kTextChar / 2, store - 3 * kH},
        {"Customer # 7", 360, customer},
        {"Alice Adams", 360, customer - kHead},
        {"1 Elm Road", 360, customer - kHead - kH},
        {"Riverton, WY 82501", 360, customer - kHead - 2 * kH},
        {"Ph: 555-1234  Wk: 555-9876", 360, customer - kHead - 3 * kH},
        {"Leave at door", 360, customer - kHead - 4 * kH},
        {"Invoice # 42", R - 12 * kHeadChar, customerEnd - kHead},
        {"Created: Mar 05, 2026", R - 21 * kTextChar, customerEnd - kHead - kH},
    };
    for (const Case& c : cases) {
        const Drawn* d = Find(p, QLatin1String(c.text));
        ASSERT_NE(d, nullptr) << c.text;
        EXPECT_EQ(d->x, c.x) << c.text;
        EXPECT_EQ(d->y, c.y) << c.text;
    }
}

TEST(InvoicePrintout, CustomerWithoutAddressLinesShowsNumberThenComment) {
    InvoicePrintData d = Sample();
    for (QString* f : {&d.customer->Name, &d.customer->Address1, &d.customer->Address2, &d.customer->City,
                       &d.customer->State, &d.customer->Zip, &d.customer->Phone, &d.customer->Work})
        *f = QStringLiteral(" ");
    CInvoicePrintout printout(d);
    const auto p = PrintAll(printout, kLetter)[0];
    const Drawn* number = Find(p, QStringLiteral("Customer # 7"));
    const Drawn* comment = Find(p, QStringLiteral("Leave at door"));
    ASSERT_TRUE(number && comment);
    EXPECT_EQ(comment->y, number->y - kH);
    // Nothing else at the left margin between the number and the comment.
    for (const Drawn& t : p)
        if (t.x == 360 && t.y < number->y && t.y > comment->y) {
            ADD_FAILURE() << t.text.toStdString();
        }
    const Drawn* invoice = Find(p, QStringLiteral("Invoice # 42"));
    ASSERT_TRUE(invoice);
    EXPECT_EQ(invoice->y, number->y - 2 * kH - kHead);
}

TEST(InvoicePrintout, UnsetDateEnteredPrintsNoDate) {
    InvoicePrintData d = Sample();
    d.invoice->DateEntered = 0;
    CInvoicePrintout printout(d);
    const auto p = PrintAll(printout, kLetter)[0];
    EXPECT_NE(Find(p, QStringLiteral("Invoice # 42")), nullptr);
    for (const Drawn& t : p) EXPECT_FALSE(t.text.startsWith(QLatin1String("Created:"))) << t.text.toStdString();
}

TEST(InvoicePrintout, WideLineShowsOrderedSoldBackOrderWeightAndCostOfShippedUnits) {
    InvoicePrintData d = Sample(0);
    d.lines.push_back(Line(QStringLiteral("AB1"), QStringLiteral("Rolled oats"), 3, 1, 4.0, 2.5));
    CInvoicePrintout printout(d);
    const auto p = PrintAll(printout, kLetter)[0];
    const int L = 360, R = 11520 - 360, X = kHeadChar, W4 = 4 * kHeadChar, W8 = 8 * kHeadChar;
    const int a = L + W4, b = L + 2 * W4, c = L + 3 * W4, dcol = L + 4 * W4, e = L + 5 * W4;
    const int t = R - W8, u = R - X - 2 * W8;
    const Drawn* code = Find(p, QStringLiteral("AB1"));
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->x, dcol);
    const int y = code->y;
    struct Right {
        const char* text;
        int right;
    };
    for (const Right& r : {Right{"1.", a - X}, Right{"3", b - 2 * X}, Right{"2", c - 2 * X},
                           Right{"1", dcol - 2 * X}, Right{"   8", u - 2 * X}, Right{"   2.50", t - X},
                           Right{"   5.00", R}}) {
        const Drawn* dr = nullptr;
        for (const Drawn& x : p)
            if (x.text == QLatin1String(r.text) && x.y == y && RightOf(x) == r.right) dr = &x;
        EXPECT_NE(dr, nullptr) << r.text;
    }
    const Drawn* desc = Find(p, QStringLiteral("Rolled oats"));
    ASSERT_TRUE(desc);
    EXPECT_EQ(desc->x, e);
    // Headings: two lines, the second under the first.
    const Drawn* ordr = Find(p, QStringLiteral("Ordr"));
    const Drawn* weight = Find(p, QStringLiteral("Weight"));
    ASSERT_TRUE(ordr && weight);
    EXPECT_EQ(ordr->x, a);
    EXPECT_EQ(weight->x, u - 6 * kHeadChar);
    EXPECT_EQ(Count(p, QStringLiteral("Qty")), 3);
    EXPECT_EQ(y, ordr->y - kHead / 2 - kH);
}

TEST(InvoicePrintout, LinePriceFollowsThePriceChoice) {
    for (const auto& [choice, unit] : std::initializer_list<std::pair<int, const char*>>{{0, "   2.00"}, {1, "   1.50"}, {2, "   4.00"}, {7, "   2.00"}}) {
        InvoicePrintData d = Sample(1);
        d.invoice->PriceChoice = choice;
        CInvoicePrintout printout(d);
        const auto p = PrintAll(printout, kLetter)[0];
        const int unitRight = 11520 - 360 - 8 * kHeadChar - kHeadChar;
        bool found = false;
        for (const Drawn& t : p) found = found || (t.text == QLatin1String(unit) && RightOf(t) == unitRight);
        EXPECT_TRUE(found) << choice;
    }
}

TEST(InvoicePrintout, NarrowLayoutShowsSoldCountZeroUntilOrdered) {
    for (const bool ordered : {false, true}) {
        InvoicePrintData d = Sample(0);
        d.invoice->Ordered = ordered;
        d.lines.push_back(Line(QStringLiteral("Q7"), QStringLiteral("Honey"), 5, 2));
        CInvoicePrintout printout(d);
        const auto p = PrintAll(printout, kNarrow)[0];
        EXPECT_EQ(Find(p, QStringLiteral("Ordr")), nullptr);
        const Drawn* each = Find(p, QStringLiteral("Each"));
        const Drawn* code = Find(p, QStringLiteral("Q7"));
        ASSERT_TRUE(each && code);
        const int L = 360, W3 = 3 * kHeadChar, X = kHeadChar;
        const int b = L + 2 * W3;
        EXPECT_EQ(code->x, b);
        EXPECT_EQ(each->x, 9000 - 360 - 2 * 8 * kHeadChar - X);
        const QString sold = ordered ? QStringLiteral("3") : QStringLiteral("0");
        bool found = false;
        for (const Drawn& t : p) found = found || (t.text == sold && t.y == code->y && RightOf(t) == b - 2 * X);
        EXPECT_TRUE(found) << ordered;
    }
}

TEST(InvoicePrintout, LongDescriptionsAreCutTwoCharactersAtATimeToFit) {
    const QString blanks = QStringLiteral("Organic rolled oats from the valley mill in the big family size sack");
    const QString noBlanks = QString(100, QLatin1Char('W'));
    for (const PageRect& page : {kLetter, kNarrow})
        for (const QString& text : {blanks, noBlanks}) {
            InvoicePrintData d = Sample(0);
            d.lines.push_back(Line(QStringLiteral("K1"), text, 1, 0));
            CInvoicePrintout printout(d);
            const auto p = PrintAll(printout, page)[0];
            const Drawn* code = Find(p, QStringLiteral("K1"));
            ASSERT_TRUE(code);
            const Drawn* desc = nullptr;
            for (const Drawn& t : p)
                if (t.y == code->y && text.startsWith(t.text) && t.x > code->x) desc = &t;
            ASSERT_TRUE(desc);
            const bool wide = page.right >= 10080;
            const int R = page.right - 360;
            const int u = wide ? R - kHeadChar - 16 * kHeadChar : R - 16 * kHeadChar - kHeadChar;
            const int limit = wide ? u - 6 * kHeadChar - desc->x - 2 : u - desc->x - 2;
            EXPECT_LE(int(desc->text.size()) * kTextChar, limit);
            EXPECT_GT((int(desc->text.size()) + 2) * kTextChar, limit) << "cut no more than needed";
            EXPECT_EQ((text.size() - desc->text.size()) % 2, 0);
        }
}

TEST(InvoicePrintout, ACodeWiderThanItsColumnPushesTheDescriptionRight) {
    for (const PageRect& page : {kLetter, kNarrow}) {
        InvoicePrintData d = Sample(0);
        d.lines.push_back(Line(QStringLiteral("OG-113-LONG"), QString(60, QLatin1Char('d')), 1, 0));
        CInvoicePrintout printout(d);
        const auto p = PrintAll(printout, page)[0];
        const Drawn* code = Find(p, QStringLiteral("OG-113-LONG"));
        ASSERT_TRUE(code);
        const Drawn* desc = nullptr;
        for (const Drawn& t : p)
            if (t.y == code->y && t.text.startsWith(QLatin1Char('d'))) desc = &t;
        ASSERT_TRUE(desc);
        EXPECT_EQ(desc->x, code->x + 12 * kTextChar);
        const bool wide = page.right >= 10080;
        const int R = page.right - 360;
        const int u = R - kHeadChar - 16 * kHeadChar;
        EXPECT_LE(desc->x + int(desc->text.size()) * kTextChar, (wide ? u - 6 * kHeadChar : u) - 2);
    }
}

TEST(InvoicePrintout, NarrowLayoutOnASmallPageEnds) {
    for (const PageRect& page : {PageRect{1000, -15024}, PageRect{0, -800}, PageRect{3000, -2000}}) {
        InvoicePrintData d = Sample(30);
        d.lines[0].Description = QString(100, QLatin1Char('W'));
        CInvoicePrintout printout(d);
        const auto pages = PrintAll(printout, page);
        int printed = 0;
        for (const auto& p : pages)
            for (int n = 1; n <= 30; ++n) printed += Count(p, QStringLiteral("%1.").arg(n));
        EXPECT_EQ(printed, 30) << page.right << "x" << page.bottom;
    }
}

TEST(InvoicePrintout, TotalsBlockHasSevenLinesWithTheInvoiceAmounts) {
    CInvoicePrintout printout(Sample(1));
    const auto p = PrintAll(printout, kLetter)[0];
    const int R = 11520 - 360, V = 8 * kTextChar;
    const std::pair<const char*, const char*> rows[] = {
        {"Subtotal:  $", "100.00"},
        {"Discount:  5.0%  $", "5.00"},
        {"Shipping: 12.5 lbs at $0.35 per lb  $", "4.38"},
        {"Sales Tax: 8.0%,  $", "6.89"},
        {"Invoice Total:  $", "106.27"},
        {"Amount Paid:  $", "50.00"},
        {"Balance Due:  $", "56.27"},
    };
    int y = 0;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Drawn* label = Find(p, QLatin1String(rows[i].first));
        const Drawn* amount = Find(p, QLatin1String(rows[i].second));
        ASSERT_TRUE(label && amount) << rows[i].first;
        EXPECT_EQ(RightOf(*label), R - V) << rows[i].first;
        EXPECT_EQ(RightOf(*amount), R) << rows[i].second;
        EXPECT_EQ(amount->y, label->y);
        if (i > 0) {
            EXPECT_EQ(label->y, y - kH) << rows[i].first;
        }
        y = label->y;
    }
}

TEST(InvoicePrintout, LinesThatLeaveNoRoomForTotalsPrintTwoPages) {
    // The first count of lines whose totals no longer fit on the first page.
    int lines = 1;
    for (; lines < 200; ++lines) {
        CInvoicePrintout probe(Sample(lines));
        CRecordingSurface surface;
        if (probe.CountPages(surface, kLetter) == 2) break;
    }
    ASSERT_LT(lines, 200);
    CInvoicePrintout printout(Sample(lines));
    const auto pages = PrintAll(printout, kLetter);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(Find(pages[0], QStringLiteral("%1.").arg(lines)), nullptr) << "every line on page 1";
    EXPECT_EQ(Find(pages[0], QStringLiteral("Subtotal:  $")), nullptr);
    EXPECT_NE(Find(pages[1], QStringLiteral("Ordr")), nullptr) << "page 2 has its headings";
    EXPECT_NE(Find(pages[1], QStringLiteral("Balance Due:  $")), nullptr);
    EXPECT_EQ(Find(pages[1], QStringLiteral("1.")), nullptr);
    EXPECT_EQ(Find(pages[1], QStringLiteral("I N V O I C E")), nullptr);
}

TEST(InvoicePrintout, ManyPagesPrintEveryLineOnceBeyondFiftyPages) {
    CInvoicePrintout printout(Sample(3000));
    const auto pages = PrintAll(printout, kLetter);
    EXPECT_GT(pages.size(), 50u);
    std::vector<int> seen(3001, 0);
    for (const auto& p : pages) {
        for (const Drawn& t : p)
            if (t.text.endsWith(QLatin1Char('.')) && t.x < 360 + 4 * kHeadChar) ++seen[size_t(t.text.chopped(1).toInt())];
        EXPECT_NE(Find(p, QStringLiteral("Ordr")), nullptr);
    }
    for (int n = 1; n <= 3000; ++n) ASSERT_EQ(seen[size_t(n)], 1) << n;
    EXPECT_NE(Find(pages.back(), QStringLiteral("Balance Due:  $")), nullptr);
}

TEST(InvoicePrintout, WithoutInvoiceOrLinesOnlyTheBlocksThatExistPrint) {
    InvoicePrintData none = Sample(0);
    none.invoice.reset();
    CInvoicePrintout a(none);
    auto p = PrintAll(a, kLetter);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(Find(p[0], QStringLiteral("Customer # 7")), nullptr);
    EXPECT_EQ(Find(p[0], QStringLiteral("Subtotal:  $")), nullptr);
    EXPECT_EQ(Find(p[0], QStringLiteral("Invoice # 42")), nullptr);

    CInvoicePrintout b(Sample(0));
    p = PrintAll(b, kLetter);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(Find(p[0], QStringLiteral("Item")), nullptr) << "no headings without lines";
    EXPECT_NE(Find(p[0], QStringLiteral("Subtotal:  $")), nullptr);
}

// Reading the printout from the lists leaves the selected line the current record.
TEST(InvoicePrintoutData, ReadsLinesInListOrderAndPutsTheCurrentLineBack) {
    ItemShop shop;
    shop.AddInvoice(500);
    shop.Exec(QStringLiteral("update [Invoice] set [Ordered] = 1 where [ID] = 500"));
    shop.AddLine(901, 500, 101, 3, 1);
    shop.AddLine(902, 500, 102, 2, 0);
    shop.AddLine(903, 500, 103, 1, 0);
    ItemShop::ClickRow(shop.h.items, shop.h.items->Model()->RowOfID(902));
    const InvoicePrintData d = ReadInvoicePrintData(*shop.h.customers, *shop.h.invoices, *shop.h.items, *shop.h.stores);
    ASSERT_EQ(d.lines.size(), 3u);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(d.lines[size_t(row)].ID, shop.h.items->GetItemID(row));
    EXPECT_EQ(shop.h.items->GetPtrRecordset()->intValue(QStringLiteral("ID")), 902);
    ASSERT_TRUE(d.invoice && d.customer);
    EXPECT_EQ(d.invoice->InvoiceNumber, 500);
    EXPECT_EQ(d.customer->Name, QStringLiteral("Alice"));
    EXPECT_EQ(d.store.ID, shop.storeID);
}

} // namespace
