#pragma once

#include "db/tabledef.h"

#include <QString>

// The tables of a project file, fields in creation order.
namespace schema {

db::TableDef Project();
db::TableDef HighWater();
db::TableDef Customer();
db::TableDef Invoice();
db::TableDef InvoiceItems();
db::TableDef Store();
db::TableDef StoreItems(int storeID);
QString StoreItemsTableName(int storeID);

} // namespace schema
