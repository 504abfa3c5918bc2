#pragma once

#include <QString>

// One store in memory: what the Store Info dialog edits and the Store row holds.
struct CStoreRecord {
    int ID = 0;
    int DiscTableID = 0;
    int ContainerID = 0;
    double ShippingCost = 0.0;
    QString StoreTabName, StoreName, Address1, Address2, City, State, Zip, Phone, Phone2, Fax, Comment;
    int TrackStockQty = 0;
};
