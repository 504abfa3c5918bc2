#include "storelistctrl.h"

#include "lookup/lookuptable.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/pricingrules.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"

#include <QApplication>

CStoreListCtrl::CStoreListCtrl(CQuorvaneDoc* doc, CStoreTabCtrl* tabs, QWidget* parent)
    : CListWindow(doc, QStringLiteral("CStoreListCtrl"), schema::StoreItems(0), QStringLiteral("Item"),
                  StoreItemColumnSpec(), StoreItemColumnGroup(0), parent),
      m_pTabs(tabs) {}

CStoreListCtrl::~CStoreListCtrl() = default;

void CStoreListCtrl::DefineTableName(int storeID) {
    m_storeID = storeID;
    Table().SetDefinition(schema::StoreItems(storeID));
    Columns().SetGroup(StoreItemColumnGroup(storeID));
}

// The item commands come with the store item dialogs.
void CStoreListCtrl::OnEditAddItem() { Trace20("OnEditAddItem"); }
void CStoreListCtrl::OnEditItem() { Trace20("OnEditItem"); }
void CStoreListCtrl::OnEditDelItem() { Trace20("OnEditDelItem"); }

QString CStoreListCtrl::CellText(int column) {
    const db::Recordset& rs = *GetPtrRecordset();
    const auto d = [&](const char* f) { return rs.doubleValue(QLatin1String(f)); };
    switch (column) {
    case 0: return rs.textValue(QStringLiteral("ItemCode"));
    case 1: return rs.textValue(QStringLiteral("Description"));
    case 2: return rs.textValue(QStringLiteral("ContainerType"));
    case 3: {
        const QString group = rs.textValue(QStringLiteral("DiscountGrpName"));
        return d("DiscountPercent") > 0.0 && group == QLatin1String("default") ? QStringLiteral("<none>") : group;
    }
    case 4: return FormatC(kFormatMoney7, d("BaseLinePrice"));
    case 5: return FormatC(kFormatMoney7, d("DiscountPrice"));
    case 6: return FormatC(kFormatMoney7, d("MarkupPrice"));
    case 7: return FormatRate(kFormatRate, d("DiscountPercent"));
    case 8: return FormatRate(kFormatRate, d("MarkupPercent"));
    case 9: return FormatC("%5.2f", d("BasePricePerOz"));
    case 10: return FormatC("%5.2f", d("DiscPricePerOz"));
    case 11: return FormatC("%5.2f", d("MarkupPricePerOz"));
    case 12: return FormatC("%5.1f lb", d("ProdPounds"));
    case 13: return FormatC("%5.1f Oz", d("ProdOunces"));
    case 14: return FormatC("%5.1f lb", d("ShipPounds"));
    case 15: return FormatC("%5.1f Oz", d("ShipOunces"));
    case 16: return QString::number(rs.intValue(QStringLiteral("QtyInStock")));
    case 17: return rs.textValue(QStringLiteral("UserField1"));
    case 18: return rs.textValue(QStringLiteral("UserField2"));
    default: return {};
    }
}

int CStoreListCtrl::GetStoreItemIDFromItemCode(const QString& code) {
    Trace20("GetStoreItemIDFromItemCode");
    if (!CanProceed()) return -1;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        if (rs.recordCount() == 0) return -1;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            if (rs.textValue(QStringLiteral("ItemCode")) == code) return rs.intValue(QStringLiteral("ID"));
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return -1;
}

void CStoreListCtrl::UpdateCurrentRecordDiscPercent(const QString& groupName, double percent) {
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        const CItemPrices p = PricesFromDiscount(rs.doubleValue(QStringLiteral("BaseLinePrice")), percent,
                                                 rs.doubleValue(QStringLiteral("MarkupPercent")),
                                                 rs.doubleValue(QStringLiteral("ProdOunces")));
        rs.edit();
        rs.setValue(QStringLiteral("DiscountGrpName"), CRecordTable::Blank(groupName));
        rs.setValue(QStringLiteral("DiscountPercent"), percent);
        rs.setValue(QStringLiteral("DiscountPrice"), p.discountPrice);
        rs.setValue(QStringLiteral("MarkupPrice"), p.markupPrice);
        rs.setValue(QStringLiteral("DiscPricePerOz"), p.discPricePerOz);
        rs.setValue(QStringLiteral("MarkupPricePerOz"), p.markupPricePerOz);
        rs.update();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
    }
}

void CStoreListCtrl::UpdateCurrentRecordContainerName(const QString& name) {
    if (!CanProceed()) return;
    db::Recordset& rs = *GetPtrRecordset();
    try {
        rs.edit();
        rs.setValue(QStringLiteral("ContainerType"), CRecordTable::Blank(name));
        rs.update();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
    }
}

void CStoreListCtrl::ResetAllDiscCategories() {
    Trace20("ResetAllDiscCategories");
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    int id = 0;
    QString name;
    double percent = 0.0;
    // A table without entries leaves the items as they are.
    if (!Doc()->GetPtrLookupTable()->GetFirst(id, name, percent)) return;
    db::Recordset& rs = *GetPtrRecordset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        db::Transaction tx(rs.database());
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) UpdateCurrentRecordDiscPercent(name, percent);
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    QApplication::restoreOverrideCursor();
}

void CStoreListCtrl::ResetAllContainerNames() {
    Trace20("ResetAllContainerNames");
    if (!CanProceed() || GetPtrRecordset()->recordCount() == 0) return;
    db::Recordset& rs = *GetPtrRecordset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        db::Transaction tx(rs.database());
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) UpdateCurrentRecordContainerName(QStringLiteral(" "));
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    QApplication::restoreOverrideCursor();
}
