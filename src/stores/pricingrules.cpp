#include "pricingrules.h"

#include "project/numberrules.h"

CItemPrices PricesFromDiscount(double basePrice, double discountPercent, double markupPercent,
                               double prodOunces) {
    CItemPrices p;
    p.discountPrice = RoundToCents(basePrice - basePrice * discountPercent);
    p.markupPrice = RoundToCents(p.discountPrice + p.discountPrice * markupPercent);
    p.discPricePerOz = PricePerOunce(p.discountPrice, prodOunces);
    p.markupPricePerOz = PricePerOunce(p.markupPrice, prodOunces);
    return p;
}
