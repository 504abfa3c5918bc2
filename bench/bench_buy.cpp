// Selecting an invoice of 200 lines and buying one item, in a project of 5,000 customers,
// 50,000 invoices, 200,000 lines and three stores of 50,000 items; beside the same reads and
// writes done straight on SQLite.
#include "benchproject.h"
#include "benchutil.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"

#include <QApplication>
#include <sqlite3.h>

namespace {

constexpr int kRepeats = 20;

// The 200 lines of invoice 1 read and formatted straight from SQLite.
double RawSelect(sqlite3* h) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h,
                       "SELECT ID, ItemCode, Description, Quantity, BackOrderCnt, BaseLinePrice FROM InvoiceItems "
                       "WHERE InvoiceID = 1",
                       -1, &st, nullptr);
    Stopwatch sw;
    for (int r = 0; r < kRepeats; ++r) {
        std::vector<QStringList> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int shipped = sqlite3_column_int(st, 3) - sqlite3_column_int(st, 4);
            rows.push_back({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))),
                            QString::number(sqlite3_column_int(st, 3)), QString::number(sqlite3_column_int(st, 4)),
                            QString::asprintf("$ %7.2f", shipped * sqlite3_column_double(st, 5))});
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return sw.seconds() / kRepeats * 1e3;
}

// One purchase's writes straight on SQLite: the line, the stock, the invoice's totals from
// its lines, the customer's balance from its invoices, in one committed transaction.
double RawBuy(sqlite3* h) {
    const char* sql[] = {
        "INSERT INTO InvoiceItems (ID, InvoiceID, StoreID, StoreItemID, InvoiceNumber, ItemCode, Description, "
        "Quantity, BackOrderCnt, ItemWeight, Price, BaseLinePrice, DiscountPrice, MarkupPrice) "
        "VALUES (?, 1, 1, ?, 1, 'x', 'x', 1, 0, 0.5, 2, 2, 1.8, 3)",
        "UPDATE StoreItems_1 SET QtyInStock = max(QtyInStock - 1, 0) WHERE ID = ?",
        "UPDATE Invoice SET (ItemCount, ShipWeight, ItemsSubtotal) = (SELECT count(*), "
        "sum((Quantity - BackOrderCnt) * ItemWeight), sum((Quantity - BackOrderCnt) * BaseLinePrice) "
        "FROM InvoiceItems WHERE InvoiceID = 1) WHERE ID = 1",
        "UPDATE Customer SET (InvoiceCnt, BalanceDue) = (SELECT count(*), sum(InvoiceTotal - AmountPaid) "
        "FROM Invoice WHERE CustomerID = 1) WHERE ID = 1"};
    sqlite3_stmt* st[4] = {};
    for (int i = 0; i < 4; ++i) sqlite3_prepare_v2(h, sql[i], -1, &st[i], nullptr);
    Stopwatch sw;
    for (int r = 0; r < kRepeats; ++r) {
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_int(st[0], 1, 900000 + r);
        sqlite3_bind_int(st[0], 2, 100 + r);
        sqlite3_bind_int(st[1], 1, 100 + r);
        for (sqlite3_stmt* s : st) {
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    }
    const double ms = sw.seconds() / kRepeats * 1e3;
    for (sqlite3_stmt* s : st) sqlite3_finalize(s);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/buy.qvp");
    {
        CQuorvaneDoc doc;
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        doc.CreateNewProject(request);
        doc.OnFileCloseProject();
    }
    Stopwatch fill;
    FillBenchProject(path, BenchProjectSize{});
    std::printf("project of 5,000 customers, 50,000 invoices, 200,000 lines, 3 x 50,000 items made in %.1f s\n",
                fill.seconds());

    CQuorvaneDoc doc;
    QWidget window;
    window.resize(1000, 900);
    auto* customers = new CCustomerListCtrl(&doc, &window);
    auto* invoices = new CInvoicesListCtrl(&doc, &window);
    auto* items = new CInvoiceItemsListCtrl(&doc, &window);
    auto* stores = new CStoreTabCtrl(&doc, &window);
    customers->setGeometry(0, 0, 1000, 200);
    invoices->setGeometry(0, 200, 1000, 200);
    items->setGeometry(0, 400, 1000, 200);
    stores->setGeometry(0, 600, 1000, 300);
    customers->SetInvoiceList(invoices);
    invoices->SetNeighbours(customers, items, stores);
    items->SetNeighbours(invoices, stores);
    doc.SetListOwners(customers, invoices, items, stores);
    window.show();
    doc.OpenProject(path);
    QApplication::processEvents();

    // Customer 1 holds invoice 1 (200 lines) and nine others.
    invoices->ReQueryRecordsetUsingID(1, true);
    const int row = invoices->Model()->RowOfID(1);
    double selectSeconds = 0;
    for (int r = 0; r < kRepeats; ++r) {
        invoices->ClickRow(row == 0 ? 1 : 0, Qt::NoModifier); // another invoice first
        Stopwatch select;
        invoices->ClickRow(row, Qt::NoModifier);
        selectSeconds += select.seconds();
    }
    const double selectMs = selectSeconds / kRepeats * 1e3;
    std::printf("item list: %d rows\n", items->GetItemCount());

    CStoreListCtrl* list = stores->CurrentStoreList();
    Stopwatch buy;
    for (int r = 0; r < kRepeats; ++r) list->AddItemToInvoice(100 + r);
    const double buyMs = buy.seconds() / kRepeats * 1e3;
    std::printf("item list after buying: %d rows\n", items->GetItemCount());

    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const double rawSelect = RawSelect(h);
    const double rawBuy = RawBuy(h);
    sqlite3_close(h);
    PrintFigure("select an invoice of 200 lines (item list filled), ms", selectMs, rawSelect, "ms", "under 20 ms");
    PrintFigure("one Buy (line, stock, invoice and customer totals), ms", buyMs, rawBuy, "ms", "under 10 ms");
    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    return 0;
}
