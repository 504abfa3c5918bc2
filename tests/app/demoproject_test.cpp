// The demo project is made through the program's own operations; every derived number in it
// must be what the rules give from the rows it is derived from.
#include "app/demoproject.h"
#include "invoices/invoicerules.h"
#include "project/numberrules.h"
#include "testutil.h"

#include <QMap>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

struct Line {
    int invoice, storeItem, quantity, backOrder;
    double weight, base, discount, markup;
};
struct Invoice {
    int id, customer, group, itemCount, choice;
    bool groupInvoice, closed;
    double subtotal, weight, p, D, r, C, t, X, T, paid;
};

class Project {
public:
    explicit Project(const QString& path) { EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK); }
    ~Project() { sqlite3_close(m_db); }
    template <typename Row> void Each(const char* sql, Row row) {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr), SQLITE_OK) << sql;
        while (sqlite3_step(st) == SQLITE_ROW) row(st);
        sqlite3_finalize(st);
    }

private:
    sqlite3* m_db = nullptr;
};

int I(sqlite3_stmt* st, int c) { return sqlite3_column_int(st, c); }
double D(sqlite3_stmt* st, int c) { return sqlite3_column_double(st, c); }

} // namespace

TEST(DemoProject, EveryDerivedNumberFollowsFromItsRows) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("demo.qvp"));
    QString failure;
    ASSERT_TRUE(MakeDemoProject(path, DemoOptions{40, 7}, &failure)) << failure.toStdString();
    Project db(path);
    std::vector<Line> lines;
    db.Each("SELECT InvoiceID, StoreItemID, Quantity, BackOrderCnt, ItemWeight, BaseLinePrice, DiscountPrice, "
            "MarkupPrice FROM InvoiceItems",
            [&](sqlite3_stmt* s) { lines.push_back({I(s, 0), I(s, 1), I(s, 2), I(s, 3), D(s, 4), D(s, 5), D(s, 6), D(s, 7)}); });
    QMap<int, Invoice> invoices;
    db.Each("SELECT ID, CustomerID, InvoiceGroupID, ItemCount, PriceChoice, GroupInvoice, Closed, ItemsSubtotal, "
            "ShipWeight, DiscountPercent, DiscountAmount, ShipCostPerLb, ShipCharge, TaxRate, SalesTax, InvoiceTotal, "
            "AmountPaid FROM Invoice",
            [&](sqlite3_stmt* s) {
                invoices.insert(I(s, 0), {I(s, 0), I(s, 1), I(s, 2), I(s, 3), I(s, 4), I(s, 5) != 0, I(s, 6) != 0,
                                          D(s, 7), D(s, 8), D(s, 9), D(s, 10), D(s, 11), D(s, 12), D(s, 13),
                                          D(s, 14), D(s, 15), D(s, 16)});
            });
    ASSERT_GT(invoices.size(), 20);
    ASSERT_GT(lines.size(), 40u);

    bool backOrders = false, closed = false, group = false;
    for (const Invoice& inv : invoices) {
        int n = 0;
        double W = 0, S = 0;
        for (const Line& l : lines) {
            if (l.invoice != inv.id) continue;
            ++n;
            const int shipped = l.quantity - l.backOrder;
            W += l.weight * shipped;
            S += UnitPriceForChoice(inv.choice, l.base, l.discount, l.markup) * shipped;
        }
        EXPECT_EQ(inv.itemCount, n) << "invoice " << inv.id;
        EXPECT_NEAR(inv.weight, W, 1e-9) << "invoice " << inv.id;
        EXPECT_NEAR(inv.subtotal, S, 1e-9) << "invoice " << inv.id;
        const bool member = inv.group >= 1 && !inv.groupInvoice;
        if (!inv.closed && !member) {
            const InvoiceAmounts a = ComputeInvoice(inv.subtotal, inv.p, inv.weight, inv.r, inv.t, !inv.groupInvoice);
            EXPECT_DOUBLE_EQ(inv.D, a.D) << "invoice " << inv.id;
            EXPECT_DOUBLE_EQ(inv.C, a.C) << "invoice " << inv.id;
            EXPECT_DOUBLE_EQ(inv.X, a.X) << "invoice " << inv.id;
            EXPECT_DOUBLE_EQ(inv.T, a.T) << "invoice " << inv.id;
        }
        closed = closed || inv.closed;
        if (inv.groupInvoice) {
            // Exactly the members' lines, merged by store item.
            QMap<int, std::pair<int, int>> expected, held;
            for (const Invoice& m : invoices)
                if (m.group == inv.group && !m.groupInvoice)
                    for (const Line& l : lines)
                        if (l.invoice == m.id) {
                            expected[l.storeItem].first += l.quantity;
                            expected[l.storeItem].second += l.backOrder;
                        }
            for (const Line& l : lines)
                if (l.invoice == inv.id) {
                    EXPECT_FALSE(held.contains(l.storeItem)) << "a store item twice on group invoice " << inv.id;
                    held[l.storeItem] = {l.quantity, l.backOrder};
                }
            EXPECT_EQ(held, expected) << "group invoice " << inv.id;
            group = group || !held.isEmpty();
        }
    }
    for (const Line& l : lines) {
        EXPECT_GE(l.backOrder, 0);
        EXPECT_LE(l.backOrder, l.quantity);
        backOrders = backOrders || l.backOrder > 0;
    }
    int customers = 0;
    db.Each("SELECT ID, InvoiceCnt, BalanceDue FROM Customer", [&](sqlite3_stmt* s) {
        ++customers;
        int count = 0;
        double balance = 0;
        for (const Invoice& inv : invoices)
            if (inv.customer == I(s, 0)) {
                ++count;
                balance += inv.T - inv.paid;
            }
        EXPECT_EQ(I(s, 1), count) << "customer " << I(s, 0);
        EXPECT_NEAR(D(s, 2), balance, 1e-6) << "customer " << I(s, 0);
    });
    EXPECT_EQ(customers, 40);
    // The demo shows every kind of thing a buyer meets.
    EXPECT_TRUE(backOrders);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(group);
}

TEST(DemoProject, TheSameSeedMakesTheSameProject) {
    TempFolder folder;
    const auto dump = [&](const QString& name, std::uint32_t seed) {
        const QString path = folder.path(name);
        EXPECT_TRUE(MakeDemoProject(path, DemoOptions{12, seed}));
        QStringList rows;
        Project db(path);
        db.Each("SELECT ID, CustomerID, InvoiceNumber, ItemsSubtotal, InvoiceTotal, AmountPaid, Closed FROM Invoice ORDER BY ID",
                [&](sqlite3_stmt* s) {
                    rows << QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(I(s, 0)).arg(I(s, 1)).arg(I(s, 2)).arg(D(s, 3)).arg(D(s, 4)).arg(D(s, 5)).arg(I(s, 6));
                });
        db.Each("SELECT ID, InvoiceID, StoreItemID, Quantity, BackOrderCnt FROM InvoiceItems ORDER BY ID",
                [&](sqlite3_stmt* s) { rows << QStringLiteral("%1 %2 %3 %4 %5").arg(I(s, 0)).arg(I(s, 1)).arg(I(s, 2)).arg(I(s, 3)).arg(I(s, 4)); });
        return rows;
    };
    const QStringList first = dump(QStringLiteral("a.qvp"), 3);
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(first, dump(QStringLiteral("b.qvp"), 3));
    EXPECT_NE(first, dump(QStringLiteral("c.qvp"), 4));
}
