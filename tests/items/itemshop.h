#pragma once

// A project with one customer, one invoice and a store of three items, on the list windows,
// for the tests of invoice lines and buying.
#include "listharness.h"

#include "db/recordset.h"
#include "items/itemsbar.h"
#include "stores/storelistctrl.h"
#include "userinput.h"

#include <QLineEdit>
#include <QPushButton>
#include <sqlite3.h>

struct StoredLine {
    int ID = 0, InvoiceID = 0, StoreID = 0, StoreItemID = 0, Quantity = 0, BackOrderCnt = 0;
};

class ItemShop {
public:
    // Items 101 "A" ($2.00 base, $1.50 discount, 0.5 lb), 102 "B" ($3.00), 103 "C" ($4.00).
    explicit ItemShop(bool trackStock = true, int stock = 5) {
        h.NewProject();
        h.prompter.ExpectDialog([](QDialog& dlg) {
            if (!Open(dlg)) return int(QDialog::Rejected);
            TypeAndLeave(Find<QLineEdit>(dlg, "editName"), QStringLiteral("Alice"));
            Click(Find<QPushButton>(dlg, "IDOK"));
            return dlg.result();
        });
        h.customers->OnEditAddItem();
        customerID = h.customers->GetCurrentID();
        store = h.stores->CurrentStoreList();
        storeID = store->GetStoreID();
        SetTracking(storeID, trackStock);
        AddStoreItem(store, 101, "A", 2.0, 1.5, 0.5, stock);
        AddStoreItem(store, 102, "B", 3.0, 2.5, 1.0, stock);
        AddStoreItem(store, 103, "C", 4.0, 3.5, 2.0, stock);
        bar = new CItemsBar(33400, &h.window);
        bar->SetLists(h.items, h.invoices);
        bar->setGeometry(0, 500, 900, 30);
        bar->show();
        h.stores->setGeometry(0, 530, 900, 370);
    }

    void SetTracking(int id, bool on) {
        db::Recordset& rs = *h.stores->GetPtrRecordset();
        ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = %1").arg(id)));
        rs.edit();
        rs.setValue(QStringLiteral("TrackStockQty"), on ? 1 : 0);
        rs.update();
    }
    static void AddStoreItem(CStoreListCtrl* list, int id, const char* code, double base, double discount,
                             double pounds, int stock) {
        list->Table().AddRow({{QStringLiteral("ID"), id},
                              {QStringLiteral("ItemCode"), QLatin1String(code)},
                              {QStringLiteral("Description"), QStringLiteral("%1 item").arg(QLatin1String(code))},
                              {QStringLiteral("BaseLinePrice"), base},
                              {QStringLiteral("DiscountPrice"), discount},
                              {QStringLiteral("MarkupPrice"), base * 2},
                              {QStringLiteral("ShipPounds"), pounds},
                              {QStringLiteral("QtyInStock"), stock}});
        list->RefreshListCtrlFromRecordset();
    }

    // An invoice of Alice's, written as a row; then her invoices are shown and it is clicked.
    void AddInvoice(int id, int priceChoice = 0, bool closed = false, bool group = false, int groupID = 0) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Invoice]"));
        rs.addNew();
        for (const db::FieldDef& f : rs.fields())
            rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        rs.setValue(QStringLiteral("ID"), id);
        rs.setValue(QStringLiteral("CustomerID"), customerID);
        rs.setValue(QStringLiteral("InvoiceNumber"), id);
        rs.setValue(QStringLiteral("PriceChoice"), priceChoice);
        rs.setValue(QStringLiteral("Closed"), closed ? 1 : 0);
        rs.setValue(QStringLiteral("GroupInvoice"), group ? 1 : 0);
        rs.setValue(QStringLiteral("InvoiceGroupID"), groupID);
        rs.update();
        h.invoices->ReQueryRecordsetUsingID(customerID, true);
        ClickRow(h.invoices, h.invoices->Model()->RowOfID(id));
    }
    // A line written as a row (for states buying cannot reach quickly); the list is refilled.
    void AddLine(int id, int invoiceID, int storeItemID, int quantity, int backOrder) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [InvoiceItems]"));
        rs.addNew();
        for (const db::FieldDef& f : rs.fields())
            rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral(" ")) : QVariant(0));
        rs.setValue(QStringLiteral("ID"), id);
        rs.setValue(QStringLiteral("InvoiceID"), invoiceID);
        rs.setValue(QStringLiteral("StoreID"), storeID);
        rs.setValue(QStringLiteral("StoreItemID"), storeItemID);
        rs.setValue(QStringLiteral("Quantity"), quantity);
        rs.setValue(QStringLiteral("BackOrderCnt"), backOrder);
        rs.setValue(QStringLiteral("BaseLinePrice"), 2.0);
        rs.setValue(QStringLiteral("DiscountPrice"), 1.5);
        rs.setValue(QStringLiteral("MarkupPrice"), 4.0);
        rs.setValue(QStringLiteral("ItemWeight"), 0.5);
        rs.update();
        h.items->ReQueryRecordsetUsingID(invoiceID);
    }

    static void ClickRow(CListWindow* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        ASSERT_GE(row, 0);
        list->scrollTo(list->Model()->index(row, 0));
        const QRect cell = list->visualRect(list->Model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, cell.center());
        Settle();
    }
    void ClickItem(int id, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        ClickRow(store, store->Model()->RowOfID(id), mods);
    }
    void Buy(int id) {
        ClickItem(id);
        Click(h.stores->BuyButton());
    }
    void PressKey(QWidget* w, Qt::Key key) {
        w->setFocus();
        QTest::keyClick(w, key);
        Settle();
    }
    void Exec(const QString& sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(h.doc.GetPtrDatabase()->handle(), sql.toUtf8().constData(), nullptr, nullptr, &error),
                  SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
    }

    int Stock(int itemID) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [StoreItems_%1]").arg(storeID));
        return rs.findFirst(QStringLiteral("ID = %1").arg(itemID)) ? rs.intValue(QStringLiteral("QtyInStock")) : -1;
    }
    std::vector<StoredLine> Lines() {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [InvoiceItems]"));
        std::vector<StoredLine> lines;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            lines.push_back({rs.intValue(QStringLiteral("ID")), rs.intValue(QStringLiteral("InvoiceID")),
                             rs.intValue(QStringLiteral("StoreID")), rs.intValue(QStringLiteral("StoreItemID")),
                             rs.intValue(QStringLiteral("Quantity")), rs.intValue(QStringLiteral("BackOrderCnt"))});
        return lines;
    }
    StoredLine LineOf(int storeItemID) {
        for (const StoredLine& l : Lines())
            if (l.StoreItemID == storeItemID) return l;
        return {};
    }
    QVariant InvoiceField(int id, const char* field) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Invoice]"));
        return rs.findFirst(QStringLiteral("ID = %1").arg(id)) ? rs.value(QLatin1String(field)) : QVariant();
    }
    QVariant CustomerField(const char* field) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Customer]"));
        return rs.findFirst(QStringLiteral("ID = %1").arg(customerID)) ? rs.value(QLatin1String(field)) : QVariant();
    }
    // The item list's cell of a line in a column slot.
    QString Cell(int lineID, int slot) { return h.items->GetItemText(h.items->Model()->RowOfID(lineID), slot); }

    ListHarness h;
    int customerID = -1;
    int storeID = -1;
    CStoreListCtrl* store = nullptr;
    CItemsBar* bar = nullptr;
};
