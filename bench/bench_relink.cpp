// Re-linking every invoice line after store items moved (the posted refresh of the item links)
// in a project of 3 stores x 50,000 items, 50,000 invoices and 200,000 lines; beside the same
// look-ups and writes done straight on SQLite.
#include "benchutil.h"

#include "customers/customerlistctrl.h"
#include "db/database.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <array>
#include <sqlite3.h>

namespace {

constexpr int kStores = 3;
constexpr int kItems = 50000;
constexpr int kInvoices = 50000;
constexpr int kLines = 200000;
constexpr int kMoved = 5000;   // store 1's first items, now in store 2's table
constexpr int kBroken = 10000; // lines whose item is in no store: found again by code

class BenchPrompter : public CRecordingPrompter {
public:
    int ExecDialog(QDialog&) override { return QDialog::Accepted; }
};

struct Views {
    explicit Views(CQuorvaneDoc& d) : doc(d) {
        window.resize(1000, 800);
        customers = new CCustomerListCtrl(&doc, &window);
        invoices = new CInvoicesListCtrl(&doc, &window);
        items = new CInvoiceItemsListCtrl(&doc, &window);
        stores = new CStoreTabCtrl(&doc, &window);
        customers->SetInvoiceList(invoices);
        invoices->SetNeighbours(customers, items, stores);
        items->SetNeighbours(invoices, stores);
        doc.SetListOwners(customers, invoices, items, stores);
        window.show();
    }
    ~Views() {
        doc.OnFileCloseProject();
        doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    }
    CQuorvaneDoc& doc;
    QWidget window;
    CCustomerListCtrl* customers;
    CInvoicesListCtrl* invoices;
    CInvoiceItemsListCtrl* items;
    CStoreTabCtrl* stores;
};

void Blank(db::Recordset& rs) {
    for (const db::FieldDef& f : rs.fields())
        rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
}

int ItemID(int store, int n) { return (store - 1) * kItems + n; }

void Fill(const QString& path) {
    db::Database file;
    file.open(path);
    db::Transaction tx(file);
    for (int s = 1; s <= kStores; ++s) {
        db::Recordset rs(file);
        rs.open(QStringLiteral("select * from [StoreItems_%1]").arg(s));
        for (int n = 1; n <= kItems; ++n) {
            rs.addNew();
            Blank(rs);
            rs.setValue(QStringLiteral("ID"), ItemID(s, n));
            rs.setValue(QStringLiteral("ItemCode"), QStringLiteral("C%1").arg(n));
            rs.setValue(QStringLiteral("Description"), QStringLiteral("Item %1 of store %2").arg(n).arg(s));
            rs.setValue(QStringLiteral("BaseLinePrice"), 1.0 + n % 100);
            rs.update();
        }
    }
    // Moved: store 1's first items now stand in store 2's table.
    file.exec(QStringLiteral("UPDATE StoreItems_1 SET ItemCode = 'moved' WHERE ID <= %1").arg(kMoved));
    {
        db::Recordset to(file);
        to.open(QStringLiteral("select * from [StoreItems_2]"));
        for (int n = 1; n <= kMoved; ++n) {
            to.addNew();
            Blank(to);
            to.setValue(QStringLiteral("ID"), ItemID(1, n));
            to.setValue(QStringLiteral("ItemCode"), QStringLiteral("M%1").arg(n));
            to.update();
        }
        file.exec(QStringLiteral("DELETE FROM StoreItems_1 WHERE ID <= %1").arg(kMoved));
    }
    db::Recordset inv(file);
    inv.open(QStringLiteral("select * from [Invoice]"));
    for (int i = 1; i <= kInvoices; ++i) {
        inv.addNew();
        Blank(inv);
        inv.setValue(QStringLiteral("ID"), i);
        inv.setValue(QStringLiteral("CustomerID"), 1 + i % 5000);
        inv.setValue(QStringLiteral("InvoiceNumber"), i);
        inv.update();
    }
    db::Recordset lines(file);
    lines.open(QStringLiteral("select * from [InvoiceItems]"));
    for (int i = 1; i <= kLines; ++i) {
        const int store = 1 + i % kStores;
        const int n = 1 + (i * 7919) % kItems;
        lines.addNew();
        Blank(lines);
        lines.setValue(QStringLiteral("ID"), i);
        lines.setValue(QStringLiteral("InvoiceID"), 1 + i % kInvoices);
        lines.setValue(QStringLiteral("InvoiceNumber"), 1 + i % kInvoices);
        lines.setValue(QStringLiteral("StoreID"), store);
        lines.setValue(QStringLiteral("StoreItemID"), i <= kBroken ? 900000 + i : ItemID(store, n));
        lines.setValue(QStringLiteral("ItemCode"), QStringLiteral("C%1").arg(n));
        lines.setValue(QStringLiteral("Quantity"), 1);
        lines.update();
    }
    tx.commit();
}

// The same walk straight on SQLite: every line read; its item looked up in its store, then in
// the others, then by code; changed lines written; one transaction. Returns the lines changed.
int RawRelink(const QString& path, double& seconds) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    // The indexes the program keeps, made before the clock starts.
    sqlite3_exec(h, "CREATE INDEX IF NOT EXISTS raw_inv ON Invoice(InvoiceNumber)", nullptr, nullptr, nullptr);
    for (int s = 1; s <= kStores; ++s)
        sqlite3_exec(h, QStringLiteral("CREATE INDEX IF NOT EXISTS raw_code_%1 ON StoreItems_%1(ItemCode COLLATE NOCASE)")
                            .arg(s)
                            .toUtf8()
                            .constData(),
                     nullptr, nullptr, nullptr);
    Stopwatch sw;
    sqlite3_exec(h, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* holds[kStores];
    sqlite3_stmt* code[kStores];
    for (int s = 1; s <= kStores; ++s) {
        sqlite3_prepare_v2(h, QStringLiteral("SELECT 1 FROM StoreItems_%1 WHERE ID = ?").arg(s).toUtf8().constData(), -1,
                           &holds[s - 1], nullptr);
        sqlite3_prepare_v2(h,
                           QStringLiteral("SELECT ID FROM StoreItems_%1 WHERE ItemCode = ?1 COLLATE NOCASE AND "
                                          "ItemCode = ?1 ORDER BY rowid LIMIT 1")
                               .arg(s)
                               .toUtf8()
                               .constData(),
                           -1, &code[s - 1], nullptr);
    }
    sqlite3_stmt* invoice = nullptr;
    sqlite3_prepare_v2(h, "SELECT ID FROM Invoice WHERE InvoiceNumber = ? ORDER BY rowid LIMIT 1", -1, &invoice, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(h, "SELECT rowid, InvoiceID, InvoiceNumber, StoreID, StoreItemID, ItemCode FROM InvoiceItems "
                          "WHERE InvoiceID > 0 ORDER BY rowid", -1, &read, nullptr);
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(h, "UPDATE InvoiceItems SET InvoiceID = ?, StoreID = ?, StoreItemID = ? WHERE rowid = ?", -1,
                       &write, nullptr);
    const auto found = [](sqlite3_stmt* st, int& value) {
        const bool row = sqlite3_step(st) == SQLITE_ROW;
        if (row) value = sqlite3_column_int(st, 0);
        sqlite3_reset(st);
        return row;
    };
    int changed = 0;
    std::vector<std::array<std::int64_t, 4>> updates;
    while (sqlite3_step(read) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(read, 0);
        int invoiceID = sqlite3_column_int(read, 1);
        const int number = sqlite3_column_int(read, 2);
        int storeID = sqlite3_column_int(read, 3);
        int itemID = sqlite3_column_int(read, 4);
        const QString itemCode = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, 5)));
        bool change = false;
        int value = 0;
        sqlite3_bind_int(invoice, 1, number);
        if (found(invoice, value) && value != invoiceID) {
            invoiceID = value;
            change = true;
        }
        int holder = -1;
        for (int s = 1; s <= kStores && holder < 0; ++s) {
            sqlite3_bind_int(holds[s - 1], 1, itemID);
            if (found(holds[s - 1], value)) holder = s;
        }
        if (holder > 0 && holder != storeID) {
            storeID = holder;
            change = true;
        } else if (holder < 0) {
            const QByteArray utf8 = itemCode.toUtf8();
            for (int s = 1; s <= kStores; ++s) {
                sqlite3_bind_text(code[s - 1], 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
                if (found(code[s - 1], value)) {
                    storeID = s;
                    itemID = value;
                    change = true;
                    break;
                }
            }
        }
        if (change) updates.push_back({invoiceID, storeID, itemID, rowid});
    }
    sqlite3_finalize(read);
    for (const auto& u : updates) {
        for (int c = 0; c < 3; ++c) sqlite3_bind_int64(write, c + 1, u[size_t(c)]);
        sqlite3_bind_int64(write, 4, u[3]);
        sqlite3_step(write);
        sqlite3_reset(write);
        ++changed;
    }
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    for (int s = 0; s < kStores; ++s) {
        sqlite3_finalize(holds[s]);
        sqlite3_finalize(code[s]);
    }
    sqlite3_finalize(invoice);
    sqlite3_finalize(write);
    sqlite3_close(h);
    seconds = sw.seconds();
    return changed;
}

int CountLinesInStore(const QString& path, int storeID) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "SELECT count(*) FROM InvoiceItems WHERE StoreID = ?", -1, &st, nullptr);
    sqlite3_bind_int(st, 1, storeID);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/relink.qvp");
    const QString copy = BenchFolder() + QStringLiteral("/relink-raw.qvp");
    BenchPrompter prompter;
    {
        CQuorvaneDoc doc(&prompter);
        Views views(doc);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        if (!doc.CreateNewProject(request)) return 1;
        for (int i = 0; i < kStores && views.stores->GetStoreCount() < kStores; ++i) views.stores->OnEditAddItem();
        if (views.stores->GetStoreCount() != kStores) return 1;
    }
    Fill(path);
    QFile::remove(copy);
    QFile::copy(path, copy);

    CQuorvaneDoc doc(&prompter);
    Views views(doc);
    if (!doc.OpenProject(path)) return 1;
    QApplication::processEvents();
    Stopwatch relink;
    views.items->OnRefreshInvoiceItemPointers();
    const double ours = relink.seconds();
    double reference = 0;
    const int rawChanged = RawRelink(copy, reference);
    std::printf("%d lines over %d invoices, %d stores x %d items; %d items moved, %d links broken\n", kLines,
                kInvoices, kStores, kItems, kMoved, kBroken);
    std::printf("lines in store 2 afterwards: %d (SQLite walk: %d); lines the SQLite walk changed: %d\n",
                CountLinesInStore(path, 2), CountLinesInStore(copy, 2), rawChanged);
    PrintFigure("OnRefreshInvoiceItemPointers over every line, s", ours, reference, "s", "under 5 s");
    return 0;
}
