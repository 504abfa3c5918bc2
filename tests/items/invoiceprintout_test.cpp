// The invoice printout on a recording surface: every text and its position, page by page.
#include "items/invoiceprintout.h"
#include "itemshop.h"

#include <gtest/gtest.h>

namespace {

using Drawn = CRecordingSurface::Drawn;
using Page = std::vector<Drawn>;
constexpr int kH = CRecordingSurface::kTextLine;
constexpr int kHead = CRecordingSurface::kHeadingLine;
constexpr int kTextChar = CRecordingSurface::kTextCharWidth;
constexpr int X = CRecordingSurface::kHeadingCharWidth;
const PageRect kWide{11520, -15024};
const PageRect kNarrow{9000, -15024};

CInvoiceItemRecord Line(const QString& code, const QString& description, int quantity = 3, int backOrder = 1) {
    CInvoiceItemRecord line;
    line.ItemCode = code; line.Description = description; line.Quantity = quantity; line.BackOrderCnt = backOrder;
    line.ItemWeight = 4.0; line.BaseLinePrice = 2.5; line.DiscountPrice = 2.0; line.MarkupPrice = 5.0;
    return line;
}

InvoicePrintData Sample(int lines = 1) {
    InvoicePrintData d;
    d.today = QDate(2026, 12, 8);
    CStoreRecord& s = d.store;
    s.StoreName = QStringLiteral("Valley Foods"); s.Address1 = QStringLiteral("12 Main St");
    s.City = QStringLiteral("Springfield"); s.State = QStringLiteral("IL"); s.Zip = QStringLiteral("62701");
    s.Phone = QStringLiteral("555-0100"); s.Address2 = s.Phone2 = s.Fax = QStringLiteral(" ");
    CCustomerRecord& c = d.customer.emplace();
    c.CustomerNbr = 7; c.Name = QStringLiteral("Alice Adams"); c.Address1 = QStringLiteral("1 Elm Road");
    c.Address2 = QStringLiteral(" "); c.City = QStringLiteral("Riverton"); c.State = QStringLiteral("WY");
    c.Zip = QStringLiteral("82501"); c.Phone = QStringLiteral("555-1234"); c.Work = QStringLiteral("555-9876");
    c.Comment = QStringLiteral("Leave at door");
    CInvoiceRecord& i = d.invoice.emplace();
    i.InvoiceNumber = 42; i.Ordered = true; i.DateEntered = QDate(1899, 12, 30).daysTo(QDate(2026, 3, 5)) + 0.5;
    i.ItemsSubtotal = 100; i.DiscountPercent = 0.05; i.DiscountAmount = 5; i.ShipWeight = 12.5; i.ShipCostPerLb = 0.35;
    i.ShipCharge = 4.38; i.TaxRate = 0.08; i.SalesTax = 6.89; i.InvoiceTotal = 106.27; i.AmountPaid = 50;
    for (int n = 1; n <= lines; ++n) d.lines.push_back(Line(QStringLiteral("C%1").arg(n), QStringLiteral("Item %1").arg(n)));
    return d;
}

// Every page of a printout, as drawn.
std::vector<Page> PrintAll(const InvoicePrintData& data, PageRect page = kWide) {
    CInvoicePrintout printout(data);
    CRecordingSurface surface;
    const int pages = printout.CountPages(surface, page);
    EXPECT_TRUE(surface.m_drawn.empty()) << "counting draws nothing";
    std::vector<Page> out;
    for (int n = 1; n <= pages; ++n) {
        surface.NewPage();
        printout.PrintPage(surface, page, n);
        out.push_back(surface.m_drawn);
    }
    return out;
}

// The first text equal to text (on row y, unless y is 1), or null.
const Drawn* Find(const Page& page, const QString& text, int y = 1) {
    for (const Drawn& d : page)
        if (d.text == text && (y == 1 || d.y == y)) return &d;
    return nullptr;
}
int RightOf(const Drawn& d) { return d.x + int(d.text.size()) * (d.font == PrintFont::Heading ? X : kTextChar); }

// Where each block's texts stand; blank customer lines leave no gaps and an unset DateEntered
// prints no date.
TEST(InvoicePrintout, FirstPageBlocksStandWhereTheyBelong) {
    const int R = 11520 - 360, centre = (11520 - 720) / 2;
    const int title = -(kHead + 360), store = title - (kHead + 360), customer = store - 4 * kH - kHead;
    const int invoice = customer - kHead - 5 * kH;
    struct At {
        const char* text;
        int x, y;
    };
    InvoicePrintData blank = Sample();
    for (QString* f : {&blank.customer->Name, &blank.customer->Address1, &blank.customer->Address2, &blank.customer->City,
                       &blank.customer->State, &blank.customer->Zip, &blank.customer->Phone, &blank.customer->Work})
        *f = QStringLiteral(" ");
    blank.invoice->DateEntered = 0;
    const std::pair<InvoicePrintData, std::vector<At>> cases[] = {
        {Sample(),
         {{"I N V O I C E", 360, title}, {"December 08, 2026", R - 17 * X, title},
          {"Valley Foods", centre - 12 * X / 2, store}, {"12 Main St", centre - 10 * kTextChar / 2, store - kH},
          {"Springfield, IL 62701", centre - 21 * kTextChar / 2, store - 2 * kH}, {"Ph: 555-0100", centre - 6 * kTextChar, store - 3 * kH},
          {"Customer # 7", 360, customer}, {"Alice Adams", 360, customer - kHead}, {"1 Elm Road", 360, customer - kHead - kH},
          {"Riverton, WY 82501", 360, customer - kHead - 2 * kH}, {"Ph: 555-1234  Wk: 555-9876", 360, customer - kHead - 3 * kH},
          {"Leave at door", 360, customer - kHead - 4 * kH}, {"Invoice # 42", R - 12 * X, invoice - kHead},
          {"Created: Mar 05, 2026", R - 21 * kTextChar, invoice - kHead - kH}}},
        {blank, {{"Customer # 7", 360, customer}, {"Leave at door", 360, customer - kH}, {"Invoice # 42", R - 12 * X, customer - 2 * kH - kHead}}},
    };
    for (const auto& [data, texts] : cases) {
        const auto pages = PrintAll(data);
        ASSERT_EQ(pages.size(), 1u);
        for (const At& c : texts) {
            const Drawn* d = Find(pages[0], QLatin1String(c.text));
            ASSERT_NE(d, nullptr) << c.text;
            EXPECT_EQ(std::pair(d->x, d->y), std::pair(c.x, c.y)) << c.text;
        }
        const bool dated = data.invoice->DateEntered > 0;
        EXPECT_EQ(std::count_if(pages[0].begin(), pages[0].end(), [](const Drawn& t) { return t.text.startsWith(QLatin1String("Created:")); }), dated ? 1 : 0);
    }
}

// One line "AB1" (3 ordered, 1 back-ordered, 4 lb, prices 2.50/2.00/5.00): each column's right edge.
TEST(InvoicePrintout, LineColumnsFollowLayoutOrderedStateAndPriceChoice) {
    const int R = 11520 - 360, W4 = 4 * X, W8 = 8 * X, a = 360 + W4, b = a + W4, c = b + W4, dcol = c + W4;
    const int t = R - W8, u = R - X - 2 * W8;
    const int nR = 9000 - 360, nb = 360 + 6 * X, nu = nR - 2 * W8 - X, nt = nR - W8;
    struct Case {
        PageRect page;
        bool ordered;
        int choice;
        int codeX;
        std::vector<std::pair<const char*, int>> rights;
    };
    const Case cases[] = {
        {kWide, true, 0, dcol, {{"1.", a - X}, {"3", b - 2 * X}, {"2", c - 2 * X}, {"1", dcol - 2 * X}, {"   8", u - 2 * X}, {"   2.50", t - X}, {"   5.00", R}}},
        {kWide, true, 1, dcol, {{"   2.00", t - X}, {"   4.00", R}}},
        {kWide, true, 2, dcol, {{"   5.00", t - X}, {"  10.00", R}}},
        {kWide, true, 7, dcol, {{"   2.50", t - X}}},
        {kNarrow, false, 0, nb, {{"0", nb - 2 * X}, {"   2.50", nt - X}}},
        {kNarrow, true, 0, nb, {{"2", nb - 2 * X}, {"   5.00", nR}}},
    };
    for (const Case& k : cases) {
        InvoicePrintData d = Sample(0);
        d.invoice->Ordered = k.ordered;
        d.invoice->PriceChoice = k.choice;
        d.lines.push_back(Line(QStringLiteral("AB1"), QStringLiteral("Rolled oats")));
        const Page p = PrintAll(d, k.page)[0];
        const Drawn* code = Find(p, QStringLiteral("AB1"));
        ASSERT_NE(code, nullptr);
        EXPECT_EQ(code->x, k.codeX);
        for (const auto& [text, right] : k.rights) {
            bool found = false;
            for (const Drawn& x : p) found = found || (x.text == QLatin1String(text) && x.y == code->y && RightOf(x) == right);
            EXPECT_TRUE(found) << text << " choice " << k.choice << " ordered " << k.ordered;
        }
        const bool wide = k.page.right == kWide.right;
        // Headings: two lines on the wide layout, the line half a heading below them.
        const Drawn* ordr = Find(p, QStringLiteral("Ordr"));
        const Drawn* each = Find(p, QStringLiteral("Each"));
        ASSERT_EQ(ordr != nullptr, wide);
        ASSERT_EQ(each != nullptr, !wide);
        EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const Drawn& t) { return t.text == QLatin1String("Qty"); }), wide ? 3 : 1);
        if (wide) {
            const Drawn* weight = Find(p, QStringLiteral("Weight"), ordr->y);
            ASSERT_NE(weight, nullptr);
            EXPECT_EQ(std::pair(ordr->x, weight->x), std::pair(a, u - 6 * X));
            EXPECT_EQ(code->y, ordr->y - kHead / 2 - kH);
        } else {
            EXPECT_EQ(each->x, nu);
        }
    }
}

// A description ends before the next column, cut two characters at a time and no more than needed;
// a code wider than its column pushes it right.
TEST(InvoicePrintout, DescriptionsAreCutToFitAfterTheirCode) {
    const QString blanks = QStringLiteral("Organic rolled oats from the valley mill in the big family size sack");
    for (const PageRect& page : {kWide, kNarrow})
        for (const auto& [code, text] : {std::pair{QStringLiteral("K1"), blanks}, std::pair{QStringLiteral("K1"), QString(100, QLatin1Char('W'))},
                                         std::pair{QStringLiteral("OG-113-LONG"), QString(60, QLatin1Char('d'))}}) {
            InvoicePrintData d = Sample(0);
            d.lines.push_back(Line(code, text, 1, 0));
            const Page p = PrintAll(d, page)[0];
            const Drawn* c = Find(p, code);
            ASSERT_TRUE(c);
            const Drawn* desc = nullptr;
            for (const Drawn& t : p)
                if (t.y == c->y && t.x > c->x && text.startsWith(t.text) && !t.text.isEmpty()) desc = &t;
            ASSERT_TRUE(desc) << code.toStdString();
            const bool wide = page.right == kWide.right;
            const int column = wide ? 360 + 20 * X : 360 + 10 * X;
            EXPECT_EQ(desc->x, std::max(column, c->x + int(code.size() + 1) * kTextChar)) << code.toStdString();
            const int u = page.right - 360 - 17 * X, end = (wide ? u - 6 * X : u) - 2;
            const int right = desc->x + int(desc->text.size()) * kTextChar;
            EXPECT_LE(right, end);
            EXPECT_GT(right + 2 * kTextChar, end) << "cut no more than needed";
            EXPECT_EQ((text.size() - desc->text.size()) % 2, 0);
        }
}

TEST(InvoicePrintout, TotalsBlockHasSevenLinesWithTheInvoiceAmounts) {
    const Page p = PrintAll(Sample())[0];
    const int R = 11520 - 360;
    const std::pair<const char*, const char*> rows[] = {
        {"Subtotal:  $", "100.00"}, {"Discount:  5.0%  $", "5.00"}, {"Shipping: 12.5 lbs at $0.35 per lb  $", "4.38"},
        {"Sales Tax: 8.0%,  $", "6.89"}, {"Invoice Total:  $", "106.27"}, {"Amount Paid:  $", "50.00"},
        {"Balance Due:  $", "56.27"},
    };
    const Drawn* previous = nullptr;
    for (const auto& [label, value] : rows) {
        const Drawn* l = Find(p, QLatin1String(label));
        ASSERT_TRUE(l) << label;
        const Drawn* amount = Find(p, QLatin1String(value), l->y);
        ASSERT_TRUE(amount) << value;
        EXPECT_EQ(RightOf(*l), R - 8 * kTextChar) << label;
        EXPECT_EQ(RightOf(*amount), R) << value;
        if (previous) {
            EXPECT_EQ(l->y, previous->y - kH) << label;
        }
        previous = l;
    }
}

// The first count of lines that pushes the totals to page 2, and a run far past 50 pages:
// every line once, headings on every page, the title first, the totals last.
TEST(InvoicePrintout, PagesCarryEveryLineOnceHeadingsOnEachAndTotalsOnTheLast) {
    int justOver = 1;
    for (CRecordingSurface s; justOver < 200 && CInvoicePrintout(Sample(justOver)).CountPages(s, kWide) < 2;) ++justOver;
    ASSERT_LT(justOver, 200);
    for (const int lines : {justOver, 3000}) {
        const auto pages = PrintAll(Sample(lines));
        if (lines == justOver) {
            ASSERT_EQ(pages.size(), 2u);
            EXPECT_NE(Find(pages[0], QStringLiteral("%1.").arg(lines)), nullptr) << "every line on page 1";
        } else {
            EXPECT_GT(pages.size(), 50u);
        }
        std::vector<int> seen(size_t(lines) + 1, 0);
        for (size_t n = 0; n < pages.size(); ++n) {
            for (const Drawn& t : pages[n])
                if (t.text.endsWith(QLatin1Char('.')) && t.x < 360 + 4 * X) ++seen[size_t(t.text.chopped(1).toInt())];
            EXPECT_NE(Find(pages[n], QStringLiteral("Ordr")), nullptr) << n;
            EXPECT_EQ(Find(pages[n], QStringLiteral("I N V O I C E")) != nullptr, n == 0) << n;
            EXPECT_EQ(Find(pages[n], QStringLiteral("Subtotal:  $")) != nullptr, n + 1 == pages.size()) << n;
        }
        for (int n = 1; n <= lines; ++n) ASSERT_EQ(seen[size_t(n)], 1) << n << " of " << lines;
    }
}

// Pages too small for a description or a line still end, each line printed once.
TEST(InvoicePrintout, SmallPagesEndWithEveryLine) {
    for (const PageRect& page : {PageRect{1000, -15024}, PageRect{0, -800}, PageRect{3000, -2000}}) {
        InvoicePrintData d = Sample(30);
        d.lines[0].Description = QString(100, QLatin1Char('W'));
        int printed = 0;
        for (const Page& p : PrintAll(d, page))
            for (const Drawn& t : p) printed += t.text.endsWith(QLatin1Char('.')) && t.text.chopped(1).toInt() > 0;
        EXPECT_EQ(printed, 30) << page.right << "x" << page.bottom;
    }
}

TEST(InvoicePrintout, WithoutInvoiceOrLinesOnlyTheBlocksThatExistPrint) {
    InvoicePrintData none = Sample(0);
    none.invoice.reset();
    for (const auto& [data, hasInvoice] : {std::pair{none, false}, std::pair{Sample(0), true}}) {
        const auto p = PrintAll(data);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_NE(Find(p[0], QStringLiteral("Customer # 7")), nullptr);
        EXPECT_EQ(Find(p[0], QStringLiteral("Item")), nullptr) << "no headings without lines";
        EXPECT_EQ(Find(p[0], QStringLiteral("Invoice # 42")) != nullptr, hasInvoice);
        EXPECT_EQ(Find(p[0], QStringLiteral("Subtotal:  $")) != nullptr, hasInvoice);
    }
}

// Read from the lists after a click on a line: list order, and the clicked line current again.
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
