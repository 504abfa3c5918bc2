#include "benchproject.h"

#include "db/database.h"
#include "db/recordset.h"
#include "project/schema.h"

#include <QVariant>
#include <algorithm>
#include <functional>

namespace {

void AddRows(db::Database& file, const QString& table, int count,
             const std::function<void(db::Recordset&, int)>& fill) {
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    for (int i = 1; i <= count; ++i) {
        rs.addNew();
        for (const db::FieldDef& f : rs.fields())
            rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        fill(rs, i);
        rs.update();
    }
}

} // namespace

void FillBenchProject(const QString& path, const BenchProjectSize& n) {
    db::Database file;
    file.open(path);
    db::Transaction tx(file);
    const bool grouped = n.groupMembers > 0 && n.invoices >= 2 + n.groupMembers && n.customers >= 2 + n.groupMembers;
    AddRows(file, QStringLiteral("Customer"), n.customers, [&](db::Recordset& rs, int i) {
        rs.setValue(QStringLiteral("ID"), i);
        rs.setValue(QStringLiteral("CustomerNbr"), i);
        rs.setValue(QStringLiteral("Name"), QStringLiteral("Customer %1").arg(i));
        rs.setValue(QStringLiteral("Taxable"), 1);
        rs.setValue(QStringLiteral("TaxRate"), 0.075);
        if (grouped && i == 2) rs.setValue(QStringLiteral("ShareOrder"), 1);
    });
    const int big = n.customers >= 2 ? std::clamp(n.bigCustomerInvoices, 0, n.invoices) : 0;
    const int spreadOver = big > 0 ? n.customers - 1 : n.customers;
    const auto customerOf = [&](int invoice) {
        return invoice > n.invoices - big ? n.customers : (invoice - 1) % spreadOver + 1;
    };
    AddRows(file, QStringLiteral("Invoice"), n.invoices, [&](db::Recordset& rs, int i) {
        rs.setValue(QStringLiteral("ID"), i);
        rs.setValue(QStringLiteral("CustomerID"), customerOf(i));
        rs.setValue(QStringLiteral("CustomerNumber"), customerOf(i));
        rs.setValue(QStringLiteral("InvoiceNumber"), i);
        rs.setValue(QStringLiteral("TaxRate"), 0.075);
        rs.setValue(QStringLiteral("ShipCostPerLb"), 0.5);
        rs.setValue(QStringLiteral("DateEntered"), 45000.0);
        if (grouped && i >= 2 && i <= 2 + n.groupMembers) {
            rs.setValue(QStringLiteral("InvoiceGroupID"), 1);
            if (i == 2) rs.setValue(QStringLiteral("GroupInvoice"), 1);
        }
    });
    // The project's first store tracks stock; the others are added beside it.
    db::Recordset stores(file);
    stores.open(QStringLiteral("select * from [Store]"));
    stores.moveFirst();
    const int firstStore = stores.intValue(QStringLiteral("ID"));
    stores.edit();
    stores.setValue(QStringLiteral("TrackStockQty"), 1);
    stores.update();
    for (int s = 1; s < n.stores; ++s) {
        stores.addNew();
        for (const db::FieldDef& f : stores.fields())
            stores.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        stores.setValue(QStringLiteral("ID"), firstStore + s);
        stores.setValue(QStringLiteral("StoreTabName"), QStringLiteral("Store %1").arg(firstStore + s));
        stores.setValue(QStringLiteral("DiscTableID"), 1);
        stores.setValue(QStringLiteral("ContainerID"), 1);
        stores.update();
        file.createTable(schema::StoreItems(firstStore + s));
    }
    for (int s = 0; s < n.stores; ++s) {
        const int base = s * n.itemsPerStore;
        AddRows(file, schema::StoreItemsTableName(firstStore + s), n.itemsPerStore, [&](db::Recordset& rs, int i) {
            rs.setValue(QStringLiteral("ID"), base + i);
            rs.setValue(QStringLiteral("ItemCode"), QString::number(i));
            rs.setValue(QStringLiteral("Description"), QStringLiteral("Item %1 of store %2").arg(i).arg(s + 1));
            rs.setValue(QStringLiteral("BaseLinePrice"), 1.0 + i % 100);
            rs.setValue(QStringLiteral("DiscountPrice"), 0.9 + i % 100);
            rs.setValue(QStringLiteral("MarkupPrice"), 1.5 + i % 100);
            rs.setValue(QStringLiteral("ShipPounds"), 0.25 * (1 + i % 8));
            rs.setValue(QStringLiteral("QtyInStock"), 1000);
        });
    }
    // Lines: the first invoice's, then the group members' (when there is a group), then the
    // rest spread over the invoices after them.
    const int memberLines = grouped ? n.groupMembers * n.groupMemberLines : 0;
    const int firstSpread = grouped ? 3 + n.groupMembers : 2;
    const int rest = std::max(1, n.invoices - firstSpread + 1);
    const auto invoiceOf = [&](int line) {
        if (line <= n.firstInvoiceLines) return 1;
        const int k = line - n.firstInvoiceLines;
        if (k <= memberLines) return 3 + (k - 1) / n.groupMemberLines;
        return firstSpread + (k - memberLines) % rest;
    };
    AddRows(file, QStringLiteral("InvoiceItems"), n.lines, [&](db::Recordset& rs, int i) {
        const int invoice = invoiceOf(i);
        const int store = i % n.stores;
        rs.setValue(QStringLiteral("ID"), i);
        rs.setValue(QStringLiteral("InvoiceID"), std::min(invoice, n.invoices));
        rs.setValue(QStringLiteral("InvoiceNumber"), std::min(invoice, n.invoices));
        rs.setValue(QStringLiteral("StoreID"), firstStore + store);
        rs.setValue(QStringLiteral("StoreItemID"), store * n.itemsPerStore + 1 + i % n.itemsPerStore);
        rs.setValue(QStringLiteral("ItemCode"), QString::number(1 + i % n.itemsPerStore));
        rs.setValue(QStringLiteral("Description"), QStringLiteral("Line %1").arg(i));
        rs.setValue(QStringLiteral("Quantity"), 1 + i % 3);
        rs.setValue(QStringLiteral("ItemWeight"), 0.5);
        rs.setValue(QStringLiteral("BaseLinePrice"), 2.0);
        rs.setValue(QStringLiteral("DiscountPrice"), 1.8);
        rs.setValue(QStringLiteral("MarkupPrice"), 3.0);
    });
    tx.commit();
}
