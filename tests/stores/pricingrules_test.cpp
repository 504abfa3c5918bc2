// How store item prices, percents and weights follow each other, without any window.
#include "stores/pricingrules.h"
#include "stores/storeitemrecord.h"

#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>

namespace {

using Table = std::vector<std::pair<QString, double>>;

// An item whose prices already agree with its percents and weight.
CStoreItemRecord PricedItem() {
    CStoreItemRecord r;
    r.ItemCode = QStringLiteral("A-100");
    r.Description = QStringLiteral("Oats");
    r.ContainerType = QStringLiteral("bag");
    r.DiscountGrpName = QStringLiteral("default");
    r.BaseLinePrice = 10.0;
    r.DiscountPercent = 0.2;
    r.DiscountPrice = 8.0;
    r.MarkupPercent = 0.5;
    r.MarkupPrice = 12.0;
    r.ProdOunces = 16.0;
    r.ProdPounds = 1.0;
    r.BasePricePerOz = 0.625;
    r.DiscPricePerOz = 0.5;
    r.MarkupPricePerOz = 0.75;
    r.UserField1 = QStringLiteral("u1");
    r.UserField2 = QStringLiteral("u2");
    return r;
}

CStoreItemRecord Apply(const CStoreItemMultiEdit& edit, CStoreItemRecord item, const Table& table = {},
                       const QStringList& containers = {}) {
    ApplyStoreItemMultiEdit(edit, table, containers, item);
    return item;
}

} // namespace

TEST(PercentFromTyped, OneOrMoreIsAPercentageBelowOneAFraction) {
    EXPECT_DOUBLE_EQ(PercentFromTyped(25.0), 0.25);
    EXPECT_DOUBLE_EQ(PercentFromTyped(0.25), 0.25);
    EXPECT_DOUBLE_EQ(PercentFromTyped(1.0), 0.01);
    EXPECT_DOUBLE_EQ(PercentFromTyped(0.999), 0.999);
    EXPECT_DOUBLE_EQ(PercentFromTyped(150.0), 1.5);
    EXPECT_EQ(PercentFromTyped(0.0), 0.0);
    EXPECT_EQ(PercentFromTyped(-5.0), 0.0);
    EXPECT_EQ(PercentFromTyped(-0.5), 0.0);
    EXPECT_EQ(PercentFromTyped(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

TEST(WeightTyped, EitherUnitSetsTheOtherAndNegativeIsNone) {
    double pounds = -1.0, ounces = -1.0;
    PoundsTyped(1.5, pounds, ounces);
    EXPECT_EQ(pounds, 1.5);
    EXPECT_EQ(ounces, 24.0);
    PoundsTyped(-2.0, pounds, ounces);
    EXPECT_EQ(pounds, 0.0);
    EXPECT_EQ(ounces, 0.0);
    OuncesTyped(8.0, pounds, ounces);
    EXPECT_EQ(pounds, 0.5);
    EXPECT_EQ(ounces, 8.0);
    OuncesTyped(-3.0, pounds, ounces);
    EXPECT_EQ(pounds, 0.0);
    EXPECT_EQ(ounces, 0.0);
}

TEST(DiscountGroupEntry, ShowsTheStoredValue) {
    EXPECT_EQ(DiscountGroupEntry(QStringLiteral("retail"), 0.25), QStringLiteral("retail ( 0.25%)"));
    EXPECT_EQ(DiscountGroupEntry(QStringLiteral("big box"), 12.5), QStringLiteral("big box (12.50%)"));
}

TEST(PricesFromDiscount, RoundsEachPriceToCentsHalfUp) {
    struct Case {
        double base, discount, markup;
        double discountPrice, markupPrice;
    };
    const Case cases[] = {
        {10.00, 0.15, 0.40, 8.50, 11.90},
        {9.99, 0.333, 0.0, 6.66, 6.66},      // 6.66333
        {0.05, 0.5, 0.0, 0.03, 0.03},        // half a cent goes up
        {4.69, 0.5, 0.0, 2.35, 2.35},        // 2.345
        {4.68, 0.5, 1.0, 2.34, 4.68},
        {0.09, 0.5, 0.5, 0.05, 0.08},        // 0.045, then 0.075
        {30000000.0, 0.0, 0.0, 30000000.0, 30000000.0},
        {10.0, 1.5, 0.5, 0.0, 0.0},          // more than all off: nothing to pay, not a credit
        {10.0, 0.5, -3.0, 5.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base << " " << c.discount << " " << c.markup);
        const CItemPrices p = PricesFromDiscount(c.base, c.discount, c.markup, 0.0);
        EXPECT_NEAR(p.discountPrice, c.discountPrice, 1e-9);
        EXPECT_NEAR(p.markupPrice, c.markupPrice, 1e-9);
        EXPECT_EQ(p.discPricePerOz, 0.0);
        EXPECT_EQ(p.markupPricePerOz, 0.0);
    }
    const CItemPrices perOz = PricesFromDiscount(10.0, 0.15, 0.40, 4.0);
    EXPECT_DOUBLE_EQ(perOz.discPricePerOz, 8.50 / 4.0);
    EXPECT_DOUBLE_EQ(perOz.markupPricePerOz, 11.90 / 4.0);
}

TEST(ValidateStoreItem, FillsTheMissingPricesAndPercents) {
    {
        SCOPED_TRACE("discount price given: the percent follows it, the markup from its percent");
        CStoreItemRecord r;
        r.BaseLinePrice = 20.0;
        r.DiscountPrice = 15.0;
        r.MarkupPercent = 0.2;
        ValidateStoreItem(r);
        EXPECT_DOUBLE_EQ(r.DiscountPercent, 0.25);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, 18.0);
        EXPECT_DOUBLE_EQ(r.MarkupPercent, 0.2);
        EXPECT_DOUBLE_EQ(r.BaseLinePrice, 20.0);
    }
    {
        SCOPED_TRACE("no base price: the discount price is the base");
        CStoreItemRecord r;
        r.DiscountPrice = 12.0;
        r.DiscountPercent = 0.3;
        ValidateStoreItem(r);
        EXPECT_EQ(r.BaseLinePrice, 12.0);
        EXPECT_EQ(r.DiscountPercent, 0.0);
        EXPECT_EQ(r.MarkupPrice, 12.0);
        EXPECT_EQ(r.MarkupPercent, 0.0);
    }
    {
        SCOPED_TRACE("markup price given: its percent follows it");
        CStoreItemRecord r;
        r.BaseLinePrice = 10.0;
        r.DiscountPrice = 8.0;
        r.MarkupPrice = 10.0;
        ValidateStoreItem(r);
        EXPECT_DOUBLE_EQ(r.MarkupPercent, 0.25);
        EXPECT_DOUBLE_EQ(r.DiscountPercent, 0.2);
    }
    {
        SCOPED_TRACE("percents typed as percentages, prices from them without rounding");
        CStoreItemRecord r;
        r.BaseLinePrice = 9.99;
        r.DiscountPercent = 33.3;
        r.MarkupPercent = 10.0;
        ValidateStoreItem(r);
        EXPECT_DOUBLE_EQ(r.DiscountPrice, 9.99 - 0.333 * 9.99);
        EXPECT_DOUBLE_EQ(r.DiscountPercent, 1.0 - r.DiscountPrice / 9.99);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, r.DiscountPrice + 0.1 * r.DiscountPrice);
    }
    {
        SCOPED_TRACE("base price alone: every price is the base");
        CStoreItemRecord r;
        r.BaseLinePrice = 7.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.DiscountPrice, 7.0);
        EXPECT_EQ(r.MarkupPrice, 7.0);
        EXPECT_EQ(r.DiscountPercent, 0.0);
        EXPECT_EQ(r.MarkupPercent, 0.0);
    }
    {
        SCOPED_TRACE("a discount price above the base leaves the percent");
        CStoreItemRecord r;
        r.BaseLinePrice = 10.0;
        r.DiscountPrice = 12.0;
        r.DiscountPercent = 0.05;
        r.MarkupPrice = 11.0;
        r.MarkupPercent = 0.3;
        ValidateStoreItem(r);
        EXPECT_EQ(r.DiscountPercent, 0.05);
        EXPECT_EQ(r.MarkupPrice, 11.0); // not above the discount price: its percent stays
        EXPECT_EQ(r.MarkupPercent, 0.3);
    }
    {
        SCOPED_TRACE("no prices at all: nothing is filled in");
        CStoreItemRecord r;
        r.BaseLinePrice = -1.0;
        r.MarkupPrice = 5.0;
        r.DiscountPercent = 0.4;
        ValidateStoreItem(r);
        EXPECT_EQ(r.BaseLinePrice, 0.0); // never stored below 0
        EXPECT_EQ(r.DiscountPrice, 0.0);
        EXPECT_EQ(r.MarkupPrice, 5.0);
        EXPECT_EQ(r.DiscountPercent, 0.4);
    }
}

TEST(ValidateStoreItem, NeverStoresANegativeOrNonFinitePriceOrPercent) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        double base, discountPrice, markupPrice, discountPercent, markupPercent;
        double wantDiscountPrice, wantMarkupPrice, wantMarkupPercent;
    };
    const Case cases[] = {
        {"all off and a markup price: no markup percent of nothing", 10.0, 0.0, 5.0, 100.0, 0.0, 0.0, 5.0, 0.0},
        {"more than all off", 10.0, 0.0, 0.0, 150.0, 0.0, 0.0, 0.0, 0.0},
        {"negative prices", -4.0, -2.0, -1.0, 0.0, 0.0, 0.0, 0.0, 0.0},
        {"a negative markup percent is not applied", 10.0, 8.0, 0.0, 0.0, -3.0, 8.0, 8.0, -3.0},
        {"prices that are no numbers", inf, nan, -inf, 0.0, 0.0, 0.0, 0.0, 0.0},
        {"percents that are no numbers", 10.0, 0.0, 0.0, nan, inf, 10.0, 10.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CStoreItemRecord r;
        r.BaseLinePrice = c.base;
        r.DiscountPrice = c.discountPrice;
        r.MarkupPrice = c.markupPrice;
        r.DiscountPercent = c.discountPercent;
        r.MarkupPercent = c.markupPercent;
        r.ProdOunces = 4.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.DiscountPrice, c.wantDiscountPrice);
        EXPECT_EQ(r.MarkupPrice, c.wantMarkupPrice);
        EXPECT_EQ(r.MarkupPercent, c.wantMarkupPercent);
        for (double v : {r.BaseLinePrice, r.DiscountPrice, r.MarkupPrice, r.BasePricePerOz, r.DiscPricePerOz,
                         r.MarkupPricePerOz}) {
            EXPECT_TRUE(std::isfinite(v)) << v;
            EXPECT_GE(v, 0.0);
        }
        EXPECT_TRUE(std::isfinite(r.DiscountPercent));
        EXPECT_TRUE(std::isfinite(r.MarkupPercent));
    }
}

TEST(StoreItemMultiEdit, ATypedPriceThatStaysSetsItsPercent) {
    struct Case {
        const char* what;
        bool discount;
        double discountValue;
        bool markup;
        double markupValue;
        double base;
        double wantDiscountPercent, wantMarkupPercent;
    };
    // The item: 20 % off, 50 % up.
    const Case cases[] = {
        {"a discount price", true, 7.0, false, 0.0, 10.0, 0.3, 0.5},
        {"nothing to pay", true, 0.0, false, 0.0, 10.0, 1.0, 0.5},
        {"a discount price above the base leaves the percent", true, 12.0, false, 0.0, 10.0, 0.2, 0.5},
        {"no base price leaves the percent", true, 7.0, false, 0.0, 0.0, 0.2, 0.5},
        {"a markup price", false, 0.0, true, 30.0, 10.0, 0.2, 2.75},
        {"a markup price below the discount price leaves the percent", false, 0.0, true, 6.0, 10.0, 0.2, 0.5},
        {"both: the markup price gives way, its percent stays", true, 6.0, true, 30.0, 10.0, 0.4, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CStoreItemRecord item = PricedItem();
        item.BaseLinePrice = c.base;
        CStoreItemMultiEdit edit;
        edit.discountPrice = c.discount;
        edit.discountPriceValue = c.discountValue;
        edit.markupPrice = c.markup;
        edit.markupPriceValue = c.markupValue;
        const CStoreItemRecord r = Apply(edit, item);
        EXPECT_DOUBLE_EQ(r.DiscountPercent, c.wantDiscountPercent);
        EXPECT_DOUBLE_EQ(r.MarkupPercent, c.wantMarkupPercent);
    }
    // With a discount price of 0 a markup price sets no percent.
    CStoreItemRecord item = PricedItem();
    item.DiscountPrice = 0.0;
    CStoreItemMultiEdit edit;
    edit.markupPrice = true;
    edit.markupPriceValue = 4.0;
    const CStoreItemRecord r = Apply(edit, item);
    EXPECT_EQ(r.MarkupPrice, 4.0);
    EXPECT_EQ(r.MarkupPercent, 0.5);
}

TEST(ValidateStoreItem, GivesEveryItemADiscountGroupName) {
    struct Case {
        const char* given;
        const char* kept;
    };
    const Case cases[] = {{"", "default"},          {"   ", "default"}, {"retail  ", "retail"},
                          {" retail", " retail"}, {"big box \t", "big box"}};
    for (const Case& c : cases) {
        CStoreItemRecord r;
        r.DiscountGrpName = QString::fromLatin1(c.given);
        ValidateStoreItem(r);
        EXPECT_EQ(r.DiscountGrpName, QString::fromLatin1(c.kept)) << '"' << c.given << '"';
    }
}

TEST(ValidateStoreItem, FillsTheMissingWeightsAndPricesPerOunce) {
    {
        SCOPED_TRACE("product ounces alone");
        CStoreItemRecord r;
        r.BaseLinePrice = 10.0;
        r.DiscountPrice = 8.0;
        r.MarkupPrice = 12.0;
        r.ProdOunces = 8.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.ProdPounds, 0.5);
        EXPECT_EQ(r.ShipPounds, 0.5);
        EXPECT_EQ(r.ShipOunces, 8.0);
        EXPECT_DOUBLE_EQ(r.BasePricePerOz, 10.0 / 8.0);
        EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 8.0 / 8.0);
        EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 12.0 / 8.0);
    }
    {
        SCOPED_TRACE("shipping pounds alone give the product weight too");
        CStoreItemRecord r;
        r.BaseLinePrice = 16.0;
        r.ShipPounds = 2.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.ShipOunces, 32.0);
        EXPECT_EQ(r.ProdPounds, 2.0);
        EXPECT_EQ(r.ProdOunces, 32.0);
        EXPECT_DOUBLE_EQ(r.BasePricePerOz, 0.5);
    }
    {
        SCOPED_TRACE("shipping pounds without ounces are not replaced by the product's");
        CStoreItemRecord r;
        r.ProdPounds = 1.0;
        r.ShipPounds = 3.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.ProdOunces, 16.0);
        EXPECT_EQ(r.ShipPounds, 3.0);
        EXPECT_EQ(r.ShipOunces, 48.0);
    }
    {
        SCOPED_TRACE("shipping ounces with product pounds: shipping pounds from the product");
        CStoreItemRecord r;
        r.ProdPounds = 1.0;
        r.ShipOunces = 20.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.ShipPounds, 1.0);
        EXPECT_EQ(r.ShipOunces, 20.0);
    }
    {
        SCOPED_TRACE("no product weight: stale prices per ounce are cleared");
        CStoreItemRecord r;
        r.BaseLinePrice = 5.0;
        r.BasePricePerOz = 1.0;
        r.DiscPricePerOz = 2.0;
        r.MarkupPricePerOz = 3.0;
        ValidateStoreItem(r);
        EXPECT_EQ(r.ProdPounds, 0.0);
        EXPECT_EQ(r.ShipPounds, 0.0);
        EXPECT_EQ(r.BasePricePerOz, 0.0);
        EXPECT_EQ(r.DiscPricePerOz, 0.0);
        EXPECT_EQ(r.MarkupPricePerOz, 0.0);
    }
}

TEST(StoreItemMultiEdit, AnyTickedSeesEachOfTheThirteenBoxes) {
    EXPECT_FALSE(CStoreItemMultiEdit{}.AnyTicked());
    bool CStoreItemMultiEdit::*const ticks[] = {
        &CStoreItemMultiEdit::searchItemCode, &CStoreItemMultiEdit::changeGroup,
        &CStoreItemMultiEdit::searchDescription, &CStoreItemMultiEdit::changeContainer,
        &CStoreItemMultiEdit::basePrice,      &CStoreItemMultiEdit::discountPrice,
        &CStoreItemMultiEdit::markupPrice,    &CStoreItemMultiEdit::markupPercent,
        &CStoreItemMultiEdit::stockQty,       &CStoreItemMultiEdit::user1,
        &CStoreItemMultiEdit::user2,          &CStoreItemMultiEdit::shipWeight,
        &CStoreItemMultiEdit::prodWeight};
    for (size_t i = 0; i < std::size(ticks); ++i) {
        CStoreItemMultiEdit edit;
        edit.*ticks[i] = true;
        EXPECT_TRUE(edit.AnyTicked()) << i;
    }
}

TEST(StoreItemMultiEdit, NothingTickedChangesNothingButBlankTexts) {
    const CStoreItemRecord before = PricedItem();
    CStoreItemMultiEdit edit;
    edit.basePriceValue = 99.0;
    edit.groupName = QStringLiteral("x");
    edit.groupPercent = 0.5;
    edit.stockQtyValue = 4;
    const CStoreItemRecord after = Apply(edit, before);
    EXPECT_EQ(after.BaseLinePrice, before.BaseLinePrice);
    EXPECT_EQ(after.DiscountPrice, before.DiscountPrice);
    EXPECT_EQ(after.MarkupPrice, before.MarkupPrice);
    EXPECT_EQ(after.DiscountGrpName, before.DiscountGrpName);
    EXPECT_EQ(after.DiscountPercent, before.DiscountPercent);
    EXPECT_EQ(after.QtyInStock, before.QtyInStock);

    CStoreItemRecord blank;
    blank = Apply(edit, blank);
    EXPECT_EQ(blank.ContainerType, QStringLiteral(" "));
    EXPECT_EQ(blank.DiscountGrpName, QStringLiteral(" "));
    EXPECT_EQ(blank.UserField1, QStringLiteral(" "));
    EXPECT_EQ(blank.UserField2, QStringLiteral(" "));
    EXPECT_EQ(blank.ItemCode, QString()); // only those four are kept from being empty
}

TEST(StoreItemMultiEdit, PlainValuesAreWrittenAsGiven) {
    CStoreItemMultiEdit edit;
    edit.stockQty = true;
    edit.stockQtyValue = 42;
    edit.user1 = true;
    edit.user1Text = QStringLiteral("aisle 3");
    edit.user2 = true; // cleared: stored as a blank
    edit.shipWeight = true;
    edit.shipPounds = 2.0;
    edit.shipOunces = 32.0;
    const CStoreItemRecord r = Apply(edit, PricedItem());
    EXPECT_EQ(r.QtyInStock, 42);
    EXPECT_EQ(r.UserField1, QStringLiteral("aisle 3"));
    EXPECT_EQ(r.UserField2, QStringLiteral(" "));
    EXPECT_EQ(r.ShipPounds, 2.0);
    EXPECT_EQ(r.ShipOunces, 32.0);
    EXPECT_EQ(r.ProdOunces, 16.0);
}

TEST(StoreItemMultiEdit, ANewBasePriceRecomputesTheDiscountAndMarkupPrices) {
    struct Case {
        double base, discount, markup;
        double discountPrice, markupPrice;
    };
    const Case cases[] = {{10.00, 0.15, 0.40, 8.50, 11.90}, {9.99, 0.333, 0.0, 6.66, 6.66},
                          {0.05, 0.5, 0.5, 0.03, 0.05}}; // 0.025 and 0.045 both round up
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        CStoreItemRecord item = PricedItem();
        item.DiscountPercent = c.discount;
        item.MarkupPercent = c.markup;
        CStoreItemMultiEdit edit;
        edit.basePrice = true;
        edit.basePriceValue = c.base;
        const CStoreItemRecord r = Apply(edit, item);
        EXPECT_EQ(r.BaseLinePrice, c.base);
        EXPECT_NEAR(r.DiscountPrice, c.discountPrice, 1e-9);
        EXPECT_NEAR(r.MarkupPrice, c.markupPrice, 1e-9);
        EXPECT_DOUBLE_EQ(r.BasePricePerOz, c.base / 16.0);
        EXPECT_DOUBLE_EQ(r.DiscPricePerOz, r.DiscountPrice / 16.0);
        EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, r.MarkupPrice / 16.0);
    }
}

TEST(StoreItemMultiEdit, LaterStepsOverwriteTickedPricesTheyDependOn) {
    {
        SCOPED_TRACE("a ticked discount price gives way to one from a new base price");
        CStoreItemMultiEdit edit;
        edit.basePrice = true;
        edit.basePriceValue = 20.0;
        edit.discountPrice = true;
        edit.discountPriceValue = 7.0;
        const CStoreItemRecord r = Apply(edit, PricedItem()); // 20 % off, 50 % up
        EXPECT_DOUBLE_EQ(r.DiscountPrice, 16.0);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, 24.0);
    }
    {
        SCOPED_TRACE("a ticked discount price alone stays, and the markup follows it");
        CStoreItemMultiEdit edit;
        edit.discountPrice = true;
        edit.discountPriceValue = 7.0;
        const CStoreItemRecord r = Apply(edit, PricedItem());
        EXPECT_EQ(r.DiscountPrice, 7.0);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, 10.5);
        EXPECT_DOUBLE_EQ(r.DiscountPercent, 0.3);
        EXPECT_EQ(r.BasePricePerOz, 0.625);
        EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 7.0 / 16.0);
        EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 10.5 / 16.0);
    }
    {
        SCOPED_TRACE("a ticked markup price gives way to one from a new discount price");
        CStoreItemMultiEdit edit;
        edit.discountPrice = true;
        edit.discountPriceValue = 6.0;
        edit.markupPrice = true;
        edit.markupPriceValue = 30.0;
        const CStoreItemRecord r = Apply(edit, PricedItem());
        EXPECT_DOUBLE_EQ(r.MarkupPrice, 9.0);
    }
    {
        SCOPED_TRACE("a ticked markup price alone stays; its percent follows it");
        CStoreItemMultiEdit edit;
        edit.markupPrice = true;
        edit.markupPriceValue = 30.0;
        const CStoreItemRecord r = Apply(edit, PricedItem());
        EXPECT_EQ(r.MarkupPrice, 30.0);
        EXPECT_DOUBLE_EQ(r.MarkupPercent, 2.75);
        EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 30.0 / 16.0);
        EXPECT_EQ(r.DiscPricePerOz, 0.5);
    }
    {
        SCOPED_TRACE("a new markup percent recomputes the markup price from the discount price");
        CStoreItemMultiEdit edit;
        edit.markupPercent = true;
        edit.markupPercentValue = 0.25;
        const CStoreItemRecord r = Apply(edit, PricedItem());
        EXPECT_EQ(r.MarkupPercent, 0.25);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, 10.0);
        EXPECT_EQ(r.DiscountPrice, 8.0);
    }
}

TEST(StoreItemMultiEdit, ANewWeightAloneLeavesThePricesPerOunce) {
    CStoreItemMultiEdit edit;
    edit.prodWeight = true;
    edit.prodPounds = 2.0;
    edit.prodOunces = 32.0;
    CStoreItemRecord r = Apply(edit, PricedItem());
    EXPECT_EQ(r.ProdPounds, 2.0);
    EXPECT_EQ(r.ProdOunces, 32.0);
    EXPECT_EQ(r.BasePricePerOz, 0.625);
    EXPECT_EQ(r.DiscPricePerOz, 0.5);
    EXPECT_EQ(r.MarkupPricePerOz, 0.75);

    // With a price change the new weight is the one used.
    edit.basePrice = true;
    edit.basePriceValue = 8.0;
    r = Apply(edit, PricedItem());
    EXPECT_DOUBLE_EQ(r.BasePricePerOz, 0.25);
    EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 6.4 / 32.0);
    EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 9.6 / 32.0);

    // Without any weight the old prices per ounce stay as they were.
    edit.prodPounds = 0.0;
    edit.prodOunces = 0.0;
    r = Apply(edit, PricedItem());
    EXPECT_DOUBLE_EQ(r.DiscountPrice, 6.4);
    EXPECT_EQ(r.BasePricePerOz, 0.625);
    EXPECT_EQ(r.DiscPricePerOz, 0.5);
    EXPECT_EQ(r.MarkupPricePerOz, 0.75);
}

TEST(StoreItemMultiEdit, SearchingTheItemCodeTakesTheFirstGroupInTableOrderWithTheSameCase) {
    const Table table = {{QStringLiteral("sale"), 0.10}, {QStringLiteral("SALE"), 0.30},
                         {QStringLiteral("CL"), 0.50}};
    CStoreItemMultiEdit edit;
    edit.searchItemCode = true;
    edit.changeGroup = true; // the search wins over a chosen group
    edit.groupName = QStringLiteral("chosen");
    edit.groupPercent = 0.9;
    struct Case {
        const char* code;
        const char* group;
        double percent, discountPrice, markupPrice;
    };
    const Case cases[] = {
        {"CL-SALE-1", "SALE", 0.30, 7.00, 10.50}, // table order, not where the name is in the code
        {"xsale", "sale", 0.10, 9.00, 13.50},
        {"CL9", "CL", 0.50, 5.00, 7.50},
        {"Sale-01", "default", 0.20, 8.25, 12.00}, // other letter case: the item is left as it was
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CStoreItemRecord item = PricedItem();
        item.ItemCode = QString::fromLatin1(c.code);
        item.DiscountPrice = 8.25; // not what the percent gives: shows whether it was recomputed
        const CStoreItemRecord r = Apply(edit, item, table);
        EXPECT_EQ(r.DiscountGrpName, QString::fromLatin1(c.group));
        EXPECT_DOUBLE_EQ(r.DiscountPercent, c.percent);
        EXPECT_DOUBLE_EQ(r.DiscountPrice, c.discountPrice);
        EXPECT_DOUBLE_EQ(r.MarkupPrice, c.markupPrice);
    }
}

TEST(StoreItemMultiEdit, AChosenGroupSetsNameAndPercentAndRecomputesThePrices) {
    CStoreItemMultiEdit edit;
    edit.changeGroup = true;
    edit.groupName = QStringLiteral("staff");
    edit.groupPercent = 0.5;
    const CStoreItemRecord r = Apply(edit, PricedItem(), {{QStringLiteral("default"), 0.0}});
    EXPECT_EQ(r.DiscountGrpName, QStringLiteral("staff"));
    EXPECT_EQ(r.DiscountPercent, 0.5);
    EXPECT_DOUBLE_EQ(r.DiscountPrice, 5.0);
    EXPECT_DOUBLE_EQ(r.MarkupPrice, 7.5);
    EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 5.0 / 16.0);
    EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 7.5 / 16.0);
    EXPECT_EQ(r.BasePricePerOz, 0.625);
}

TEST(StoreItemMultiEdit, SearchingTheDescriptionTakesTheFirstContainerInListOrderWithTheSameCase) {
    const QStringList containers = {QStringLiteral("box"), QStringLiteral("bag"), QStringLiteral("can")};
    CStoreItemMultiEdit edit;
    edit.searchDescription = true;
    edit.changeContainer = true; // the search wins over a chosen container
    edit.containerName = QStringLiteral("jug");
    struct Case {
        const char* description;
        const char* container;
    };
    const Case cases[] = {{"oats, bag of 4 in a box", "box"},
                          {"flour bag", "bag"},
                          {"canned beans", "can"},
                          {"Big BOX", "other"}, // no match: left as it was
                          {"", "other"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        CStoreItemRecord item = PricedItem();
        item.Description = QString::fromLatin1(c.description);
        item.ContainerType = QStringLiteral("other");
        EXPECT_EQ(Apply(edit, item, {}, containers).ContainerType, QString::fromLatin1(c.container));
    }
    edit.searchDescription = false;
    EXPECT_EQ(Apply(edit, PricedItem(), {}, containers).ContainerType, QStringLiteral("jug"));
    edit.containerName.clear();
    EXPECT_EQ(Apply(edit, PricedItem(), {}, containers).ContainerType, QStringLiteral(" "));
}
