// The customer list at 100,000 rows: refill, select, scroll; beside reading the same rows
// straight from SQLite.
#include "benchutil.h"

#include "customers/customerlistctrl.h"
#include "db/database.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"

#include <QApplication>
#include <QScrollBar>
#include <sqlite3.h>

namespace {

constexpr int kRows = 100000;

void FillCustomers(const QString& path) {
    db::Database file;
    file.open(path);
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [Customer]"));
    db::Transaction tx(file);
    for (int i = 1; i <= kRows; ++i) {
        rs.addNew();
        for (const db::FieldDef& f : rs.fields())
            rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        rs.setValue(QStringLiteral("ID"), i);
        rs.setValue(QStringLiteral("CustomerNbr"), i);
        rs.setValue(QStringLiteral("Name"), QStringLiteral("Customer %1").arg(i));
        rs.setValue(QStringLiteral("BalanceDue"), i * 1.25);
        rs.setValue(QStringLiteral("Taxable"), i % 2);
        rs.update();
    }
    tx.commit();
}

// The same rows and cells, read and formatted straight from SQLite.
double RawRead(const QString& path) {
    Stopwatch sw;
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "SELECT ID, Name, Business, Taxable, ShareOrder, InvoiceCnt, BalanceDue FROM Customer",
                       -1, &st, nullptr);
    std::vector<std::pair<int, QStringList>> rows;
    rows.reserve(kRows);
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cells;
        cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        for (int c = 2; c <= 4; ++c) cells << (sqlite3_column_int(st, c) ? QStringLiteral("Y") : QStringLiteral(" "));
        cells << QString::number(sqlite3_column_int(st, 5));
        cells << QString::asprintf("$ %7.2f", sqlite3_column_double(st, 6));
        rows.emplace_back(sqlite3_column_int(st, 0), std::move(cells));
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return sw.seconds();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/lists.qvp");
    {
        CQuorvaneDoc doc;
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        doc.CreateNewProject(request);
        doc.OnFileCloseProject();
    }
    FillCustomers(path);

    CQuorvaneDoc doc;
    QWidget window;
    window.resize(1000, 800);
    auto* customers = new CCustomerListCtrl(&doc, &window);
    auto* invoices = new CInvoicesListCtrl(&doc, &window);
    auto* items = new CInvoiceItemsListCtrl(&doc, &window);
    auto* stores = new CStoreTabCtrl(&doc, &window);
    customers->setGeometry(0, 0, 1000, 400);
    customers->SetInvoiceList(invoices);
    invoices->SetNeighbours(customers, items, stores);
    items->SetNeighbours(invoices, stores);
    doc.SetListOwners(customers, invoices, items, stores);
    window.show();
    QApplication::processEvents();
    Stopwatch open;
    doc.OpenProject(path);
    QApplication::processEvents();
    const double openSeconds = open.seconds();

    const double raw = RawRead(path);
    Stopwatch refill;
    customers->RefreshListCtrlFromRecordset();
    QApplication::processEvents();
    const double refillSeconds = refill.seconds();
    std::printf("customer list of %d rows (%d shown)\n", kRows, customers->GetItemCount());
    PrintFigure("RefreshListCtrlFromRecordset, s", refillSeconds, raw, "s", "under 1 s");
    PrintFigure("open the project (all lists filled), s", openSeconds, raw, "s");

    // Selecting and scrolling: a click's worth of work, timed over many repetitions.
    constexpr int kClicks = 200;
    Stopwatch select;
    for (int i = 0; i < kClicks; ++i) customers->ClickRow((i * 4999) % kRows, Qt::NoModifier);
    QApplication::processEvents();
    const double perClick = select.seconds() / kClicks * 1e3;
    Stopwatch scroll;
    QScrollBar* bar = customers->verticalScrollBar();
    for (int i = 0; i < kClicks; ++i) {
        bar->setValue((i * 7919) % std::max(1, bar->maximum()));
        customers->viewport()->repaint();
    }
    const double perScroll = scroll.seconds() / kClicks * 1e3;
    // Reference for one interaction: reading one customer row straight from SQLite by ID.
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "SELECT * FROM Customer WHERE ID = ?", -1, &st, nullptr);
    Stopwatch one;
    for (int i = 0; i < kClicks; ++i) {
        sqlite3_bind_int(st, 1, (i * 4999) % kRows + 1);
        while (sqlite3_step(st) == SQLITE_ROW) {
        }
        sqlite3_reset(st);
    }
    const double perRead = one.seconds() / kClicks * 1e3;
    sqlite3_finalize(st);
    sqlite3_close(h);
    PrintFigure("select a row (click, activate, invoices requeried), ms", perClick, perRead, "ms", "immediate");
    PrintFigure("scroll and repaint the list, ms", perScroll, perRead, "ms", "immediate");
    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    return 0;
}
