#include "pricingrules.h"

#include "project/numberrules.h"
#include "stores/storeitemrecord.h"

#include <cmath>

double StorablePrice(double price) { return std::isfinite(price) && price > 0.0 ? price : 0.0; }

double DiscountedPrice(double basePrice, double discountPercent) {
    return StorablePrice(RoundToCents(basePrice - basePrice * discountPercent));
}

double MarkedUpPrice(double discountPrice, double markupPercent) {
    return StorablePrice(RoundToCents(discountPrice + discountPrice * markupPercent));
}

double DiscountPercentOfPrice(double basePrice, double discountPrice, double percent) {
    if (basePrice > 0.0 && discountPrice >= 0.0 && discountPrice <= basePrice) return 1.0 - discountPrice / basePrice;
    return percent;
}

double MarkupPercentOfPrice(double discountPrice, double markupPrice, double percent) {
    // Nothing is a percent of a discount price of 0.
    if (discountPrice > 0.0 && markupPrice >= discountPrice) return markupPrice / discountPrice - 1.0;
    return percent;
}

CItemPrices PricesFromDiscount(double basePrice, double discountPercent, double markupPercent,
                               double prodOunces) {
    CItemPrices p;
    p.discountPrice = DiscountedPrice(basePrice, discountPercent);
    p.markupPrice = MarkedUpPrice(p.discountPrice, markupPercent);
    p.discPricePerOz = PricePerOunce(p.discountPrice, prodOunces);
    p.markupPricePerOz = PricePerOunce(p.markupPrice, prodOunces);
    return p;
}

double PercentFromTyped(double number) {
    if (!(number > 0.0)) return 0.0; // negatives, zero and NaN
    return number >= 1.0 ? number * 0.01 : number;
}

void PoundsTyped(double pounds, double& outPounds, double& outOunces) {
    outPounds = pounds > 0.0 ? pounds : 0.0;
    outOunces = outPounds * 16.0;
}

void OuncesTyped(double ounces, double& outPounds, double& outOunces) {
    outOunces = ounces > 0.0 ? ounces : 0.0;
    outPounds = outOunces * 0.0625;
}

QString DiscountGroupEntry(const QString& name, double value) {
    return name + FormatC(" (%5.2f%%)", value);
}

namespace {

// An item's markup price and percent made to agree, the one missing taken from the other.
void ValidateMarkup(CStoreItemRecord& item) {
    if (item.MarkupPrice == 0.0)
        item.MarkupPrice = item.MarkupPercent > 0.0 ? item.DiscountPrice + item.MarkupPercent * item.DiscountPrice
                                                     : item.DiscountPrice;
    // A discount price of 0 has no markup percent.
    if (item.MarkupPrice != 0.0 && item.MarkupPrice > item.DiscountPrice && item.DiscountPrice > 0.0)
        item.MarkupPercent = item.MarkupPrice / item.DiscountPrice - 1.0;
}

double FiniteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

} // namespace

void ValidateStoreItem(CStoreItemRecord& item) {
    qsizetype end = item.DiscountGrpName.size();
    while (end > 0 && item.DiscountGrpName.at(end - 1).isSpace()) --end;
    item.DiscountGrpName.truncate(end);
    if (item.DiscountGrpName.isEmpty()) item.DiscountGrpName = QStringLiteral("default");

    // The engine refuses what is no number; a negative price is taken as none.
    item.BaseLinePrice = StorablePrice(item.BaseLinePrice);
    item.DiscountPrice = StorablePrice(item.DiscountPrice);
    item.MarkupPrice = StorablePrice(item.MarkupPrice);
    item.DiscountPercent = FiniteOrZero(item.DiscountPercent);
    item.MarkupPercent = FiniteOrZero(item.MarkupPercent);
    for (double* weight : {&item.ProdOunces, &item.ProdPounds, &item.ShipOunces, &item.ShipPounds})
        *weight = FiniteOrZero(*weight);

    if (item.DiscountPercent >= 1.0) item.DiscountPercent *= 0.01;
    if (item.MarkupPercent >= 1.0) item.MarkupPercent *= 0.01;

    double& base = item.BaseLinePrice;
    double& discount = item.DiscountPrice;
    if (base > 0.0) {
        if (discount == 0.0)
            discount = item.DiscountPercent > 0.0 ? StorablePrice(base - item.DiscountPercent * base) : base;
        if (discount != 0.0 && discount < base) item.DiscountPercent = 1.0 - discount / base;
        ValidateMarkup(item);
    } else if (discount > 0.0) {
        base = discount;
        item.DiscountPercent = 0.0;
        ValidateMarkup(item);
    }

    item.MarkupPrice = StorablePrice(item.MarkupPrice);

    if (item.ProdPounds > 0.0 || item.ProdOunces > 0.0) {
        if (item.ProdPounds == 0.0) item.ProdPounds = item.ProdOunces * 0.0625;
        if (item.ProdOunces == 0.0) item.ProdOunces = item.ProdPounds * 16.0;
        if (item.ShipPounds == 0.0 || item.ShipOunces > 0.0) {
            if (item.ShipPounds == 0.0) item.ShipPounds = item.ProdPounds;
            if (item.ShipOunces == 0.0) item.ShipOunces = item.ShipPounds * 16.0;
        }
    }
    if (item.ShipPounds > 0.0 || item.ShipOunces > 0.0) {
        if (item.ShipPounds == 0.0) item.ShipPounds = item.ShipOunces * 0.0625;
        if (item.ShipOunces == 0.0) item.ShipOunces = item.ShipPounds * 16.0;
        if (item.ProdPounds == 0.0 || item.ProdOunces > 0.0) {
            if (item.ProdPounds == 0.0) item.ProdPounds = item.ShipPounds;
            if (item.ProdOunces == 0.0) item.ProdOunces = item.ProdPounds * 16.0;
        }
    }

    if (item.ProdOunces > 0.0) {
        item.BasePricePerOz = item.BaseLinePrice / item.ProdOunces;
        item.DiscPricePerOz = item.DiscountPrice / item.ProdOunces;
        item.MarkupPricePerOz = item.MarkupPrice / item.ProdOunces;
    } else {
        item.BasePricePerOz = item.DiscPricePerOz = item.MarkupPricePerOz = 0.0;
    }
}

namespace {

// Text fields are never stored empty.
void KeepNonEmpty(QString& text) {
    if (text.isEmpty()) text = QStringLiteral(" ");
}

} // namespace

void ApplyStoreItemMultiEdit(const CStoreItemMultiEdit& edit,
                             const std::vector<std::pair<QString, double>>& discountTable,
                             const QStringList& containerList, CStoreItemRecord& item) {
    // Each price is recomputed at most once, after every value it depends on is in place.
    bool discountDue = false, markupDue = false;
    bool basePerOzDue = false, discPerOzDue = false, markupPerOzDue = false;

    if (edit.stockQty) item.QtyInStock = edit.stockQtyValue;
    if (edit.user1) item.UserField1 = edit.user1Text;
    if (edit.user2) item.UserField2 = edit.user2Text;

    if (edit.prodWeight) {
        item.ProdPounds = edit.prodPounds;
        item.ProdOunces = edit.prodOunces;
    }
    if (edit.shipWeight) {
        item.ShipPounds = edit.shipPounds;
        item.ShipOunces = edit.shipOunces;
    }

    if (edit.basePrice) {
        item.BaseLinePrice = edit.basePriceValue;
        discountDue = basePerOzDue = true;
    }

    if (edit.searchDescription) {
        for (const QString& name : containerList)
            if (item.Description.contains(name, Qt::CaseSensitive)) {
                item.ContainerType = name;
                break;
            }
    } else if (edit.changeContainer) {
        item.ContainerType = edit.containerName;
    }

    if (edit.searchItemCode) {
        for (const auto& [name, percent] : discountTable)
            if (item.ItemCode.contains(name, Qt::CaseSensitive)) {
                item.DiscountGrpName = name;
                item.DiscountPercent = percent;
                discountDue = true;
                break;
            }
    } else if (edit.changeGroup) {
        item.DiscountGrpName = edit.groupName;
        item.DiscountPercent = edit.groupPercent;
        discountDue = true;
    }

    if (edit.discountPrice) {
        item.DiscountPrice = edit.discountPriceValue;
        markupDue = discPerOzDue = true;
    }
    if (edit.markupPercent) {
        item.MarkupPercent = edit.markupPercentValue;
        markupDue = true;
    }
    if (edit.markupPrice) {
        item.MarkupPrice = edit.markupPriceValue;
        markupPerOzDue = true;
    }

    if (discountDue) {
        item.DiscountPrice = DiscountedPrice(item.BaseLinePrice, item.DiscountPercent);
        discPerOzDue = markupDue = true;
    } else if (edit.discountPrice) {
        item.DiscountPercent = DiscountPercentOfPrice(item.BaseLinePrice, item.DiscountPrice, item.DiscountPercent);
    }
    if (markupDue) {
        item.MarkupPrice = MarkedUpPrice(item.DiscountPrice, item.MarkupPercent);
        markupPerOzDue = true;
    } else if (edit.markupPrice) {
        item.MarkupPercent = MarkupPercentOfPrice(item.DiscountPrice, item.MarkupPrice, item.MarkupPercent);
    }

    // Without a product weight the old prices per ounce are left as they were.
    if (item.ProdOunces > 0.0) {
        if (basePerOzDue) item.BasePricePerOz = item.BaseLinePrice / item.ProdOunces;
        if (discPerOzDue) item.DiscPricePerOz = item.DiscountPrice / item.ProdOunces;
        if (markupPerOzDue) item.MarkupPricePerOz = item.MarkupPrice / item.ProdOunces;
    }

    KeepNonEmpty(item.ContainerType);
    KeepNonEmpty(item.DiscountGrpName);
    KeepNonEmpty(item.UserField1);
    KeepNonEmpty(item.UserField2);
}
