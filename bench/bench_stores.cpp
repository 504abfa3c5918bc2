// One store of 50,000 items: refill, find, discount table update, multi-edit, copy; each beside
// the same work done straight on SQLite.
#include "benchutil.h"

#include "customers/customerlistctrl.h"
#include "db/database.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "stores/pricingrules.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QItemSelectionModel>
#include <sqlite3.h>

namespace {

constexpr int kItems = 50000;
constexpr int kSelected = 10000;

// Answers every dialog with OK, having set the multi-edit's base price.
class BenchPrompter : public CRecordingPrompter {
public:
    std::function<void(QDialog&)> fill;
    int ExecDialog(QDialog& dlg) override {
        if (fill) fill(dlg);
        return QDialog::Accepted;
    }
};

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
        rs.setValue(QStringLiteral("DiscountGrpName"), i % 2 ? QStringLiteral("default") : QStringLiteral("bulk"));
        rs.setValue(QStringLiteral("BaseLinePrice"), 1.0 + i % 100);
        rs.setValue(QStringLiteral("ProdOunces"), 16.0);
        rs.update();
    }
    tx.commit();
}

sqlite3* Raw(const QString& path) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(h, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return h;
}

double RawReadAll(const QString& path, const char* table) {
    Stopwatch sw;
    sqlite3* h = Raw(path);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QByteArray("SELECT ID, ItemCode, Description, ContainerType, BaseLinePrice, "
                                      "DiscountPercent, DiscountPrice, ShipPounds FROM ") + table;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    std::vector<QStringList> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cells;
        for (int c = 1; c <= 3; ++c) cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        cells << QString::asprintf("$ %7.2f", sqlite3_column_double(st, 4));
        cells << QString::asprintf("%5.2f%%", sqlite3_column_double(st, 5) * 100);
        cells << QString::asprintf("$ %7.2f", sqlite3_column_double(st, 6));
        cells << QString::asprintf("%5.1f lb", sqlite3_column_double(st, 7));
        rows.push_back(cells);
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return sw.seconds();
}

// Rewrites the prices of `count` rows in one transaction, reading each row by ID first.
double RawRewrite(const QString& path, const char* table, int count) {
    Stopwatch sw;
    sqlite3* h = Raw(path);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(h, (QByteArray("SELECT * FROM ") + table + " WHERE ID = ?").constData(), -1, &read, nullptr);
    sqlite3_prepare_v2(h, (QByteArray("UPDATE ") + table + " SET DiscountPrice = ?, MarkupPrice = ?, "
                           "DiscPricePerOz = ?, MarkupPricePerOz = ?, DiscountPercent = ? WHERE ID = ?").constData(),
                       -1, &write, nullptr);
    for (int i = 1; i <= count; ++i) {
        sqlite3_bind_int(read, 1, i);
        double base = 0;
        if (sqlite3_step(read) == SQLITE_ROW) base = sqlite3_column_double(read, 6);
        sqlite3_reset(read);
        const CItemPrices p = PricesFromDiscount(base, 0.1, 0.0, 16.0);
        sqlite3_bind_double(write, 1, p.discountPrice);
        sqlite3_bind_double(write, 2, p.markupPrice);
        sqlite3_bind_double(write, 3, p.discPricePerOz);
        sqlite3_bind_double(write, 4, p.markupPricePerOz);
        sqlite3_bind_double(write, 5, 0.1);
        sqlite3_bind_int(write, 6, i);
        sqlite3_step(write);
        sqlite3_reset(write);
    }
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(read);
    sqlite3_finalize(write);
    sqlite3_close(h);
    return sw.seconds();
}

double RawFind(const QString& path, const char* table, const QString& needle) {
    Stopwatch sw;
    sqlite3* h = Raw(path);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, (QByteArray("SELECT ItemCode, Description, UserField1, UserField2 FROM ") + table).constData(),
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        bool hit = false;
        for (int c = 0; c < 4 && !hit; ++c)
            hit = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)))
                      .contains(needle, Qt::CaseInsensitive);
        if (hit) break;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return sw.seconds();
}

double RawCopy(const QString& path, const char* from, const char* to, int count) {
    Stopwatch sw;
    sqlite3* h = Raw(path);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    const QByteArray sql = QByteArray("INSERT INTO ") + to + " SELECT * FROM " + from + " WHERE ID = ?";
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    for (int i = 1; i <= count; ++i) {
        sqlite3_bind_int(st, 1, i);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr); // keep the tables as they were
    sqlite3_finalize(st);
    sqlite3_close(h);
    return sw.seconds();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/stores.qvp");
    BenchPrompter prompter;
    {
        CQuorvaneDoc doc;
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        doc.CreateNewProject(request);
        doc.GetPtrLookupTable()->AddItem(doc.GetDefaultDiscTableID(), QStringLiteral("bulk"), 0.1);
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

    const double rawRead = RawReadAll(path, "StoreItems_1");
    Stopwatch refill;
    list->RefreshListCtrlFromRecordset();
    PrintFigure("refill the store's list, s", refill.seconds(), rawRead, "s", "under 0.5 s");

    list->SelectOnly(0);
    const double rawFind = RawFind(path, "StoreItems_1", QStringLiteral("number 49999"));
    Stopwatch find;
    list->OnFindItem(QStringLiteral("NUMBER 49999"));
    PrintFigure("Find near the end of the list, ms", find.seconds() * 1e3, rawFind * 1e3, "ms", "under 50 ms");

    const double rawUpdate = RawRewrite(path, "StoreItems_1", kItems);
    Stopwatch update;
    stores->UpdateAllStoresFromDiscountTable();
    PrintFigure("UpdateAllItemsFromDiscountTable, all items, s", update.seconds(), rawUpdate, "s", "under 2 s");

    // A multi-edit of 10,000 selected items: a new base price recomputes every price.
    QItemSelection selection(list->Model()->index(0, 0), list->Model()->index(kSelected - 1, 0));
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    prompter.fill = [](QDialog& dlg) {
        if (auto* box = dlg.findChild<QWidget*>(QStringLiteral("checkBasePrice"))) box->setProperty("checked", true);
        if (auto* edit = dlg.findChild<QWidget*>(QStringLiteral("editBasePrice"))) edit->setProperty("text", "12.5");
    };
    const double rawEdit = RawRewrite(path, "StoreItems_1", kSelected);
    Stopwatch edit;
    list->OnEditItem();
    PrintFigure("multi-edit of 10,000 selected items, s", edit.seconds(), rawEdit, "s", "under 2 s");
    prompter.fill = nullptr;

    stores->OnEditAddItem(); // a second store (the dialog is answered with OK)
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const double rawCopy = RawCopy(path, "StoreItems_1", "StoreItems_2", kSelected);
    Stopwatch copy;
    stores->OnEditCopyStoreItem(false);
    PrintFigure("copy 10,000 items to another store, s", copy.seconds(), rawCopy, "s", "under 2 s");
    std::printf("second store now holds %d items\n", stores->GetPtrStoreLC(1)->GetItemCount());

    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    return 0;
}
