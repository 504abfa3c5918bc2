// Start-up of the main window and opening a project with 10,000 customers and 5 stores, each
// beside a reference measured in the same run: a bare main window, and reading the same rows
// straight from SQLite.
#include "benchutil.h"

#include "app/quorvanemain.h"
#include "app/singleinstance.h"
#include "customers/customerlistctrl.h"
#include "app/quorvaneview.h"
#include "db/database.h"
#include "db/recordset.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/storetabctrl.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr int kCustomers = 10000;
constexpr int kStores = 5;
constexpr int kRepeats = 3;

// Shown, laid out and painted once.
void WaitShown(QWidget& w) {
    w.show();
    for (int i = 0; i < 1000 && !(w.windowHandle() && w.windowHandle()->isExposed()); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
}

double BareWindow() {
    Stopwatch sw;
    QMainWindow w;
    w.menuBar()->addMenu(QStringLiteral("&File"));
    w.setCentralWidget(new QLabel(QStringLiteral("Quorvane"), &w));
    w.resize(1000, 750);
    WaitShown(w);
    return sw.seconds();
}

double MainWindow() {
    CRecordingPrompter prompter;
    Stopwatch sw;
    CQuorvaneMain frame(&prompter);
    WaitShown(frame);
    return sw.seconds();
}

void Check(bool ok, const char* what);

// As the program starts: ask for a running program (none), take the socket, show the window.
double MainWindowWithHandOverCheck() {
    const QString socket = BenchFolder() + QStringLiteral("/quorvane.socket");
    CRecordingPrompter prompter;
    Stopwatch sw;
    Check(singleinstance::SendToRunningProgram({}, socket) == singleinstance::HandOver::NoProgram, "a program answered");
    CInstanceServer server;
    Check(server.Listen(socket), "could not listen");
    CQuorvaneMain frame(&prompter);
    WaitShown(frame);
    return sw.seconds();
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "bench_startup: %s\n", what);
    std::exit(1);
}

// A project made by the document, then filled in one transaction through the engine layer.
QString MakeProject() {
    const QString path = BenchFolder() + QStringLiteral("/big.qvp");
    int discTable = 1, containers = 2;
    {
        CRecordingPrompter prompter;
        CQuorvaneDoc doc(&prompter);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        Check(doc.CreateNewProject(request), "could not create the project");
        discTable = doc.GetDefaultDiscTableID();
        containers = doc.GetDefaultContainerID();
    }
    db::Database file;
    file.open(path);
    db::Transaction tx(file);
    db::Recordset stores(file);
    stores.open(QStringLiteral("select * from [Store]"));
    for (int id = 2; id <= kStores; ++id) {
        const QVariantHash values = CQuorvaneDoc::NewStoreValues(id, discTable, containers);
        stores.addNew();
        for (const db::FieldDef& f : stores.fields())
            stores.setValue(f.name, values.value(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0)));
        stores.update();
        file.createTable(schema::StoreItems(id));
    }
    db::Recordset customers(file);
    customers.open(QStringLiteral("select * from [Customer]"));
    for (int i = 1; i <= kCustomers; ++i) {
        customers.addNew();
        for (const db::FieldDef& f : customers.fields())
            customers.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        customers.setValue(QStringLiteral("ID"), i);
        customers.setValue(QStringLiteral("CustomerNbr"), i);
        customers.setValue(QStringLiteral("Name"), QStringLiteral("Customer %1").arg(i));
        customers.setValue(QStringLiteral("City"), QStringLiteral("Rivertown"));
        customers.setValue(QStringLiteral("BalanceDue"), i * 1.25);
        customers.update();
    }
    db::Recordset highWater(file);
    highWater.open(QStringLiteral("select * from [HighWater]"));
    highWater.moveLast();
    highWater.edit();
    highWater.setValue(QStringLiteral("HighWaterStoreID"), kStores + 1);
    highWater.setValue(QStringLiteral("HighWaterCustomerID"), kCustomers + 1);
    highWater.setValue(QStringLiteral("HighWaterCustomerNbr"), kCustomers + 1);
    highWater.update();
    tx.commit();
    return path;
}

double OpenInWindow(const QString& path) {
    CRecordingPrompter prompter;
    CQuorvaneMain frame(&prompter);
    frame.resize(1000, 750);
    WaitShown(frame);
    Stopwatch sw;
    const bool ok = frame.Doc().DoOpenProject(path);
    QApplication::processEvents();
    const double seconds = sw.seconds();
    Check(ok, "could not open the project");
    Check(frame.UpperView()->Customers()->GetItemCount() == kCustomers, "wrong number of customers shown");
    Check(frame.StoreTabs()->GetStoreCount() == kStores, "wrong number of stores");
    return seconds;
}

// Every row of the tables the open reads, every field, straight from SQLite.
double RawOpen(const QString& path) {
    Stopwatch sw;
    sqlite3* h = nullptr;
    Check(sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, "raw open");
    QStringList tables{"Project", "HighWater", "Lookup", "DiscTableNamesList", "ContainerNamesList",
                       "ContainerList", "ColumnDefs", "Store", "Customer", "Invoice", "InvoiceItems"};
    for (int id = 1; id <= kStores; ++id) tables << schema::StoreItemsTableName(id);
    long cells = 0;
    std::vector<QString> texts;
    texts.reserve(kCustomers * 22);
    for (const QString& table : tables) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT * FROM [%1]").arg(table).toUtf8();
        Check(sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr) == SQLITE_OK, "raw prepare");
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                    texts.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                                      sqlite3_column_bytes(st, c)));
                else
                    cells += sqlite3_column_int64(st, c) != 0;
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    Check(cells + long(texts.size()) > kCustomers, "raw read found no rows");
    return sw.seconds();
}

template <typename F> double Best(F f) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) best = std::min(best, f());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The benchmark's own settings file: the user's recent files and window place stay as they are.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, BenchFolder() + QStringLiteral("/settings"));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pellor Software"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));

    // The platform, fonts and style load once per process: not part of either figure.
    BareWindow();
    const double bare = Best(BareWindow);
    const double start = Best(MainWindow);
    PrintFigure("start: main window made, shown, events processed", start, bare, "s", "under 1 s");
    const double handOver = Best(MainWindowWithHandOverCheck);
    PrintFigure("start with the hand-over check and the socket", handOver, start, "s", "under 1 s");

    const QString path = MakeProject();
    const double raw = Best([&] { return RawOpen(path); });
    const double open = Best([&] { return OpenInWindow(path); });
    PrintFigure("open: 10,000 customers, 5 stores, lists filled", open, raw, "s", "under 1 s");
    return 0;
}
