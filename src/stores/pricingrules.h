#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

struct CStoreItemRecord;

// How a store item's prices hang together.
struct CItemPrices {
    double discountPrice = 0.0;
    double markupPrice = 0.0;
    double discPricePerOz = 0.0;
    double markupPricePerOz = 0.0;
};

// A price as it may be stored: never below 0, never infinite or NaN (those become 0).
double StorablePrice(double price);

// The discount price from the base price and the markup price from the discount price, rounded
// to cents; a percent over 100 % or below -100 % gives 0, not a negative price.
double DiscountedPrice(double basePrice, double discountPercent);
double MarkedUpPrice(double discountPrice, double markupPercent);

// The percent a typed price stands for, so that the percent gives the price back: 1 - D/B for a
// discount price D not above a base price B > 0, M/D - 1 for a markup price M not below a
// discount price D > 0; otherwise the percent as it was.
double DiscountPercentOfPrice(double basePrice, double discountPrice, double percent);
double MarkupPercentOfPrice(double discountPrice, double markupPrice, double percent);

// Discount and markup prices (rounded to cents) and their prices per ounce (0 without a
// product weight) from the base price, the discount and the markup percents.
CItemPrices PricesFromDiscount(double basePrice, double discountPercent, double markupPercent,
                               double prodOunces);

// A price per ounce of product weight: 0 when there is no weight.
inline double PricePerOunce(double price, double prodOunces) {
    return prodOunces > 0.0 ? price / prodOunces : 0.0;
}

// A typed discount or markup percent as a fraction: 1 or more is a percentage (25 and 0.25 both
// mean 25 %, 1 means 1 %); never negative.
double PercentFromTyped(double number);

// A typed weight in one unit and the same weight in the other (16 ounces to the pound); a
// negative weight is taken as none.
void PoundsTyped(double pounds, double& outPounds, double& outOunces);
void OuncesTyped(double ounces, double& outPounds, double& outOunces);

// How a discount group is listed in the item dialogs: its name and its stored value, e.g.
// "retail ( 0.25%)" for 0.25. The entry keeps the name and value as its data; the text is
// only shown, never read back.
QString DiscountGroupEntry(const QString& name, double value);

// Makes an imported item consistent: a group name, fractions for percents, whichever of the
// prices and weights are missing filled in from the others, and its prices per ounce. Prices
// are never left negative or non-finite; a percent that is no number becomes 0.
void ValidateStoreItem(CStoreItemRecord& item);

// What the multi-edit dialog changes in every selected store item. The searches take the
// discount group or container from the item's own text instead of a chosen one.
struct CStoreItemMultiEdit {
    bool searchItemCode = false;
    bool changeGroup = false;
    QString groupName;
    double groupPercent = 0.0;
    bool searchDescription = false;
    bool changeContainer = false;
    QString containerName;
    bool basePrice = false;
    double basePriceValue = 0.0;
    bool discountPrice = false;
    double discountPriceValue = 0.0;
    bool markupPrice = false;
    double markupPriceValue = 0.0;
    bool markupPercent = false;
    double markupPercentValue = 0.0;
    bool stockQty = false;
    int stockQtyValue = 0;
    bool user1 = false;
    QString user1Text;
    bool user2 = false;
    QString user2Text;
    bool shipWeight = false;
    double shipPounds = 0.0, shipOunces = 0.0;
    bool prodWeight = false;
    double prodPounds = 0.0, prodOunces = 0.0;

    bool AnyTicked() const {
        return searchItemCode || changeGroup || searchDescription || changeContainer || basePrice ||
               discountPrice || markupPrice || markupPercent || stockQty || user1 || user2 || shipWeight ||
               prodWeight;
    }
};

// Writes the chosen changes into one item and recomputes only the prices they affect. A typed
// discount or markup price that stays sets its percent, so that later recomputations keep it.
// discountTable: the store's discount groups (name, percent) in table order; containerList: its
// container names in list order.
void ApplyStoreItemMultiEdit(const CStoreItemMultiEdit& edit,
                             const std::vector<std::pair<QString, double>>& discountTable,
                             const QStringList& containerList, CStoreItemRecord& item);
