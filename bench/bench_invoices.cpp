// The invoice list and group invoices in a project of 5,000 customers, 50,000 invoices,
// 200,000 lines and three stores of 50,000 items: selecting a customer with 500 invoices,
// rebuilding a group invoice of 20 members with 50 lines each; and the demo project of 5,000
// customers. Each beside the same work done straight on SQLite in the same run.
//
// Arguments (optional): any of "select", "group", "demo" to run only those parts.
#include "benchproject.h"
#include "benchutil.h"

#include "app/demoproject.h"
#include "customers/customerlistctrl.h"
#include "invoices/invoicerules.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QStringList>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kCustomers = 5000;
constexpr int kBigCustomer = kCustomers; // the generator gives the last customer its 500 invoices
constexpr int kBigInvoices = 500;
constexpr int kGroupCustomer = 2;       // orders for the group; its invoice 2 is the group invoice
constexpr int kGroupInvoice = 2;
constexpr int kGroup = 1;
constexpr int kMembers = 20;
constexpr int kMemberLines = 50;

const char* Text(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return p ? p : "";
}

void Exec(sqlite3* h, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "SQL failed: %s\n  %s\n", error ? error : "?", sql);
        sqlite3_free(error);
    }
}

int CountRows(sqlite3* h, const QString& table) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table).toUtf8().constData(), -1, &st,
                       nullptr);
    const int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    return n;
}

struct Views {
    explicit Views(CQuorvaneDoc& d) : doc(d) {
        window.resize(1000, 900);
        customers = new CCustomerListCtrl(&doc, &window);
        invoices = new CInvoicesListCtrl(&doc, &window);
        items = new CInvoiceItemsListCtrl(&doc, &window);
        stores = new CStoreTabCtrl(&doc, &window);
        customers->setGeometry(0, 0, 1000, 200);
        invoices->setGeometry(0, 200, 1000, 200);
        items->setGeometry(0, 400, 1000, 200);
        stores->setGeometry(0, 600, 1000, 300);
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

// ---------------------------------------------------------------- selecting a customer

// The customer's invoices read and formatted straight from SQLite: the invoice list's columns.
double RawSelectCustomer(sqlite3* h, int repeats) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h,
                       "SELECT ID, InvoiceNumber, InvoiceGroupID, ItemCount, ItemsSubtotal, PriceChoice, "
                       "DiscountPercent, DiscountAmount, ShipWeight, ShipCostPerLb, ShipCharge, TaxRate, SalesTax, "
                       "InvoiceTotal, AmountPaid, DateEntered, DateOrdered, DateOnHold, DateShipped, DateReceived, "
                       "DatePickedUp, DatePaid, UserField1, UserField2, Ordered, Closed, Paid "
                       "FROM Invoice WHERE CustomerID = ? ORDER BY rowid",
                       -1, &st, nullptr);
    int rows = 0;
    Stopwatch sw;
    for (int r = 0; r < repeats; ++r) {
        std::vector<QStringList> list;
        sqlite3_bind_int(st, 1, kBigCustomer);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            cells << QString::number(sqlite3_column_int(st, 1)) << QString::number(sqlite3_column_int(st, 2))
                  << QStringLiteral("Customer %1").arg(kBigCustomer)
                  << (sqlite3_column_int(st, 25) ? QStringLiteral("Closed") : QStringLiteral("Entered"))
                  << EngineDateText(sqlite3_column_double(st, 15)) << QString::number(sqlite3_column_int(st, 3))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 4))
                  << QString::number(sqlite3_column_int(st, 5)) << FormatRate(kFormatRate, sqlite3_column_double(st, 6))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 7)) << FormatC("%5.2f", sqlite3_column_double(st, 8))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 9)) << FormatC(kFormatMoney7, sqlite3_column_double(st, 10))
                  << FormatRate(kFormatRate, sqlite3_column_double(st, 11))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 12))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 13))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 14))
                  << FormatC(kFormatMoney7, sqlite3_column_double(st, 13) - sqlite3_column_double(st, 14));
            for (int c = 15; c <= 21; ++c) cells << EngineDateText(sqlite3_column_double(st, c));
            cells << QString::fromUtf8(Text(st, 22)) << QString::fromUtf8(Text(st, 23));
            list.push_back(cells);
        }
        sqlite3_reset(st);
        rows = int(list.size());
    }
    sqlite3_finalize(st);
    std::printf("reference: %d invoice rows of 26 columns read and formatted\n", rows);
    return sw.seconds() / repeats * 1e3;
}

void BenchSelectCustomer(Views& v, sqlite3* h) {
    constexpr int kRepeats = 20;
    const int big = v.customers->Model()->RowOfID(kBigCustomer);
    const int other = v.customers->Model()->RowOfID(1);
    if (big < 0 || other < 0) {
        std::printf("customer rows missing\n");
        return;
    }
    double seconds = 0;
    for (int r = 0; r < kRepeats; ++r) {
        v.customers->ClickRow(other, Qt::NoModifier); // another customer first
        Stopwatch click;
        v.customers->ClickRow(big, Qt::NoModifier);
        seconds += click.seconds();
    }
    std::printf("invoice list after the click: %d rows (customer %d)\n", v.invoices->GetItemCount(),
                v.customers->GetCustomerID());
    const double raw = RawSelectCustomer(h, kRepeats);
    PrintFigure("select a customer of 500 invoices (list filled), ms", seconds / kRepeats * 1e3, raw, "ms",
                "under 50 ms");
}

// ---------------------------------------------------------------- the group rebuild

// The same rebuild straight in SQL: the group invoice's lines deleted, the members' lines
// merged by store item and inserted, the group invoice's totals and its customer's totals.
double RawGroupRebuild(sqlite3* h, int repeats) {
    const char* sql[] = {
        "DELETE FROM InvoiceItems WHERE InvoiceID = 2",
        "INSERT INTO InvoiceItems (ID, InvoiceID, StoreID, StoreItemID, InvoiceNumber, ItemCode, Description, "
        "Quantity, BackOrderCnt, ItemWeight, Price, BaseLinePrice, DiscountPrice, MarkupPrice) "
        "SELECT (SELECT max(ID) FROM InvoiceItems) + row_number() OVER (ORDER BY min(l.rowid)), 2, l.StoreID, "
        "l.StoreItemID, 2, l.ItemCode, l.Description, sum(l.Quantity), sum(l.BackOrderCnt), l.ItemWeight, l.Price, "
        "l.BaseLinePrice, l.DiscountPrice, l.MarkupPrice FROM InvoiceItems l JOIN Invoice i ON l.InvoiceID = i.ID "
        "WHERE i.InvoiceGroupID = 1 AND i.GroupInvoice = 0 "
        "GROUP BY CASE WHEN l.StoreItemID >= 1 THEN l.StoreItemID ELSE -l.rowid END",
        "UPDATE Invoice SET (ItemCount, ShipWeight, ItemsSubtotal) = (SELECT count(*), "
        "sum((Quantity - BackOrderCnt) * ItemWeight), sum((Quantity - BackOrderCnt) * BaseLinePrice) "
        "FROM InvoiceItems WHERE InvoiceID = 2) WHERE ID = 2",
        "UPDATE Invoice SET DiscountAmount = round(DiscountPercent * ItemsSubtotal, 2), "
        "ShipCharge = round(ShipWeight * ShipCostPerLb, 2), "
        "SalesTax = round(TaxRate * (ItemsSubtotal - round(DiscountPercent * ItemsSubtotal, 2)), 2), "
        "InvoiceTotal = ItemsSubtotal - round(DiscountPercent * ItemsSubtotal, 2) + round(ShipWeight * ShipCostPerLb, 2) "
        "+ round(TaxRate * (ItemsSubtotal - round(DiscountPercent * ItemsSubtotal, 2)), 2) WHERE ID = 2",
        "UPDATE Customer SET (InvoiceCnt, BalanceDue) = (SELECT count(*), sum(InvoiceTotal - AmountPaid) "
        "FROM Invoice WHERE CustomerID = 2) WHERE ID = 2"};
    std::vector<sqlite3_stmt*> st;
    for (const char* s : sql) {
        sqlite3_stmt* p = nullptr;
        if (sqlite3_prepare_v2(h, s, -1, &p, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "prepare failed: %s\n", sqlite3_errmsg(h));
        st.push_back(p);
    }
    Stopwatch sw;
    for (int r = 0; r < repeats; ++r) {
        Exec(h, "BEGIN");
        for (sqlite3_stmt* s : st) {
            if (s && sqlite3_step(s) != SQLITE_DONE) std::fprintf(stderr, "step failed: %s\n", sqlite3_errmsg(h));
            if (s) sqlite3_reset(s);
        }
        Exec(h, "COMMIT");
    }
    const double ms = sw.seconds() / repeats * 1e3;
    for (sqlite3_stmt* s : st) sqlite3_finalize(s);
    std::printf("reference: group invoice holds %d lines\n",
                [&] {
                    sqlite3_stmt* c = nullptr;
                    sqlite3_prepare_v2(h, "SELECT count(*) FROM InvoiceItems WHERE InvoiceID = 2", -1, &c, nullptr);
                    const int n = sqlite3_step(c) == SQLITE_ROW ? sqlite3_column_int(c, 0) : -1;
                    sqlite3_finalize(c);
                    return n;
                }());
    return ms;
}

void BenchGroupRebuild(Views& v, sqlite3* h) {
    constexpr int kRepeats = 10;
    // As the user leaves it: the group's customer selected, its group invoice on show.
    v.customers->ClickRow(v.customers->Model()->RowOfID(kGroupCustomer), Qt::NoModifier);
    const int row = v.invoices->Model()->RowOfID(kGroupInvoice);
    if (row >= 0) v.invoices->ClickRow(row, Qt::NoModifier);
    double seconds = 0;
    bool ok = true;
    for (int r = 0; r < kRepeats; ++r) {
        Stopwatch rebuild;
        ok = v.invoices->UpdateGroupInvoiceTotals(kGroup) && ok;
        seconds += rebuild.seconds();
    }
    std::printf("group rebuild %s; group invoice holds %d lines in the item list\n", ok ? "done" : "FAILED",
                v.items->GetItemCount());
    const double raw = RawGroupRebuild(h, kRepeats);
    PrintFigure("rebuild a group of 20 members x 50 lines, ms", seconds / kRepeats * 1e3, raw, "ms", "under 200 ms");
}

// ---------------------------------------------------------------- the demo project

// Every row of the demo's tables written again, one prepared insert per row, into an empty
// file with the same tables and indexes, in one transaction.
double RawWriteSameRows(const QString& demoPath, const QString& copyPath, int& rowsWritten) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(copyPath.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Exec(h, QStringLiteral("ATTACH DATABASE '%1' AS demo").arg(demoPath).toUtf8().constData());
    std::vector<std::pair<QString, QString>> tables, indexes; // name, sql
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "SELECT type, name, sql FROM demo.sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%'",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString type = QString::fromUtf8(Text(st, 0));
        (type == QLatin1String("table") ? tables : indexes).emplace_back(QString::fromUtf8(Text(st, 1)),
                                                                       QString::fromUtf8(Text(st, 2)));
    }
    sqlite3_finalize(st);
    for (const auto& t : tables) Exec(h, t.second.toUtf8().constData());
    for (const auto& i : indexes) Exec(h, i.second.toUtf8().constData());
    rowsWritten = 0;
    Stopwatch sw;
    Exec(h, "BEGIN");
    for (const auto& t : tables) {
        sqlite3_stmt* read = nullptr;
        sqlite3_prepare_v2(h, QStringLiteral("SELECT * FROM demo.\"%1\"").arg(t.first).toUtf8().constData(), -1, &read,
                           nullptr);
        const int columns = sqlite3_column_count(read);
        QStringList marks;
        for (int c = 0; c < columns; ++c) marks << QStringLiteral("?");
        sqlite3_stmt* write = nullptr;
        sqlite3_prepare_v2(h,
                           QStringLiteral("INSERT INTO main.\"%1\" VALUES (%2)")
                               .arg(t.first, marks.join(QLatin1Char(',')))
                               .toUtf8()
                               .constData(),
                           -1, &write, nullptr);
        while (sqlite3_step(read) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) sqlite3_bind_value(write, c + 1, sqlite3_column_value(read, c));
            sqlite3_step(write);
            sqlite3_reset(write);
            ++rowsWritten;
        }
        sqlite3_finalize(read);
        sqlite3_finalize(write);
    }
    Exec(h, "COMMIT");
    const double s = sw.seconds();
    sqlite3_close(h);
    return s;
}

void BenchDemo() {
    const QString path = BenchFolder() + QStringLiteral("/demo.qvp");
    DemoOptions options;
    options.customers = kCustomers;
    QString failure;
    Stopwatch sw;
    const bool made = MakeDemoProject(path, options, &failure);
    const double seconds = sw.seconds();
    if (!made) {
        std::printf("demo FAILED: %s\n", qPrintable(failure));
        return;
    }
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    std::printf("demo: %d customers, %d invoices, %d lines\n", CountRows(h, QStringLiteral("Customer")),
                CountRows(h, QStringLiteral("Invoice")), CountRows(h, QStringLiteral("InvoiceItems")));
    sqlite3_close(h);
    int rows = 0;
    const double raw = RawWriteSameRows(path, BenchFolder() + QStringLiteral("/demo-copy.sqlite"), rows);
    std::printf("reference: the demo's %d rows (every table) written one by one straight to SQLite\n", rows);
    PrintFigure("qvtool demo of 5,000 customers, s", seconds, raw, "s", "under 60 s");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList parts;
    for (int k = 1; k < argc; ++k) parts << QString::fromLocal8Bit(argv[k]);
    const auto wanted = [&](const char* part) { return parts.isEmpty() || parts.contains(QLatin1String(part)); };

    if (wanted("select") || wanted("group")) {
        const QString path = BenchFolder() + QStringLiteral("/invoices.qvp");
        {
            CQuorvaneDoc doc;
            CQuorvaneDoc::NewProjectRequest request;
            request.path = path;
            doc.CreateNewProject(request);
            doc.OnFileCloseProject();
        }
        BenchProjectSize size;
        size.bigCustomerInvoices = kBigInvoices;
        size.groupMembers = kMembers;
        size.groupMemberLines = kMemberLines;
        Stopwatch fill;
        FillBenchProject(path, size);
        std::printf("project of 5,000 customers, 50,000 invoices, 200,000 lines, 3 x 50,000 items made in %.1f s "
                    "(bench generator, rows written straight through record sets)\n",
                    fill.seconds());
        CRecordingPrompter prompter;
        CQuorvaneDoc doc(&prompter);
        {
            Views views(doc);
            if (!doc.OpenProject(path)) return 1;
            QApplication::processEvents();
            sqlite3* h = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
            if (wanted("select")) BenchSelectCustomer(views, h);
            if (wanted("group")) BenchGroupRebuild(views, h);
            sqlite3_close(h);
        }
        if (!prompter.m_messages.isEmpty())
            std::printf("messages shown: %s\n", qPrintable(prompter.m_messages.join(QLatin1String(" | "))));
    }
    if (wanted("demo")) BenchDemo();
    return 0;
}
