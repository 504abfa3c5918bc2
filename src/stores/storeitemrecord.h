#pragma once

#include <QString>

// One store item in memory: what the Store Item Info dialog edits and a "StoreItems_%d" row holds.
struct CStoreItemRecord {
    int ID = 0;
    QString ItemCode, Description, ContainerType, DiscountGrpName;
    double BaseLinePrice = 0.0, DiscountPrice = 0.0, MarkupPrice = 0.0;
    double DiscountPercent = 0.0, MarkupPercent = 0.0;
    double BasePricePerOz = 0.0, DiscPricePerOz = 0.0, MarkupPricePerOz = 0.0;
    double ProdOunces = 0.0, ProdPounds = 0.0, ShipOunces = 0.0, ShipPounds = 0.0;
    int QtyInStock = 0;
    QString UserField1, UserField2;
};
