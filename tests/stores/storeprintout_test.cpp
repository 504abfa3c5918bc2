// The store list printout on a recording surface, and reading it from a store's list.
#include "listharness.h"

#include "db/recordset.h"
#include "stores/storelistctrl.h"
#include "stores/storeprintout.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using Drawn = CRecordingSurface::Drawn;
constexpr int kH = CRecordingSurface::kTextLine;
constexpr int kHeadChar = CRecordingSurface::kHeadingCharWidth;
constexpr int kTextChar = CRecordingSurface::kTextCharWidth;
const PageRect kWide{11520, -15024};
const PageRect kNarrow{9000, -15024};

CStoreItemRecord Item(int id, const QString& code, const QString& description) {
    CStoreItemRecord item;
    item.ID = id; item.ItemCode = code; item.Description = description; item.ShipPounds = 2.0;
    item.BaseLinePrice = 3.5; item.DiscountPercent = 0.10; item.DiscountPrice = 3.15;
    item.MarkupPercent = 0.25; item.MarkupPrice = 3.94;
    return item;
}

StorePrintData Sample(int items) {
    StorePrintData d;
    d.today = QDate(2026, 1, 2);
    CStoreRecord& s = d.store;
    s.StoreName = QStringLiteral("The Bulk Barn"); s.Address1 = QStringLiteral("4 Mill Lane");
    s.City = QStringLiteral("Lakeside"); s.State = QStringLiteral("OR"); s.Zip = QStringLiteral("97449");
    s.Phone2 = QStringLiteral("555-0142"); s.Address2 = s.Phone = s.Fax = QStringLiteral(" ");
    for (int n = 1; n <= items; ++n) d.items.push_back(Item(n, QStringLiteral("C%1").arg(n), QStringLiteral("Goods %1").arg(n)));
    return d;
}

std::vector<std::vector<Drawn>> PrintAll(const StorePrintData& data, PageRect page) {
    CStorePrintout printout(data);
    CRecordingSurface surface;
    const int pages = printout.CountPages(surface, page);
    EXPECT_TRUE(surface.m_drawn.empty());
    std::vector<std::vector<Drawn>> out;
    for (int n = 1; n <= pages; ++n) {
        surface.NewPage();
        printout.PrintPage(surface, page, n);
        out.push_back(surface.m_drawn);
    }
    return out;
}

// The first text equal to text (on row y, unless y is 1), or null.
const Drawn* Find(const std::vector<Drawn>& page, const QString& text, int y = 1) {
    for (const Drawn& d : page)
        if (d.text == text && (y == 1 || d.y == y)) return &d;
    return nullptr;
}
int RightOf(const Drawn& d) { return d.x + int(d.text.size()) * (d.font == PrintFont::Heading ? kHeadChar : kTextChar); }

TEST(StorePrintout, EmptyStorePrintsHeaderAndStoreBlockWithoutBlankLines) {
    const auto pages = PrintAll(Sample(0), kWide);
    ASSERT_EQ(pages.size(), 1u);
    const auto& p = pages[0];
    EXPECT_NE(Find(p, QStringLiteral("S T O R E    I T E M S")), nullptr);
    EXPECT_NE(Find(p, QStringLiteral("January 02, 2026")), nullptr);
    EXPECT_NE(Find(p, QStringLiteral("The Bulk Barn")), nullptr);
    EXPECT_EQ(p.size(), 6u); // title, date, name, address, city, telephone
    const Drawn* address = Find(p, QStringLiteral("4 Mill Lane"));
    const Drawn* city = Find(p, QStringLiteral("Lakeside, OR 97449"), address ? address->y - kH : 0);
    ASSERT_TRUE(address && city);
    EXPECT_NE(Find(p, QStringLiteral("  Ph: 555-0142"), city->y - kH), nullptr);
    EXPECT_EQ(city->x, (11520 - 720) / 2 - 18 * kTextChar / 2);
}

// Each text's x (or right edge) on the item's row (row 0), the heading row named by the case
// (row 1) and the row above it (row 2); and texts the layout leaves out.
TEST(StorePrintout, LayoutsShowTheirColumns) {
    const int R = 11160, X = kHeadChar, weight = R - 8 * X, markup = weight - 8 * X, markupPct = markup - 3 * X;
    const int disc = markupPct - 8 * X, discPct = disc - 3 * X, base = discPct - 8 * X;
    const int nR = 9000 - 360, m = 8 * X;
    struct Cell {
        const char* text;
        int x;
        bool right;
        int row;
    };
    struct Case {
        PageRect page;
        const char* heading;
        std::vector<Cell> cells;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {kWide, "Item Description",
         {{"1.", 360 + 4 * X - X, true, 0}, {"C1", 360 + 4 * X, false, 0}, {"Goods 1", 360 + 8 * X, false, 0},
          {"   3.50", discPct - X, true, 0}, {"10%", discPct, false, 0}, {"   3.15", markupPct - X, true, 0},
          {"25%", markupPct, false, 0}, {"   3.94", weight - X, true, 0}, {"  2.0 lb", R, true, 0},
          {"$", base, false, 0}, {"$", disc, false, 0}, {"$", markup, false, 0},
          {"Weight", weight, false, 1}, {"%", discPct, false, 1}, {"Base", base, false, 2},
          {"Discount", discPct, false, 2}, {"Markup", markupPct, false, 2}, {"Ship", weight, false, 2}},
         {}},
        {kNarrow, "MrkUp",
         {{"   3.50", nR - 2 * m - X, true, 0}, {"   3.15", nR - m - X, true, 0}, {"   3.94", nR, true, 0},
          {"Base", nR - 3 * m, false, 1}, {"Disc", nR - 2 * m, false, 1}, {"Description", 360 + 8 * X, false, 1}},
         {"  2.0 lb", "10%"}},
    };
    for (const Case& c : cases) {
        const auto p = PrintAll(Sample(1), c.page)[0];
        const Drawn* code = Find(p, QStringLiteral("C1"));
        const Drawn* heading = Find(p, QLatin1String(c.heading));
        ASSERT_TRUE(code && heading) << c.heading;
        EXPECT_EQ(code->y, heading->y - kH / 2 - kH) << c.heading;
        for (const Cell& e : c.cells) {
            const int y = e.row == 0 ? code->y : heading->y + (e.row - 1) * CRecordingSurface::kHeadingLine;
            bool found = false;
            for (const Drawn& d : p)
                found = found || (d.text == QLatin1String(e.text) && d.y == y && (e.right ? RightOf(d) : d.x) == e.x);
            EXPECT_TRUE(found) << e.text << " on " << c.heading;
        }
        for (const char* text : c.absent) EXPECT_EQ(Find(p, QLatin1String(text)), nullptr) << text;
    }
}

// A description starts after its column or its code and ends before the base price, cut two
// characters at a time and no more than needed; with no room, none prints.
TEST(StorePrintout, DescriptionsAreCutToEndBeforeTheBasePrice) {
    const QString blanks = QStringLiteral("Dried apricots from the orchard, sulphur free, in a case of twelve jars");
    for (const PageRect& page : {kWide, kNarrow, PageRect{2000, -15024}})
        for (const auto& [code, text] : {std::pair{QStringLiteral("LNG"), blanks}, std::pair{QStringLiteral("LNG"), QString(100, QLatin1Char('M'))},
                                         std::pair{QStringLiteral("VF-100-XL"), QString(80, QLatin1Char('d'))}}) {
            StorePrintData d = Sample(0);
            d.items.push_back(Item(1, code, text));
            const auto p = PrintAll(d, page)[0];
            const Drawn* c = Find(p, code);
            ASSERT_TRUE(c);
            const Drawn* base = Find(p, QStringLiteral("$"), c->y);
            ASSERT_TRUE(base);
            const int at = std::max(360 + 8 * kHeadChar, c->x + int(code.size() + 1) * kTextChar);
            const Drawn* cut = nullptr;
            for (const Drawn& t : p)
                if (t.y == c->y && t.x == at) cut = &t;
            if (base->x <= at) {
                EXPECT_TRUE(!cut || cut->text.isEmpty()) << code.toStdString();
                continue;
            }
            ASSERT_TRUE(cut && !cut->text.isEmpty()) << code.toStdString() << " " << page.right;
            EXPECT_TRUE(text.startsWith(cut->text));
            const int right = at + int(cut->text.size()) * kTextChar;
            EXPECT_LE(right, base->x);
            EXPECT_GT(right + 2 * kTextChar, base->x) << "cut no more than needed";
            EXPECT_EQ((text.size() - cut->text.size()) % 2, 0);
        }
}

// Far past 50 pages, and on pages too small for more than a line: every item once, the headings
// on every page, the store only on the first.
TEST(StorePrintout, EveryItemPrintsOnceWhateverThePages) {
    for (const auto& [page, items] : {std::pair{kWide, 3000}, std::pair{PageRect{500, -900}, 20}, std::pair{PageRect{0, 0}, 20}}) {
        const auto pages = PrintAll(Sample(items), page);
        EXPECT_TRUE(items > 20 ? pages.size() > 50 : pages.size() == 20 || pages.size() == 21) << pages.size();
        std::vector<int> seen(size_t(items) + 1, 0);
        for (size_t n = 0; n < pages.size(); ++n) {
            for (const Drawn& t : pages[n])
                if (t.text.startsWith(QLatin1Char('C')) && t.x == 360 + 4 * kHeadChar) ++seen[size_t(t.text.mid(1).toInt())];
            EXPECT_NE(Find(pages[n], QStringLiteral("Base")), nullptr) << n;
            EXPECT_EQ(Find(pages[n], QStringLiteral("The Bulk Barn")) != nullptr, n == 0) << n;
        }
        for (int n = 1; n <= items; ++n) ASSERT_EQ(seen[size_t(n)], 1) << n << " of " << items;
    }
}

// From the store's list window: the window's row order, and the list's record put back.
TEST(StorePrintoutData, ReadsRowsInWindowOrderAndPutsTheCurrentItemBack) {
    ListHarness h;
    h.NewProject();
    CStoreListCtrl* list = h.stores->CurrentStoreList();
    ASSERT_NE(list, nullptr);
    const char* codes[] = {"M", "Z", "A"};
    for (int i = 0; i < 3; ++i)
        list->Table().AddRow({{QStringLiteral("ID"), i + 1}, {QStringLiteral("ItemCode"), QLatin1String(codes[i])},
                              {QStringLiteral("Description"), QStringLiteral("x")}, {QStringLiteral("BaseLinePrice"), 1.0 + i}});
    list->RefreshListCtrlFromRecordset();
    list->SortListByColumn(0); // then "M" is clicked
    const int rowM = list->Model()->RowOfID(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->Model()->index(rowM, 0)).center());
    const StorePrintData d = ReadStorePrintData(*h.stores);
    ASSERT_EQ(d.items.size(), 3u);
    QStringList printed, shown;
    for (int row = 0; row < 3; ++row) {
        printed << d.items[size_t(row)].ItemCode;
        shown << list->GetItemText(row, 0);
    }
    EXPECT_EQ(printed, shown);
    EXPECT_NE(printed, (QStringList{"M", "Z", "A"})) << "sorted, not in stored order";
    EXPECT_EQ(list->GetPtrRecordset()->intValue(QStringLiteral("ID")), 1);
    EXPECT_EQ(d.store.ID, list->GetStoreID());
}

} // namespace
