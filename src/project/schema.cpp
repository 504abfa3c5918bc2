#include "schema.h"

using db::Type;

namespace schema {

db::TableDef Project() {
    db::TableDef t{QStringLiteral("Project"), {}};
    t.add(QStringLiteral("Version"), Type::Integer)
        .add(QStringLiteral("Shared"), Type::Boolean)
        .add(QStringLiteral("SharedFileSpec"), Type::Text, 200)
        .add(QStringLiteral("Description"), Type::Text, 255)
        .add(QStringLiteral("BarPosition"), Type::Integer)
        .add(QStringLiteral("VerifyDelete"), Type::Boolean);
    return t;
}

db::TableDef HighWater() {
    db::TableDef t{QStringLiteral("HighWater"), {}};
    for (const char* f : {"HighWaterCustomerID", "HighWaterCustomerNbr", "HighWaterInvoiceID",
                          "HighWaterInvoiceNbr", "HighWaterInvoiceGroupID", "HighWaterInvItemsID",
                          "HighWaterStoreID", "HighWaterStoreItemsID", "HighWaterLookupItemID",
                          "HighWaterDaoStringListID"})
        t.add(QString::fromLatin1(f), Type::Long);
    return t;
}

db::TableDef Customer() {
    db::TableDef t{QStringLiteral("Customer"), {}};
    t.add(QStringLiteral("ID"), Type::Long)
        .add(QStringLiteral("CustomerNbr"), Type::Long)
        .add(QStringLiteral("Name"), Type::Text, 100)
        .add(QStringLiteral("Address1"), Type::Text, 100)
        .add(QStringLiteral("Address2"), Type::Text, 100)
        .add(QStringLiteral("City"), Type::Text, 100)
        .add(QStringLiteral("State"), Type::Text, 50)
        .add(QStringLiteral("Zip"), Type::Text, 20)
        .add(QStringLiteral("Phone"), Type::Text, 50)
        .add(QStringLiteral("Fax"), Type::Text, 50)
        .add(QStringLiteral("Work"), Type::Text, 50)
        .add(QStringLiteral("InvoiceCnt"), Type::Long)
        .add(QStringLiteral("BalanceDue"), Type::Double)
        .add(QStringLiteral("DiscountRate"), Type::Double)
        .add(QStringLiteral("TaxRate"), Type::Double)
        .add(QStringLiteral("Comment"), Type::Text, 255)
        .add(QStringLiteral("Business"), Type::Boolean)
        .add(QStringLiteral("Taxable"), Type::Boolean)
        .add(QStringLiteral("ShareOrder"), Type::Boolean)
        .add(QStringLiteral("PriceChoice"), Type::Integer)
        .add(QStringLiteral("UserField1"), Type::Text, 200)
        .add(QStringLiteral("UserField2"), Type::Text, 200);
    return t;
}

db::TableDef Invoice() {
    db::TableDef t{QStringLiteral("Invoice"), {}};
    t.add(QStringLiteral("ID"), Type::Long)
        .add(QStringLiteral("CustomerID"), Type::Long)
        .add(QStringLiteral("InvoiceGroupID"), Type::Long)
        .add(QStringLiteral("CustomerNumber"), Type::Long)
        .add(QStringLiteral("InvoiceNumber"), Type::Long)
        .add(QStringLiteral("GroupInvoice"), Type::Boolean);
    for (const char* f : {"DateEntered", "DateOrdered", "DateOnHold", "DateShipped", "DateReceived",
                          "DatePickedUp", "DateClosed", "DatePaid"})
        t.add(QString::fromLatin1(f), Type::Date);
    for (const char* f : {"Ordered", "OnHold", "Shipped", "Received", "PickedUp", "Paid", "Closed"})
        t.add(QString::fromLatin1(f), Type::Boolean);
    t.add(QStringLiteral("ItemCount"), Type::Long);
    for (const char* f : {"ItemsSubtotal", "DiscountPercent", "DiscountAmount", "ShipWeight",
                          "ShipCostPerLb", "ShipCharge", "TaxRate", "SalesTax", "InvoiceTotal",
                          "AmountPaid"})
        t.add(QString::fromLatin1(f), Type::Double);
    t.add(QStringLiteral("PriceChoice"), Type::Integer)
        .add(QStringLiteral("Comment"), Type::Text, 255)
        .add(QStringLiteral("UserField1"), Type::Text, 200)
        .add(QStringLiteral("UserField2"), Type::Text, 200);
    return t;
}

db::TableDef InvoiceItems() {
    db::TableDef t{QStringLiteral("InvoiceItems"), {}};
    t.add(QStringLiteral("ID"), Type::Long)
        .add(QStringLiteral("InvoiceID"), Type::Long)
        .add(QStringLiteral("StoreID"), Type::Long)
        .add(QStringLiteral("StoreItemID"), Type::Long)
        .add(QStringLiteral("InvoiceNumber"), Type::Long)
        .add(QStringLiteral("ItemCode"), Type::Text, 50)
        .add(QStringLiteral("Description"), Type::Text, 100)
        .add(QStringLiteral("Quantity"), Type::Integer)
        .add(QStringLiteral("BackOrderCnt"), Type::Integer);
    for (const char* f : {"ItemWeight", "Price", "BaseLinePrice", "DiscountPrice", "MarkupPrice"})
        t.add(QString::fromLatin1(f), Type::Double);
    return t;
}

db::TableDef Store() {
    db::TableDef t{QStringLiteral("Store"), {}};
    t.add(QStringLiteral("ID"), Type::Long)
        .add(QStringLiteral("DiscTableID"), Type::Long)
        .add(QStringLiteral("ContainerID"), Type::Long)
        .add(QStringLiteral("ShippingCost"), Type::Double)
        .add(QStringLiteral("StoreTabName"), Type::Text, 100)
        .add(QStringLiteral("StoreName"), Type::Text, 100)
        .add(QStringLiteral("Address1"), Type::Text, 100)
        .add(QStringLiteral("Address2"), Type::Text, 100)
        .add(QStringLiteral("City"), Type::Text, 100)
        .add(QStringLiteral("State"), Type::Text, 50)
        .add(QStringLiteral("Zip"), Type::Text, 20)
        .add(QStringLiteral("Phone"), Type::Text, 50)
        .add(QStringLiteral("Phone2"), Type::Text, 50)
        .add(QStringLiteral("Fax"), Type::Text, 50)
        .add(QStringLiteral("Comment"), Type::Text, 255)
        .add(QStringLiteral("TrackStockQty"), Type::Boolean);
    return t;
}

QString StoreItemsTableName(int storeID) { return QStringLiteral("StoreItems_%1").arg(storeID); }

db::TableDef StoreItems(int storeID) {
    db::TableDef t{StoreItemsTableName(storeID), {}};
    t.add(QStringLiteral("ID"), Type::Long)
        .add(QStringLiteral("ItemCode"), Type::Text, 20)
        .add(QStringLiteral("Description"), Type::Text, 100)
        .add(QStringLiteral("ContainerType"), Type::Text, 50)
        .add(QStringLiteral("DiscountGrpName"), Type::Text, 50);
    for (const char* f : {"BaseLinePrice", "DiscountPrice", "MarkupPrice", "DiscountPercent",
                          "MarkupPercent", "BasePricePerOz", "DiscPricePerOz", "MarkupPricePerOz",
                          "ProdOunces", "ProdPounds", "ShipOunces", "ShipPounds"})
        t.add(QString::fromLatin1(f), Type::Double);
    t.add(QStringLiteral("QtyInStock"), Type::Long)
        .add(QStringLiteral("UserField1"), Type::Text, 200)
        .add(QStringLiteral("UserField2"), Type::Text, 200);
    return t;
}

} // namespace schema
