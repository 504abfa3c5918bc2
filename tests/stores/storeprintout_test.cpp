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
    item.ID = id;
    item.ItemCode = code;
    item.Description = description;
    item.BaseLinePrice = 3.5;
    item.DiscountPercent = 0.10;
    item.DiscountPrice = 3.15;
    item.MarkupPercent = 0.25;
    item.MarkupPrice = 3.94;
    item.ShipPounds = 2.0;
    return item;
}

StorePrintData Sample(int items) {
    StorePrintData d;
    d.today = QDate(2026, 1, 2);
    d.store.StoreName = QStringLiteral("The Bulk Barn");
    d.store.Address1 = QStringLiteral("4 Mill Lane");
    d.store.Address2 = QStringLiteral(" ");
    d.store.City = QStringLiteral("Lakeside");
    d.store.State = QStringLiteral("OR");
    d.store.Zip = QStringLiteral("97449");
    d.store.Phone = QStringLiteral(" ");
    d.store.Phone2 = QStringLiteral("555-0142");
    d.store.Fax = QStringLiteral(" ");
    for (int n = 1; n <= items; ++n) d.items.push_back(Item(n, QStringLiteral("C%1").arg(n), QStringLiteral("Goods %1").arg(n)));
    return d;
}

std::vector<std::vector<Drawn>> PrintAll(CStorePrintout& printout, PageRect page) {
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

const Drawn* Find(const std::vector<Drawn>& page, const QString& text, int y = 1) {
    for (const Drawn& d : page)
        if (d.text == text && (y == 1 || d.y == y)) return &d;
    return nullptr;
}
int RightOf(const Drawn& d) { return d.x + int(d.text.size()) * (d.font == PrintFont::Heading ? kHeadChar : kTextChar); }

struct Expect {
    const char* text;
    int x;
    bool right; // x is the right edge
};

void CheckLine(const std::vector<Drawn>& p, int y, std::initializer_list<Expect> expected) {
    for (const Expect& e : expected) {
        const Drawn* d = Find(p, QLatin1String(e.text), y);
        ASSERT_NE(d, nullptr) << e.text;
        EXPECT_EQ(e.right ? RightOf(*d) : d->x, e.x) << e.text;
    }
}

TEST(StorePrintout, EmptyStorePrintsHeaderAndStoreBlockOnOnePage) {
    CStorePrintout printout(Sample(0));
    const auto pages = PrintAll(printout, kWide);
    ASSERT_EQ(pages.size(), 1u);
    const auto& p = pages[0];
    ASSERT_NE(Find(p, QStringLiteral("S T O R E    I T E M S")), nullptr);
    EXPECT_NE(Find(p, QStringLiteral("January 02, 2026")), nullptr);
    EXPECT_NE(Find(p, QStringLiteral("The Bulk Barn")), nullptr);
    EXPECT_EQ(Find(p, QStringLiteral("Item")), nullptr);
    EXPECT_EQ(p.size(), 6u); // title, date, name, address, city, telephone
}

TEST(StorePrintout, StoreBlockLeavesNoBlankLinesForMissingParts) {
    CStorePrintout printout(Sample(0));
    const auto p = PrintAll(printout, kWide)[0];
    const Drawn* address = Find(p, QStringLiteral("4 Mill Lane"));
    const Drawn* city = Find(p, QStringLiteral("Lakeside, OR 97449"));
    const Drawn* phone = Find(p, QStringLiteral("  Ph: 555-0142"));
    ASSERT_TRUE(address && city && phone);
    EXPECT_EQ(city->y, address->y - kH);
    EXPECT_EQ(phone->y, city->y - kH);
    const int centre = (11520 - 720) / 2;
    EXPECT_EQ(city->x, centre - 18 * kTextChar / 2);
}

TEST(StorePrintout, WideLayoutShowsPricesPercentsAndWeight) {
    CStorePrintout printout(Sample(1));
    const auto p = PrintAll(printout, kWide)[0];
    const int R = 11160, X = kHeadChar;
    const int weight = R - 8 * kHeadChar, markup = weight - 8 * kHeadChar, markupPct = markup - 3 * kHeadChar;
    const int disc = markupPct - 8 * kHeadChar, discPct = disc - 3 * kHeadChar, base = discPct - 8 * kHeadChar;
    const Drawn* code = Find(p, QStringLiteral("C1"));
    ASSERT_NE(code, nullptr);
    CheckLine(p, code->y,
              {{"1.", 360 + 4 * kHeadChar - X, true}, {"C1", 360 + 4 * kHeadChar, false},
               {"Goods 1", 360 + 8 * kHeadChar, false}, {"   3.50", discPct - X, true}, {"10%", discPct, false},
               {"   3.15", markupPct - X, true}, {"25%", markupPct, false}, {"   3.94", weight - X, true},
               {"  2.0 lb", R, true}});
    const Drawn* itemDesc = Find(p, QStringLiteral("Item Description"));
    ASSERT_NE(itemDesc, nullptr);
    CheckLine(p, itemDesc->y + CRecordingSurface::kHeadingLine,
              {{"Base", base, false}, {"Discount", discPct, false}, {"Markup", markupPct, false}, {"Ship", weight, false}});
    CheckLine(p, itemDesc->y, {{"Weight", weight, false}, {"%", discPct, false}});
    EXPECT_EQ(code->y, itemDesc->y - kH / 2 - kH);
    int dollars = 0;
    for (const Drawn& d : p) dollars += d.text == QLatin1String("$") && (d.x == base || d.x == disc || d.x == markup);
    EXPECT_EQ(dollars, 3);
}

TEST(StorePrintout, NarrowLayoutShowsOnlyTheThreePrices) {
    CStorePrintout printout(Sample(1));
    const auto p = PrintAll(printout, kNarrow)[0];
    const int R = 9000 - 360, X = kHeadChar, m = 8 * kHeadChar;
    const Drawn* code = Find(p, QStringLiteral("C1"));
    ASSERT_NE(code, nullptr);
    CheckLine(p, code->y, {{"   3.50", R - 2 * m - X, true}, {"   3.15", R - m - X, true}, {"   3.94", R, true}});
    const Drawn* mrk = Find(p, QStringLiteral("MrkUp"));
    ASSERT_NE(mrk, nullptr);
    CheckLine(p, mrk->y, {{"Base", R - 3 * m, false}, {"Disc", R - 2 * m, false}, {"Description", 360 + 8 * kHeadChar, false}});
    EXPECT_EQ(Find(p, QStringLiteral("  2.0 lb")), nullptr);
    EXPECT_EQ(Find(p, QStringLiteral("10%")), nullptr);
}

TEST(StorePrintout, LongDescriptionIsCutToEndBeforeTheBasePrice) {
    for (const PageRect& page : {kWide, kNarrow, PageRect{2000, -15024}})
        for (const QString& text : {QString(100, QLatin1Char('M')), QStringLiteral("Dried apricots from the orchard, sulphur free, in a case of twelve jars")}) {
            StorePrintData d = Sample(0);
            d.items.push_back(Item(1, QStringLiteral("LNG"), text));
            CStorePrintout printout(d);
            const auto p = PrintAll(printout, page)[0];
            const Drawn* code = Find(p, QStringLiteral("LNG"));
            const Drawn* base = Find(p, QStringLiteral("$"));
            ASSERT_TRUE(code && base);
            const int desc = 360 + 8 * kHeadChar;
            const Drawn* cut = nullptr;
            for (const Drawn& t : p)
                if (t.y == code->y && t.x == desc) cut = &t;
            const int room = base->x - desc;
            if (room <= 0) {
                EXPECT_TRUE(!cut || cut->text.isEmpty());
                continue;
            }
            ASSERT_NE(cut, nullptr);
            EXPECT_TRUE(text.startsWith(cut->text));
            EXPECT_LE(int(cut->text.size()) * kTextChar, room);
            EXPECT_GT((int(cut->text.size()) + 2) * kTextChar, room);
            EXPECT_EQ((text.size() - cut->text.size()) % 2, 0);
        }
}

TEST(StorePrintout, ACodeWiderThanItsColumnPushesTheDescriptionRight) {
    StorePrintData d = Sample(0);
    d.items.push_back(Item(1, QStringLiteral("VF-100-XL"), QString(80, QLatin1Char('d'))));
    CStorePrintout printout(d);
    const auto p = PrintAll(printout, kWide)[0];
    const Drawn* code = Find(p, QStringLiteral("VF-100-XL"));
    ASSERT_NE(code, nullptr);
    const Drawn* desc = nullptr;
    for (const Drawn& t : p)
        if (t.y == code->y && t.text.startsWith(QLatin1Char('d'))) desc = &t;
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(desc->x, code->x + 10 * kTextChar);
    const Drawn* base = Find(p, QStringLiteral("$"), code->y);
    ASSERT_NE(base, nullptr);
    EXPECT_LE(desc->x + int(desc->text.size()) * kTextChar, base->x);
}

TEST(StorePrintout, EveryItemPrintsOnceOverMoreThanFiftyPages) {
    CStorePrintout printout(Sample(3000));
    const auto pages = PrintAll(printout, kWide);
    EXPECT_GT(pages.size(), 50u);
    std::vector<int> seen(3001, 0);
    for (const auto& p : pages) {
        for (const Drawn& t : p)
            if (t.text.startsWith(QLatin1Char('C')) && t.x == 360 + 4 * kHeadChar) ++seen[size_t(t.text.mid(1).toInt())];
        EXPECT_NE(Find(p, QStringLiteral("Item Description")), nullptr);
    }
    for (int n = 1; n <= 3000; ++n) ASSERT_EQ(seen[size_t(n)], 1) << n;
    EXPECT_EQ(Find(pages[1], QStringLiteral("The Bulk Barn")), nullptr);
}

TEST(StorePrintout, TinyPagesStillEnd) {
    for (const PageRect& page : {PageRect{500, -900}, PageRect{0, 0}}) {
        CStorePrintout printout(Sample(20));
        CRecordingSurface surface;
        const int pages = printout.CountPages(surface, page);
        EXPECT_GE(pages, 20);
        EXPECT_LE(pages, 21);
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
        list->Table().AddRow({{QStringLiteral("ID"), i + 1},
                              {QStringLiteral("ItemCode"), QLatin1String(codes[i])},
                              {QStringLiteral("Description"), QStringLiteral("x")},
                              {QStringLiteral("BaseLinePrice"), 1.0 + i}});
    list->RefreshListCtrlFromRecordset();
    // Sorted by the code column, then "M" is clicked.
    list->SortListByColumn(0);
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
