// The store item dialogs on a real new project (discount table "default" at 0, containers box
// to other), driven with the user's keys and clicks: the item's own dialog, the multi-edit
// dialog and the store chooser.
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "scriptedprompter.h"
#include "stores/storeiteminfodlg.h"
#include "stores/storeitemmultieditdlg.h"
#include "stores/storeselectdlg.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

#include "userinput.h"

namespace {

QLineEdit* Edit(QWidget& dlg, const char* name) { return Find<QLineEdit>(dlg, name); }
QCheckBox* Check(QWidget& dlg, const char* name) { return Find<QCheckBox>(dlg, name); }
QComboBox* Combo(QWidget& dlg, const char* name) { return Find<QComboBox>(dlg, name); }
QString Text(QWidget& dlg, const char* name) { return Edit(dlg, name)->text(); }

QStringList Entries(const QComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    return names;
}

bool HasLabel(QWidget& dlg, const QString& text) {
    for (const QLabel* label : dlg.findChildren<QLabel*>())
        if (label->text() == text) return true;
    return false;
}

const QString kIntegerMessage = QStringLiteral("Please enter an integer.");
const QString kNegativeStockMessage = QStringLiteral("Please enter a stock quantity of 0 or more.");
const QStringList kContainers = {"box", "can", "bag", "jug", "bottle", "carton", "barrel", "other"};

// A new project whose default discount table also holds "retail" at 0.10, and a second table
// that the store does not use.
class StoreItemDialogs : public ::testing::Test {
protected:
    TempFolder folder;
    CScriptedPrompter prompter;
    CQuorvaneDoc doc{&prompter};

    void SetUp() override {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(QStringLiteral("items"));
        request.description = QStringLiteral("Items");
        ASSERT_TRUE(doc.CreateNewProject(request)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
        const int otherTable = doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
        ASSERT_GT(otherTable, 0);
        ASSERT_NE(doc.GetPtrLookupTable()->AddItem(doc.GetDefaultDiscTableID(), QStringLiteral("retail"), 0.10), -1);
        ASSERT_NE(doc.GetPtrLookupTable()->AddItem(otherTable, QStringLiteral("bulk"), 0.40), -1);
        // What the store tabs do for the current store.
        doc.GetPtrLookupTable()->ReQueryRecordsetUsingCategory(doc.GetDefaultDiscTableID());
        doc.GetPtrContainers()->ReQueryRecordsetUsingGroup(doc.GetDefaultContainerID());
        prompter.m_shown.clear();
    }

    // A stored item: its prices agree with 20 % off and 50 % up, a pound of product.
    static CStoreItemRecord Stored() {
        CStoreItemRecord r;
        r.ID = 7;
        r.ItemCode = QStringLiteral("OAT-1");
        r.Description = QStringLiteral("Rolled oats");
        r.ContainerType = QStringLiteral("BAG");
        r.DiscountGrpName = QStringLiteral("RET");
        r.BaseLinePrice = 10.0;
        r.DiscountPercent = 0.2;
        r.DiscountPrice = 8.0;
        r.MarkupPercent = 0.5;
        r.MarkupPrice = 12.0;
        r.ProdPounds = 1.0;
        r.ProdOunces = 16.0;
        r.ShipPounds = 1.25;
        r.ShipOunces = 20.0;
        r.BasePricePerOz = 0.625;
        r.DiscPricePerOz = 0.5;
        r.MarkupPricePerOz = 0.75;
        r.QtyInStock = 12;
        r.UserField1 = QStringLiteral("aisle 3");
        r.UserField2 = QStringLiteral("organic");
        return r;
    }
};

using StoreItemInfoDlg = StoreItemDialogs;
using StoreItemMultiEditDlg = StoreItemDialogs;

} // namespace

// ---- Store Item Info Dialog

TEST_F(StoreItemInfoDlg, ANewItemTakesTheFirstGroupAndContainerOfTheStore) {
    CStoreItemInfoDlg dlg(CStoreItemRecord{}, &doc);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Item Info Dialog"));
    EXPECT_EQ(Entries(Combo(dlg, "comboDiscountGroup")),
              (QStringList{"default ( 0.00%)", "retail ( 0.10%)"})); // not the other table's "bulk"
    EXPECT_EQ(Entries(Combo(dlg, "comboContainer")), kContainers);
    EXPECT_EQ(Combo(dlg, "comboDiscountGroup")->currentIndex(), 0);
    EXPECT_EQ(Combo(dlg, "comboContainer")->currentIndex(), 0);
    EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral(" 0.00%"));
    EXPECT_EQ(Text(dlg, "editBasePrice"), QStringLiteral("$    0.00"));
    EXPECT_EQ(Text(dlg, "editProdPounds"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editQtyInStock"), QStringLiteral("0"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().DiscountGrpName, QStringLiteral("default"));
    EXPECT_EQ(dlg.Record().DiscountPercent, 0.0);
    EXPECT_EQ(dlg.Record().ContainerType, QStringLiteral("box"));
}

TEST_F(StoreItemInfoDlg, PricesFollowTheBaseTheGroupTheMarkupAndTheWeight) {
    CStoreItemInfoDlg dlg(CStoreItemRecord{}, &doc);
    ASSERT_TRUE(Open(dlg));
    TypeAndLeave(Edit(dlg, "editBasePrice"), QStringLiteral("20"));
    EXPECT_EQ(Text(dlg, "editBasePrice"), QStringLiteral("$   20.00"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$   20.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   20.00"));

    ChooseBelow(Combo(dlg, "comboDiscountGroup"));
    EXPECT_EQ(Combo(dlg, "comboDiscountGroup")->currentText(), QStringLiteral("retail ( 0.10%)"));
    EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral("10.00%"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$   18.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   18.00"));

    TypeAndLeave(Edit(dlg, "editMarkupPercent"), QStringLiteral("50"));
    EXPECT_EQ(Text(dlg, "editMarkupPercent"), QStringLiteral("50.00%"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$   18.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   27.00"));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 0.00"));

    TypeAndLeave(Edit(dlg, "editProdOunces"), QStringLiteral("16"));
    EXPECT_EQ(Text(dlg, "editProdOunces"), QStringLiteral("16.00"));
    EXPECT_EQ(Text(dlg, "editProdPounds"), QStringLiteral(" 1.00"));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 1.25"));
    EXPECT_EQ(Text(dlg, "editDiscPerOz"), QStringLiteral(" 1.13"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 1.69"));
    EXPECT_EQ(Text(dlg, "editShipPounds"), QStringLiteral(" 0.00")); // shipping is its own weight

    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CStoreItemRecord& r = dlg.Record();
    EXPECT_EQ(r.DiscountGrpName, QStringLiteral("retail"));
    EXPECT_DOUBLE_EQ(r.DiscountPercent, 0.10);
    EXPECT_DOUBLE_EQ(r.BaseLinePrice, 20.0);
    EXPECT_DOUBLE_EQ(r.DiscountPrice, 18.0);
    EXPECT_DOUBLE_EQ(r.MarkupPercent, 0.5);
    EXPECT_DOUBLE_EQ(r.MarkupPrice, 27.0);
    EXPECT_EQ(r.ProdOunces, 16.0);
    EXPECT_EQ(r.ProdPounds, 1.0);
    EXPECT_DOUBLE_EQ(r.BasePricePerOz, 1.25);
    EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 1.125);
    EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 1.6875);
}

TEST_F(StoreItemInfoDlg, PricesAreKeptInTheirBoundsAndRoundedToCents) {
    struct Case {
        const char* field;
        const char* typed;
        const char* base;
        const char* discount;
        const char* markup;
        const char* discountPercent;
        const char* markupPercent;
    };
    // The stored item: base 10.00, 20 % off, 50 % up. A typed price sets its percent.
    const Case cases[] = {
        {"editDiscountPrice", "25", "$   10.00", "$   10.00", "$   15.00", " 0.00%", "50.00%"}, // not above the base
        {"editDiscountPrice", "-3", "$   10.00", "$    0.00", "$    0.00", "100.00%", "50.00%"},
        {"editDiscountPrice", "6.125", "$   10.00", "$    6.13", "$    9.20", "38.70%", "50.00%"},
        {"editMarkupPrice", "5", "$   10.00", "$    8.00", "$    8.00", "20.00%", " 0.00%"}, // not below the discount
        {"editMarkupPrice", "30.004", "$   10.00", "$    8.00", "$   30.00", "20.00%", "275.00%"},
        {"editBasePrice", "-4", "$    0.00", "$    0.00", "$    0.00", "20.00%", "50.00%"},
        {"editBasePrice", "4.695", "$    4.70", "$    3.76", "$    5.64", "20.00%", "50.00%"},
        {"editBasePrice", "$5", "$    0.00", "$    0.00", "$    0.00", "20.00%", "50.00%"}, // a plain number only
        {"editBasePrice", "12.5 each", "$   12.50", "$   10.00", "$   15.00", "20.00%", "50.00%"},
        {"editBasePrice", "50000000", "$50000000.00", "$40000000.00", "$60000000.00", "20.00%", "50.00%"},
        {"editDiscountPercent", "25", "$   10.00", "$    7.50", "$   11.25", "25.00%", "50.00%"},
        {"editDiscountPercent", "0.25", "$   10.00", "$    7.50", "$   11.25", "25.00%", "50.00%"},
        {"editDiscountPercent", "1", "$   10.00", "$    9.90", "$   14.85", " 1.00%", "50.00%"},
        {"editDiscountPercent", "-8", "$   10.00", "$   10.00", "$   15.00", " 0.00%", "50.00%"},
        {"editDiscountPercent", "150", "$   10.00", "$    0.00", "$    0.00", "150.00%", "50.00%"}, // never below 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.typed);
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        QLineEdit* edit = Edit(dlg, c.field);
        EnterAndType(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed)); // read only when left
        Key(Qt::Key_Tab);
        EXPECT_EQ(Text(dlg, "editBasePrice"), QString::fromLatin1(c.base));
        EXPECT_EQ(Text(dlg, "editDiscountPrice"), QString::fromLatin1(c.discount));
        EXPECT_EQ(Text(dlg, "editMarkupPrice"), QString::fromLatin1(c.markup));
        EXPECT_EQ(Text(dlg, "editDiscountPercent"), QString::fromLatin1(c.discountPercent));
        EXPECT_EQ(Text(dlg, "editMarkupPercent"), QString::fromLatin1(c.markupPercent));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const CStoreItemRecord& r = dlg.Record();
        EXPECT_EQ(FormatC("$%8.2f", r.DiscountPrice), QString::fromLatin1(c.discount));
        EXPECT_EQ(FormatC("$%8.2f", r.MarkupPrice), QString::fromLatin1(c.markup));
        EXPECT_EQ(FormatRate(kFormatRate, r.DiscountPercent), QString::fromLatin1(c.discountPercent));
        EXPECT_EQ(FormatRate(kFormatRate, r.MarkupPercent), QString::fromLatin1(c.markupPercent));
        // The stored percents give the stored prices again.
        if (r.BaseLinePrice > 0.0 && r.DiscountPercent <= 1.0) {
            EXPECT_DOUBLE_EQ(RoundToCents(r.BaseLinePrice - r.BaseLinePrice * r.DiscountPercent), r.DiscountPrice);
        }
        EXPECT_DOUBLE_EQ(RoundToCents(r.DiscountPrice + r.DiscountPrice * r.MarkupPercent), r.MarkupPrice);
    }
}

TEST_F(StoreItemInfoDlg, TheDialogsTakeAGroupByItsNameAndStoredValue) {
    CLookupTable* lookup = doc.GetPtrLookupTable();
    const std::pair<const char*, double> added[] = {{"big box", 0.125}, {"half", 0.005}, {"all", 1.0}};
    for (const auto& [name, value] : added)
        ASSERT_NE(lookup->AddItem(doc.GetDefaultDiscTableID(), QString::fromLatin1(name), value), -1);
    lookup->ReQueryRecordsetUsingCategory(doc.GetDefaultDiscTableID());
    // Entries: default, retail, big box, half, all. The stored item's group is "retail".
    const struct {
        int downs;
        const char* name;
        double percent;
        const char* discount;
    } cases[] = {{1, "big box", 0.125, "$    8.75"}, {2, "half", 0.005, "$    9.95"}, {3, "all", 1.0, "$    0.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            CStoreItemInfoDlg dlg(Stored(), &doc);
            ASSERT_TRUE(Open(dlg));
            Enter(Combo(dlg, "comboDiscountGroup"));
            for (int i = 0; i < c.downs; ++i) Key(Qt::Key_Down);
            EXPECT_EQ(Text(dlg, "editDiscountPrice"), QString::fromLatin1(c.discount));
            Key(Qt::Key_Return, Qt::ControlModifier);
            ASSERT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(dlg.Record().DiscountGrpName, QString::fromLatin1(c.name));
            EXPECT_DOUBLE_EQ(dlg.Record().DiscountPercent, c.percent);
        }
        {
            CStoreItemMultiEditDlg dlg(&doc);
            ASSERT_TRUE(Open(dlg));
            Enter(Combo(dlg, "comboGroup"));
            for (int i = 0; i < c.downs + 1; ++i) Key(Qt::Key_Down);
            Key(Qt::Key_Return, Qt::ControlModifier);
            ASSERT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(dlg.Changes().groupName, QString::fromLatin1(c.name));
            EXPECT_DOUBLE_EQ(dlg.Changes().groupPercent, c.percent);
        }
    }
}

TEST_F(StoreItemInfoDlg, OnlyAChangedFieldIsReadAgain) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    // "$   10.00" would read as 0 if it were read again.
    for (const char* name : {"editBasePrice", "editDiscountPrice", "editMarkupPrice", "editDiscountPercent"}) {
        Enter(Edit(dlg, name));
        EXPECT_EQ(Edit(dlg, name)->selectedText(), Text(dlg, name)) << name;
        Key(Qt::Key_Tab);
    }
    EXPECT_EQ(Text(dlg, "editBasePrice"), QStringLiteral("$   10.00"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$    8.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   12.00"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().BaseLinePrice, 10.0);
    EXPECT_EQ(dlg.Record().DiscountPrice, 8.0);
    EXPECT_EQ(dlg.Record().MarkupPrice, 12.0);
}

TEST_F(StoreItemInfoDlg, WeightsAreCoupledAndOnlyTheProductWeightMovesPricesPerOunce) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 0.63"));
    TypeAndLeave(Edit(dlg, "editProdOunces"), QStringLiteral("8"));
    EXPECT_EQ(Text(dlg, "editProdPounds"), QStringLiteral(" 0.50"));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 1.25"));
    EXPECT_EQ(Text(dlg, "editDiscPerOz"), QStringLiteral(" 1.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 1.50"));

    TypeAndLeave(Edit(dlg, "editShipPounds"), QStringLiteral("2"));
    EXPECT_EQ(Text(dlg, "editShipOunces"), QStringLiteral("32.00"));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 1.25"));
    TypeAndLeave(Edit(dlg, "editShipOunces"), QStringLiteral("4"));
    EXPECT_EQ(Text(dlg, "editShipPounds"), QStringLiteral(" 0.25"));
    TypeAndLeave(Edit(dlg, "editShipOunces"), QStringLiteral("-4"));
    EXPECT_EQ(Text(dlg, "editShipPounds"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editShipOunces"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editProdOunces"), QStringLiteral(" 8.00"));

    TypeAndLeave(Edit(dlg, "editProdPounds"), QStringLiteral("0.25"));
    EXPECT_EQ(Text(dlg, "editProdOunces"), QStringLiteral(" 4.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 3.00"));

    // No product weight: no prices per ounce.
    TypeAndLeave(Edit(dlg, "editProdPounds"), QStringLiteral("-1"));
    EXPECT_EQ(Text(dlg, "editProdOunces"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editBasePerOz"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editDiscPerOz"), QStringLiteral(" 0.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 0.00"));

    TypeAndLeave(Edit(dlg, "editProdOunces"), QStringLiteral("5"));
    TypeAndLeave(Edit(dlg, "editBasePrice"), QStringLiteral("4"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CStoreItemRecord& r = dlg.Record();
    EXPECT_EQ(r.ProdOunces, 5.0);
    EXPECT_EQ(r.ProdPounds, 5.0 * 0.0625);
    EXPECT_EQ(r.ShipPounds, 0.0);
    EXPECT_DOUBLE_EQ(r.BasePricePerOz, 0.8);
    EXPECT_DOUBLE_EQ(r.DiscPricePerOz, 3.2 / 5.0);
    EXPECT_DOUBLE_EQ(r.MarkupPricePerOz, 4.8 / 5.0);
}

TEST_F(StoreItemInfoDlg, AStoredItemShowsItsOwnValuesAndMatchingEntries) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(Text(dlg, "editItemCode"), QStringLiteral("OAT-1"));
    EXPECT_EQ(Text(dlg, "editQtyInStock"), QStringLiteral("12"));
    EXPECT_EQ(Text(dlg, "editDescription"), QStringLiteral("Rolled oats"));
    EXPECT_EQ(Text(dlg, "editUserField1"), QStringLiteral("aisle 3"));
    EXPECT_EQ(Text(dlg, "editUserField2"), QStringLiteral("organic"));
    EXPECT_EQ(Text(dlg, "editShipPounds"), QStringLiteral(" 1.25"));
    EXPECT_EQ(Text(dlg, "editShipOunces"), QStringLiteral("20.00"));
    EXPECT_EQ(Text(dlg, "editDiscPerOz"), QStringLiteral(" 0.50"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 0.75"));
    // Entries that begin with the item's names, whatever the letter case.
    EXPECT_EQ(Combo(dlg, "comboContainer")->currentText(), QStringLiteral("bag"));
    EXPECT_EQ(Combo(dlg, "comboDiscountGroup")->currentText(), QStringLiteral("retail ( 0.10%)"));
    // The item's own percent stays: the group is not read while the item has a percent.
    EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral("20.00%"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$    8.00"));
    for (const char* name : {"editBasePerOz", "editDiscPerOz", "editMarkupPerOz"})
        EXPECT_TRUE(Edit(dlg, name)->isReadOnly()) << name;
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CStoreItemRecord& r = dlg.Record();
    const CStoreItemRecord s = Stored();
    EXPECT_EQ(r.ID, s.ID);
    EXPECT_EQ(r.ContainerType, s.ContainerType); // only a choice changes it
    EXPECT_EQ(r.DiscountGrpName, s.DiscountGrpName);
    EXPECT_EQ(r.DiscountPercent, s.DiscountPercent);
    EXPECT_EQ(r.BaseLinePrice, s.BaseLinePrice);
    EXPECT_EQ(r.DiscountPrice, s.DiscountPrice);
    EXPECT_EQ(r.MarkupPrice, s.MarkupPrice);
    EXPECT_EQ(r.MarkupPercent, s.MarkupPercent);
    EXPECT_EQ(r.BasePricePerOz, s.BasePricePerOz);
    EXPECT_EQ(r.ShipOunces, s.ShipOunces);
    EXPECT_EQ(r.QtyInStock, 12);
    EXPECT_EQ(r.UserField2, s.UserField2);
}

TEST_F(StoreItemInfoDlg, OpeningReadsTheGroupOnlyWhenTheItemHasNoPercent) {
    {
        SCOPED_TRACE("a group name and no percent: the group's percent and new prices");
        CStoreItemRecord item = Stored();
        item.DiscountGrpName = QStringLiteral("retail");
        item.DiscountPercent = 0.0;
        CStoreItemInfoDlg dlg(item, &doc);
        ASSERT_TRUE(Open(dlg));
        EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral("10.00%"));
        EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$    9.00"));
        EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   13.50"));
        EXPECT_EQ(Text(dlg, "editDiscPerOz"), QStringLiteral(" 0.56"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(dlg.Record().DiscountPercent, 0.10);
        EXPECT_EQ(dlg.Record().DiscountGrpName, QStringLiteral("retail"));
    }
    {
        SCOPED_TRACE("a percent but no group name: the first group's name, the item's percent");
        CStoreItemRecord item = Stored();
        item.DiscountGrpName = QStringLiteral(" ");
        CStoreItemInfoDlg dlg(item, &doc);
        ASSERT_TRUE(Open(dlg));
        EXPECT_EQ(Combo(dlg, "comboDiscountGroup")->currentIndex(), 0);
        EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral("20.00%"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.Record().DiscountGrpName, QStringLiteral("default"));
        EXPECT_EQ(dlg.Record().DiscountPercent, 0.2);
        EXPECT_EQ(dlg.Record().DiscountPrice, 8.0);
    }
    {
        SCOPED_TRACE("names no entry begins with: nothing chosen, the item's own kept");
        CStoreItemRecord item = Stored();
        item.DiscountGrpName = QStringLiteral("staff");
        item.DiscountPercent = 0.0;
        item.ContainerType = QStringLiteral("crate");
        CStoreItemInfoDlg dlg(item, &doc);
        ASSERT_TRUE(Open(dlg));
        EXPECT_EQ(Combo(dlg, "comboDiscountGroup")->currentIndex(), -1);
        EXPECT_EQ(Combo(dlg, "comboContainer")->currentIndex(), -1);
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.Record().DiscountGrpName, QStringLiteral("staff"));
        EXPECT_EQ(dlg.Record().ContainerType, QStringLiteral("crate"));
        EXPECT_EQ(dlg.Record().DiscountPrice, 8.0);
    }
}

TEST_F(StoreItemInfoDlg, ChoosingAGroupOrContainerReplacesTheItemsOwn) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    TypeAndLeave(Edit(dlg, "editDiscountPercent"), QStringLiteral("30"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$    7.00"));
    // The typed percent gives way to the chosen group's.
    ChooseAbove(Combo(dlg, "comboDiscountGroup"));
    EXPECT_EQ(Text(dlg, "editDiscountPercent"), QStringLiteral(" 0.00%"));
    EXPECT_EQ(Text(dlg, "editDiscountPrice"), QStringLiteral("$   10.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   15.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPerOz"), QStringLiteral(" 0.94"));
    ChooseBelow(Combo(dlg, "comboContainer"));
    EXPECT_EQ(Combo(dlg, "comboContainer")->currentText(), QStringLiteral("jug"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().DiscountGrpName, QStringLiteral("default"));
    EXPECT_EQ(dlg.Record().DiscountPercent, 0.0);
    EXPECT_EQ(dlg.Record().ContainerType, QStringLiteral("jug"));
    EXPECT_DOUBLE_EQ(dlg.Record().MarkupPricePerOz, 15.0 / 16.0);
}

TEST_F(StoreItemInfoDlg, ANonIntegerOrNegativeStockQuantityKeepsTheDialogOpen) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    for (const char* typed : {"12x", "", "1.5", "99999999999"}) {
        SCOPED_TRACE(typed);
        prompter.Expect(kIntegerMessage);
        EnterAndType(Edit(dlg, "editQtyInStock"), QString::fromLatin1(typed));
        if (QString::fromLatin1(typed).isEmpty()) Key(Qt::Key_Delete);
        Click(Find<QPushButton>(dlg, "IDOK"));
        EXPECT_TRUE(prompter.AllAnswered());
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(Focused(), Edit(dlg, "editQtyInStock"));
    }
    EXPECT_TRUE(prompter.m_unexpected.isEmpty());
    // Stock never goes below 0.
    prompter.Expect(kNegativeStockMessage);
    EnterAndType(Edit(dlg, "editQtyInStock"), QStringLiteral(" -3 "));
    Click(Find<QPushButton>(dlg, "IDOK"));
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Focused(), Edit(dlg, "editQtyInStock"));
    EnterAndType(Edit(dlg, "editQtyInStock"), QStringLiteral(" 0 "));
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().QtyInStock, 0);
    EXPECT_EQ(prompter.m_shown.size(), 5);
    EXPECT_TRUE(prompter.m_unexpected.isEmpty());
}

TEST_F(StoreItemInfoDlg, ANumberStillBeingTypedIsReadAtOk) {
    {
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editBasePrice"), QStringLiteral("30"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().BaseLinePrice, 30.0);
        EXPECT_DOUBLE_EQ(dlg.Record().DiscountPrice, 24.0);
    }
    {
        // Refused at OK for the stock quantity: the price typed is read once, not again.
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editQtyInStock"), QStringLiteral("x"));
        EnterAndType(Edit(dlg, "editMarkupPrice"), QStringLiteral("20"));
        prompter.Expect(kIntegerMessage);
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(Text(dlg, "editMarkupPrice"), QStringLiteral("$   20.00"));
        EnterAndType(Edit(dlg, "editQtyInStock"), QStringLiteral("5"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().MarkupPrice, 20.0);
        EXPECT_EQ(dlg.Record().QtyInStock, 5);
    }
}

TEST_F(StoreItemInfoDlg, TextsAreHandedBackAndLimitedToTheirColumns) {
    CStoreItemInfoDlg dlg(Stored(), &doc);
    ASSERT_TRUE(Open(dlg));
    const struct {
        const char* name;
        int size;
    } fields[] = {{"editItemCode", 20}, {"editDescription", 100}, {"editUserField1", 200}, {"editUserField2", 200}};
    for (const auto& f : fields) {
        EnterAndType(Edit(dlg, f.name), QString(f.size + 3, QLatin1Char('y')));
        EXPECT_EQ(Text(dlg, f.name).size(), f.size) << f.name;
    }
    EnterAndType(Edit(dlg, "editItemCode"), QStringLiteral("NEW-2"));
    EnterAndType(Edit(dlg, "editDescription"), QStringLiteral("Steel cut oats"));
    EnterAndType(Edit(dlg, "editUserField1"), QStringLiteral("shelf 1"));
    Enter(Edit(dlg, "editUserField2"));
    Key(Qt::Key_Delete);
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().ItemCode, QStringLiteral("NEW-2"));
    EXPECT_EQ(dlg.Record().Description, QStringLiteral("Steel cut oats"));
    EXPECT_EQ(dlg.Record().UserField1, QStringLiteral("shelf 1"));
    EXPECT_EQ(dlg.Record().UserField2, QString());
}

TEST_F(StoreItemInfoDlg, KeysFollowTheEditingConvention) {
    {
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        for (const char* name : {"editItemCode", "editBasePrice", "editProdOunces", "editUserField2"}) {
            Enter(Edit(dlg, name));
            EXPECT_EQ(Edit(dlg, name)->selectedText(), Text(dlg, name)) << name;
            Key(Qt::Key_Return);
            EXPECT_TRUE(dlg.isVisible()) << name;
        }
        Enter(Combo(dlg, "comboContainer"));
        Key(Qt::Key_Enter);
        EXPECT_TRUE(dlg.isVisible());
        EnterAndType(Edit(dlg, "editDescription"), QStringLiteral("kept"));
        Key(Qt::Key_Enter, Qt::ControlModifier);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().Description, QStringLiteral("kept"));
    }
    {
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editItemCode"), QStringLiteral("changed"));
        Key(Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_FALSE(dlg.isVisible());
    }
    {
        CStoreItemInfoDlg dlg(Stored(), &doc);
        ASSERT_TRUE(Open(dlg));
        EXPECT_TRUE(HasLabel(dlg, QStringLiteral("OR   Use:")));
        Click(Find<QPushButton>(dlg, "IDCANCEL"));
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
}

// ---- Store Items: Multi-Edit Dialog

TEST_F(StoreItemMultiEditDlg, NothingTickedChangesNothingAndTheListsStartAtTheirFirstEntries) {
    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Items: Multi-Edit Dialog"));
    EXPECT_TRUE(HasLabel(dlg, QStringLiteral("Select any combination of the following:")));
    EXPECT_EQ(Entries(Combo(dlg, "comboGroup")), (QStringList{"default ( 0.00%)", "retail ( 0.10%)"}));
    EXPECT_EQ(Entries(Combo(dlg, "comboContainer")), kContainers);
    EXPECT_EQ(Text(dlg, "editBasePrice"), QStringLiteral("$    0.00"));
    EXPECT_EQ(Text(dlg, "editMarkupPercent"), QStringLiteral(" 0.00%"));
    EXPECT_EQ(Text(dlg, "editShipOunces"), QStringLiteral(" 0.00"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CStoreItemMultiEdit c = dlg.Changes();
    EXPECT_FALSE(c.AnyTicked());
    EXPECT_EQ(c.groupName, QStringLiteral("default"));
    EXPECT_EQ(c.groupPercent, 0.0);
    EXPECT_EQ(c.containerName, QStringLiteral("box"));
}

TEST_F(StoreItemMultiEditDlg, PairedBoxesUntickEachOther) {
    const std::pair<const char*, const char*> pairs[] = {{"checkSearchItemCode", "checkChangeGroup"},
                                                          {"checkSearchDescription", "checkChangeContainer"},
                                                          {"checkMarkupPercent", "checkMarkupPrice"}};
    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(first);
        QCheckBox* a = Check(dlg, first);
        QCheckBox* b = Check(dlg, second);
        Click(a);
        EXPECT_TRUE(a->isChecked());
        EXPECT_FALSE(b->isChecked());
        Click(b);
        EXPECT_TRUE(b->isChecked());
        EXPECT_FALSE(a->isChecked());
        Click(a);
        EXPECT_TRUE(a->isChecked());
        EXPECT_FALSE(b->isChecked());
        // Unticking one leaves the other unticked.
        Click(a);
        EXPECT_FALSE(a->isChecked());
        EXPECT_FALSE(b->isChecked());
        Click(b);
    }
    // Boxes of different pairs stay as they are.
    EXPECT_TRUE(Check(dlg, "checkChangeGroup")->isChecked());
    EXPECT_TRUE(Check(dlg, "checkChangeContainer")->isChecked());
    EXPECT_TRUE(Check(dlg, "checkMarkupPrice")->isChecked());
    Click(Check(dlg, "checkBasePrice"));
    Click(Check(dlg, "checkDiscountPrice"));
    EXPECT_TRUE(Check(dlg, "checkMarkupPrice")->isChecked());
    const CStoreItemMultiEdit c = dlg.Changes();
    EXPECT_TRUE(c.changeGroup && c.changeContainer && c.markupPrice && c.basePrice && c.discountPrice);
    EXPECT_FALSE(c.searchItemCode || c.searchDescription || c.markupPercent);
}

TEST_F(StoreItemMultiEditDlg, EachBoxTicksItsOwnChange) {
    struct Box {
        const char* name;
        const char* text;
        bool CStoreItemMultiEdit::*tick;
    };
    const Box boxes[] = {
        {"checkSearchItemCode", "Search ITEM CODE for a matching DISCOUNT GROUP name.",
         &CStoreItemMultiEdit::searchItemCode},
        {"checkChangeGroup", "Change DISCOUNT GROUP name to:", &CStoreItemMultiEdit::changeGroup},
        {"checkSearchDescription", "Search DESCRIPTION for a matching CONTAINER name.",
         &CStoreItemMultiEdit::searchDescription},
        {"checkChangeContainer", "Change CONTAINER name to:", &CStoreItemMultiEdit::changeContainer},
        {"checkBasePrice", "Change BASELINE PRICE to:", &CStoreItemMultiEdit::basePrice},
        {"checkDiscountPrice", "Change DISCOUNT PRICE to:", &CStoreItemMultiEdit::discountPrice},
        {"checkMarkupPrice", "Change MARKUP PRICE to:", &CStoreItemMultiEdit::markupPrice},
        {"checkMarkupPercent", "Change MARKUP PERCENT to:", &CStoreItemMultiEdit::markupPercent},
        {"checkStockQty", "Change STOCK QUANTITY to:", &CStoreItemMultiEdit::stockQty},
        {"checkUser1", "Change USER FIELD 1 to:", &CStoreItemMultiEdit::user1},
        {"checkUser2", "Change USER FIELD 2 to:", &CStoreItemMultiEdit::user2},
        {"checkShipWeight", "Change SHIPPING WEIGHT to:", &CStoreItemMultiEdit::shipWeight},
        {"checkProdWeight", "Change PRODUCT WEIGHT to:", &CStoreItemMultiEdit::prodWeight},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.name);
        CStoreItemMultiEditDlg dlg(&doc);
        ASSERT_TRUE(Open(dlg));
        EXPECT_EQ(Check(dlg, box.name)->text(), QString::fromLatin1(box.text));
        Click(Check(dlg, box.name));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const CStoreItemMultiEdit c = dlg.Changes();
        EXPECT_TRUE(c.AnyTicked());
        for (const Box& other : boxes) EXPECT_EQ(c.*other.tick, &other == &box) << other.name;
    }
}

TEST_F(StoreItemMultiEditDlg, ValuesAreReadAsTheirFieldsRuleWhenLeft) {
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
        double CStoreItemMultiEdit::*value;
        double read;
    };
    const Case cases[] = {
        {"editBasePrice", "-5", "$    0.00", &CStoreItemMultiEdit::basePriceValue, 0.0},
        {"editBasePrice", "3.456", "$    3.46", &CStoreItemMultiEdit::basePriceValue, 3.46},
        {"editBasePrice", "$3", "$    0.00", &CStoreItemMultiEdit::basePriceValue, 0.0},
        {"editDiscountPrice", "7.005", "$    7.01", &CStoreItemMultiEdit::discountPriceValue, 7.01},
        {"editMarkupPrice", "12", "$   12.00", &CStoreItemMultiEdit::markupPriceValue, 12.0},
        {"editMarkupPercent", "40", "40.00%", &CStoreItemMultiEdit::markupPercentValue, 0.40},
        {"editMarkupPercent", "0.4", "40.00%", &CStoreItemMultiEdit::markupPercentValue, 0.40},
        {"editMarkupPercent", "1", " 1.00%", &CStoreItemMultiEdit::markupPercentValue, 0.01},
        {"editMarkupPercent", "-2", " 0.00%", &CStoreItemMultiEdit::markupPercentValue, 0.0},
        {"editShipPounds", "2", " 2.00", &CStoreItemMultiEdit::shipOunces, 32.0},
        {"editShipOunces", "4", " 4.00", &CStoreItemMultiEdit::shipPounds, 0.25},
        {"editProdOunces", "8", " 8.00", &CStoreItemMultiEdit::prodPounds, 0.5},
        {"editProdPounds", "1.5", " 1.50", &CStoreItemMultiEdit::prodOunces, 24.0},
        {"editProdPounds", "-1", " 0.00", &CStoreItemMultiEdit::prodOunces, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.typed);
        CStoreItemMultiEditDlg dlg(&doc);
        ASSERT_TRUE(Open(dlg));
        TypeAndLeave(Edit(dlg, c.field), QString::fromLatin1(c.typed));
        EXPECT_EQ(Text(dlg, c.field), QString::fromLatin1(c.shown));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_NEAR(dlg.Changes().*c.value, c.read, 1e-12);
    }
    // The other unit is shown as well.
    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    TypeAndLeave(Edit(dlg, "editProdOunces"), QStringLiteral("8"));
    EXPECT_EQ(Text(dlg, "editProdPounds"), QStringLiteral(" 0.50"));
    TypeAndLeave(Edit(dlg, "editShipPounds"), QStringLiteral("3"));
    EXPECT_EQ(Text(dlg, "editShipOunces"), QStringLiteral("48.00"));
    // Left without a change: "$   12.00" is not read again as 0.
    TypeAndLeave(Edit(dlg, "editMarkupPrice"), QStringLiteral("12"));
    Enter(Edit(dlg, "editMarkupPrice"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(dlg.Changes().markupPriceValue, 12.0);
}

TEST_F(StoreItemMultiEditDlg, ChosenEntriesAndTextsAreHandedBack) {
    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    ChooseBelow(Combo(dlg, "comboGroup"));
    ChooseBelow(Combo(dlg, "comboContainer"));
    ChooseBelow(Combo(dlg, "comboContainer"));
    EnterAndType(Edit(dlg, "editStockQty"), QStringLiteral("25"));
    EnterAndType(Edit(dlg, "editUser1"), QStringLiteral("aisle 4"));
    EnterAndType(Edit(dlg, "editUser2"), QString(203, QLatin1Char('z')));
    EnterAndType(Edit(dlg, "editBasePrice"), QStringLiteral("9.5")); // still in the field at OK
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CStoreItemMultiEdit c = dlg.Changes();
    EXPECT_EQ(c.groupName, QStringLiteral("retail"));
    EXPECT_DOUBLE_EQ(c.groupPercent, 0.10);
    EXPECT_EQ(c.containerName, QStringLiteral("bag"));
    EXPECT_EQ(c.stockQtyValue, 25);
    EXPECT_EQ(c.user1Text, QStringLiteral("aisle 4"));
    EXPECT_EQ(c.user2Text.size(), 200);
    EXPECT_EQ(c.basePriceValue, 9.5);
    EXPECT_FALSE(c.AnyTicked());
}

TEST_F(StoreItemMultiEditDlg, ANonIntegerOrNegativeStockQuantityKeepsTheDialogOpen) {
    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    Click(Check(dlg, "checkStockQty"));
    EnterAndType(Edit(dlg, "editStockQty"), QStringLiteral("4 boxes"));
    prompter.Expect(kIntegerMessage);
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Focused(), Edit(dlg, "editStockQty"));
    Type(QStringLiteral("-4"));
    prompter.Expect(kNegativeStockMessage);
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Focused(), Edit(dlg, "editStockQty"));
    Type(QStringLiteral("4"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Changes().stockQtyValue, 4);
    EXPECT_EQ(prompter.m_shown, (QStringList{kIntegerMessage, kNegativeStockMessage}));
}

TEST_F(StoreItemMultiEditDlg, TheChangesApplyWithTheStoresOwnTableAndList) {
    EXPECT_EQ(CStoreItemMultiEditDlg::DiscountTableOf(&doc),
              (std::vector<std::pair<QString, double>>{{QStringLiteral("default"), 0.0},
                                                       {QStringLiteral("retail"), 0.10}}));
    EXPECT_EQ(CStoreItemMultiEditDlg::ContainerListOf(&doc), kContainers);
    EXPECT_TRUE(CStoreItemMultiEditDlg::DiscountTableOf(nullptr).empty());
    EXPECT_TRUE(CStoreItemMultiEditDlg::ContainerListOf(nullptr).isEmpty());

    CStoreItemMultiEditDlg dlg(&doc);
    ASSERT_TRUE(Open(dlg));
    Click(Check(dlg, "checkSearchItemCode"));
    Click(Check(dlg, "checkSearchDescription"));
    Click(Check(dlg, "checkBasePrice"));
    TypeAndLeave(Edit(dlg, "editBasePrice"), QStringLiteral("30"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);

    CStoreItemRecord item = Stored();
    item.ItemCode = QStringLiteral("retail-9");
    item.Description = QStringLiteral("two cans in a carton");
    ApplyStoreItemMultiEdit(dlg.Changes(), CStoreItemMultiEditDlg::DiscountTableOf(&doc),
                            CStoreItemMultiEditDlg::ContainerListOf(&doc), item);
    EXPECT_EQ(item.DiscountGrpName, QStringLiteral("retail"));
    EXPECT_DOUBLE_EQ(item.DiscountPercent, 0.10);
    EXPECT_EQ(item.ContainerType, QStringLiteral("can"));
    EXPECT_EQ(item.BaseLinePrice, 30.0);
    EXPECT_DOUBLE_EQ(item.DiscountPrice, 27.0);
    EXPECT_DOUBLE_EQ(item.MarkupPrice, 40.5);
}

// ---- Store Select Dialog

TEST(StoreSelectDlg, ListsEveryStoreButThoseNamedLikeTheSelectedOne) {
    const QStringList tabs = {"Main", "Outlet", "Main", "Depot"};
    CStoreSelectDlg dlg(tabs, 2, nullptr);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Select Dialog"));
    EXPECT_TRUE(HasLabel(dlg, QStringLiteral("Select a store.")));
    auto* combo = Combo(dlg, "comboStore");
    EXPECT_EQ(Entries(combo), (QStringList{"Outlet", "Depot"}));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(dlg.ChosenIndex(), 1);
    ChooseBelow(combo);
    EXPECT_EQ(dlg.ChosenIndex(), 3);
    Key(Qt::Key_Return); // an ordinary dialog: Enter presses OK
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.ChosenIndex(), 3);
}

TEST(StoreSelectDlg, NamesMustMatchExactlyToBeLeftOut) {
    const QStringList tabs = {"main", "Main", "Main ", "Depot"};
    CStoreSelectDlg dlg(tabs, 1, nullptr);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(Entries(Combo(dlg, "comboStore")), (QStringList{"main", "Main ", "Depot"}));
    ChooseBelow(Combo(dlg, "comboStore"));
    EXPECT_EQ(dlg.ChosenIndex(), 2);
    Click(Find<QPushButton>(dlg, "IDOK"));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(StoreSelectDlg, NoOtherStoreChoosesNothing) {
    CStoreSelectDlg dlg(QStringList{"Main", "Main"}, 0, nullptr);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(Combo(dlg, "comboStore")->count(), 0);
    EXPECT_EQ(dlg.ChosenIndex(), -1);
    Key(Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}
