// The outside-database import: 100,000 CSV rows of 10 fields into the customers (validation and
// the list's refill included) beside sqlite3's own .import of the same file followed by the same
// refill; 50,000 items of a .dbf price list into a store.
#include "benchutil.h"
#include "../tests/support/dbfwriter.h"
#include "customers/customerlistctrl.h"
#include "db/recordset.h"
#include "import/databaseimportmgr.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storetabctrl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 100000;
constexpr int kItems = 50000;

[[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "bench_import: %s\n", qUtf8Printable(why));
    std::exit(1);
}

QString WriteCsv() {
    const QString path = BenchFolder() + QStringLiteral("/customers.csv");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) Fail(QStringLiteral("cannot write the CSV"));
    QByteArray out = "CustomerNbr,Name,Address1,Address2,City,State,Zip,Phone,DiscountRate,Comment\n";
    for (int i = 1; i <= kRows; ++i) {
        out += QByteArray::number(i) + ",Customer " + QByteArray::number(i) + ",\"" + QByteArray::number(i) +
               " Main Street\",Suite 4,Springfield,IL,62701,555-0100," + QByteArray::number(i % 10) + ".5,note\n";
        if (out.size() > (1 << 20)) {
            f.write(out);
            out.clear();
        }
    }
    f.write(out);
    return path;
}

QString NewProject(const QString& name) {
    const QString path = BenchFolder() + QLatin1Char('/') + name;
    QFile::remove(path);
    CQuorvaneDoc doc;
    CQuorvaneDoc::NewProjectRequest request;
    request.path = path;
    if (!doc.CreateNewProject(request)) Fail(QStringLiteral("cannot make the project"));
    doc.OnFileCloseProject();
    return path;
}

// The project open with the list windows, as the program holds it.
struct Windows {
    QWidget window; // outlives the document, which closes the lists' tables
    CQuorvaneDoc doc;
    CCustomerListCtrl* customers;
    explicit Windows(const QString& path) {
        window.resize(1000, 800);
        customers = new CCustomerListCtrl(&doc, &window);
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
        if (!doc.OpenProject(path)) Fail(QStringLiteral("cannot open the project"));
        QApplication::processEvents();
    }
    void Refill() {
        customers->GetPtrRecordset()->requery();
        customers->ReQueryRecordsetB();
        customers->RefreshListCtrlFromRecordset();
        QApplication::processEvents();
    }
};

CRecordingPrompter gPrompter;

bool Import(CDatabaseImportMgr& mgr, int index, const QString& table, const QStringList& by = {}) {
    if (!mgr.LoadDestinationTableEntryNames(index) || !mgr.LoadSourceTableEntryNames(table)) return false;
    QStringList sources = *mgr.GetPtrSourceEntryNamesAndTypesList();
    sources << CDatabaseImportMgr::kNoMatch;
    QStringList mapping = CDatabaseImportMgr::MatchEntries(*mgr.GetPtrDestinationEntryList(), sources);
    for (const QString& m : by)
        for (QString& line : mapping)
            if (line.section(QLatin1Char('\t'), 0, 0) == m.section(QLatin1Char('='), 0, 0))
                for (const QString& s : sources)
                    if (s.section(QLatin1Char('\t'), 0, 0) == m.section(QLatin1Char('='), 1))
                        line = line.left(line.indexOf(QLatin1String("= ")) + 2) + s;
    *mgr.GetPtrDestinationEntryList() = mapping;
    return mgr.LoadSourceItems(index, table);
}

double ImportCustomers(const QString& csv) {
    Windows w(NewProject(QStringLiteral("ours.qvp")));
    Stopwatch watch;
    CDatabaseImportMgr mgr(w.doc, gPrompter);
    if (!mgr.OpenIsamDatabase(csv, import::SourceKind::Text)) Fail(gPrompter.m_messages.join(QLatin1Char('\n')));
    if (!Import(mgr, CDatabaseImportMgr::Customers, QStringLiteral("customers.csv")))
        Fail(gPrompter.m_messages.join(QLatin1Char('\n')));
    mgr.FinishImport();
    w.Refill();
    const double seconds = watch.seconds();
    if (w.customers->GetItemCount() != kRows) Fail(QStringLiteral("%1 customers shown").arg(w.customers->GetItemCount()));
    return seconds;
}

double SqliteImport(const QString& csv) {
    const QString path = NewProject(QStringLiteral("reference.qvp"));
    Windows w(path);
    Stopwatch watch;
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), path});
    if (!sqlite.waitForStarted()) Fail(QStringLiteral("sqlite3 did not start: install the sqlite3 package"));
    sqlite.write(".mode csv\n.import '" + csv.toUtf8() + "' t\n"
                 "INSERT INTO Customer (ID, CustomerNbr, Name, Address1, Address2, City, State, Zip, Phone, Fax, Work,"
                 " InvoiceCnt, BalanceDue, DiscountRate, TaxRate, Comment, Business, Taxable, ShareOrder, PriceChoice,"
                 " UserField1, UserField2) SELECT rowid, CustomerNbr, Name, Address1, Address2, City, State, Zip, Phone,"
                 " ' ', ' ', 0, 0, DiscountRate, 0, Comment, 0, 0, 0, 0, ' ', ' ' FROM t;\n"
                 "DROP TABLE t;\nSELECT count(*) FROM Customer;\n");
    sqlite.closeWriteChannel();
    if (!sqlite.waitForFinished(600000)) Fail(QStringLiteral("sqlite3 did not finish"));
    if (sqlite.readAllStandardOutput().trimmed() != QByteArray::number(kRows))
        Fail(QStringLiteral("sqlite3: %1").arg(QString::fromUtf8(sqlite.readAllStandardError())));
    w.Refill();
    const double seconds = watch.seconds();
    if (w.customers->GetItemCount() != kRows) Fail(QStringLiteral("%1 reference customers shown").arg(w.customers->GetItemCount()));
    return seconds;
}

double ImportItems() {
    const QString folder = BenchFolder() + QStringLiteral("/dbf");
    QDir().mkpath(folder);
    std::vector<std::vector<QByteArray>> rows;
    rows.reserve(kItems);
    for (int i = 1; i <= kItems; ++i)
        rows.push_back({"C" + QByteArray::number(i), "Item number " + QByteArray::number(i), QByteArray::number(i % 997) + ".25",
                        QByteArray::number(i % 13)});
    if (!dbfwriter::Write(folder + QStringLiteral("/prices.dbf"),
                          dbfwriter::Table({{"ITEMCODE", 'C', 10}, {"DESCRIPTIO", 'C', 40}, {"PRICE", 'N', 10, 2}, {"OUNCES", 'N', 6}}, rows)))
        Fail(QStringLiteral("cannot write the .dbf"));
    const QString path = NewProject(QStringLiteral("items.qvp"));
    CQuorvaneDoc doc(&gPrompter);
    if (!doc.OpenProject(path)) Fail(QStringLiteral("cannot open the items project"));
    db::Recordset stores(*doc.GetPtrDatabase());
    stores.open(QStringLiteral("select * from [Store]"));
    stores.moveFirst();
    Stopwatch watch;
    CDatabaseImportMgr mgr(doc, gPrompter);
    mgr.SetStoreID(stores.intValue(QStringLiteral("ID")));
    if (!mgr.OpenIsamDatabase(folder, import::SourceKind::DBase)) Fail(gPrompter.m_messages.join(QLatin1Char('\n')));
    if (!Import(mgr, CDatabaseImportMgr::StoreItems, QStringLiteral("prices"),
                {QStringLiteral("Description=DESCRIPTIO"), QStringLiteral("BaseLinePrice=PRICE"), QStringLiteral("ProdOunces=OUNCES")}))
        Fail(gPrompter.m_messages.join(QLatin1Char('\n')));
    mgr.FinishImport();
    const double seconds = watch.seconds();
    if (mgr.LastResult(CDatabaseImportMgr::StoreItems).rows != kItems) Fail(QStringLiteral("items missing"));
    doc.OnFileCloseProject();
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString csv = WriteCsv();
    const double ours = ImportCustomers(csv);
    const double reference = SqliteImport(csv);
    PrintFigure("import 100,000 CSV rows into the customers, validated and shown, s", ours, reference, "s",
                "within 3x of sqlite3 .import + the same refill");
    const double items = ImportItems();
    PrintFigure("import 50,000 items of a .dbf into a store, s", items, 5.0, "s", "under 5 s");
    return 0;
}
