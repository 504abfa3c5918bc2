// Export and import of a store of 50,000 items through the store exchange file, on windows,
// each beside the same copy done straight on SQLite (ATTACH and INSERT ... SELECT).
#include "benchutil.h"

#include "customers/customerlistctrl.h"
#include "db/database.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/storeexchange.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QFile>
#include <sqlite3.h>

namespace {

constexpr int kItems = 50000;

void FillItems(const QString& path, const QString& table) {
    db::Database file;
    file.open(path);
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    db::Transaction tx(file);
    for (int i = 1; i <= kItems; ++i) {
        rs.addNew();
        for (const db::FieldDef& f : rs.fields())
            rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        rs.setValue(QStringLiteral("ID"), i);
        rs.setValue(QStringLiteral("ItemCode"), QStringLiteral("C%1").arg(i));
        rs.setValue(QStringLiteral("Description"), QStringLiteral("Item number %1").arg(i));
        rs.setValue(QStringLiteral("ContainerType"), QStringLiteral("bottle"));
        rs.setValue(QStringLiteral("BaseLinePrice"), 1.0 + i % 100);
        rs.setValue(QStringLiteral("ProdOunces"), 16.0);
        rs.update();
    }
    tx.commit();
}

// The item table copied from one file into a new table of another, in one transaction.
double RawCopy(const QString& from, const QString& to, const char* fromTable, const char* toTable, bool create) {
    Stopwatch sw;
    if (create) QFile::remove(to);
    sqlite3* h = nullptr;
    sqlite3_open_v2(to.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(h, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(h, (QByteArray("ATTACH '") + from.toUtf8() + "' AS src").constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(h, (QByteArray("CREATE TABLE ") + toTable + " AS SELECT * FROM src." + fromTable).constData(), nullptr,
                 nullptr, nullptr);
    sqlite3_exec(h, create ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr); // the project stays as it was
    sqlite3_close(h);
    return sw.seconds();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/exchange.qvp");
    const QString file = BenchFolder() + QStringLiteral("/store.mdb");
    const QString rawFile = BenchFolder() + QStringLiteral("/raw.db");
    CRecordingPrompter prompter;
    {
        CQuorvaneDoc doc;
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        doc.CreateNewProject(request);
        doc.OnFileCloseProject();
    }
    FillItems(path, QStringLiteral("StoreItems_1"));

    CQuorvaneDoc doc(&prompter);
    QWidget window;
    window.resize(1000, 800);
    auto* customers = new CCustomerListCtrl(&doc, &window);
    auto* invoices = new CInvoicesListCtrl(&doc, &window);
    auto* items = new CInvoiceItemsListCtrl(&doc, &window);
    auto* stores = new CStoreTabCtrl(&doc, &window);
    stores->setGeometry(0, 0, 1000, 800);
    customers->SetInvoiceList(invoices);
    invoices->SetNeighbours(customers, items, stores);
    items->SetNeighbours(invoices, stores);
    doc.SetListOwners(customers, invoices, items, stores);
    window.show();
    doc.OpenProject(path);
    QApplication::processEvents();
    CStoreListCtrl* list = stores->CurrentStoreList();
    std::printf("one store of %d items\n", list->GetItemCount());

    std::vector<int> order;
    for (int row = 0; row < list->GetItemCount(); ++row) order.push_back(list->GetItemID(row));
    const double rawExport = RawCopy(path, rawFile, "StoreItems_1", "StoreItems_1", true);
    QString error;
    Stopwatch exporting;
    const bool exported = ExportStore(doc, 1, file, error, order);
    PrintFigure("export a store of 50,000 items, s", exporting.seconds(), rawExport, "s", "under 3 s");
    if (!exported) std::printf("export failed: %s\n", qPrintable(error));

    const double rawImport = RawCopy(file, path, "StoreItems_1", "StoreItems_99", false);
    Stopwatch importing;
    const bool imported = ImportStore(doc, file, error);
    PrintFigure("import it as a new store (list shown), s", importing.seconds(), rawImport, "s", "under 3 s");
    if (!imported) std::printf("import failed: %s\n", qPrintable(error));
    std::printf("the new store holds %d items\n", stores->CurrentStoreList()->GetItemCount());

    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    return exported && imported ? 0 : 1;
}
