#pragma once

// How a store item's prices hang together.
struct CItemPrices {
    double discountPrice = 0.0;
    double markupPrice = 0.0;
    double discPricePerOz = 0.0;
    double markupPricePerOz = 0.0;
};

// Discount and markup prices (rounded to cents) and their prices per ounce (0 without a
// product weight) from the base price, the discount and the markup percents.
CItemPrices PricesFromDiscount(double basePrice, double discountPercent, double markupPercent,
                               double prodOunces);

// A price per ounce of product weight: 0 when there is no weight.
inline double PricePerOunce(double price, double prodOunces) {
    return prodOunces > 0.0 ? price / prodOunces : 0.0;
}
