// The Store Info dialog on a real new project, driven with the user's keys and clicks.
#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"
#include "scriptedprompter.h"
#include "stores/storeinfodlg.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

#include "userinput.h"

namespace {

QLineEdit* Edit(QWidget& dlg, const char* name) { return Find<QLineEdit>(dlg, name); }

QStringList Entries(const QComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    return names;
}

const QString kContainerWarning =
    QStringLiteral("WARNING: This will reset the container name\nof all store items!\nContinue?");
const QString kDiscountWarning =
    QStringLiteral("WARNING: This will reset the discount amount\nof all store items!\nContinue?");

class StoreInfoDlg : public ::testing::Test {
protected:
    TempFolder folder;
    CScriptedPrompter prompter;
    CQuorvaneDoc doc{&prompter};
    int bulkID = -1;      // a second container list
    int wholesaleID = -1; // a second discount table

    void SetUp() override {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(QStringLiteral("stores"));
        request.description = QStringLiteral("Stores");
        ASSERT_TRUE(doc.CreateNewProject(request)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
        bulkID = doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Bulk"));
        wholesaleID = doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
        ASSERT_GT(bulkID, 0);
        ASSERT_GT(wholesaleID, 0);
        prompter.m_shown.clear();
    }

    CStoreRecord Store() const {
        CStoreRecord r;
        r.ID = 1;
        r.ContainerID = doc.GetDefaultContainerID();
        r.DiscTableID = doc.GetDefaultDiscTableID();
        r.ShippingCost = 0.01;
        r.StoreTabName = QStringLiteral("Store 1");
        r.StoreName = QStringLiteral("Main Street Store");
        r.Address1 = QStringLiteral("5 Main St");
        r.Address2 = QStringLiteral("Back door");
        r.City = QStringLiteral("Keene");
        r.State = QStringLiteral("NH");
        r.Zip = QStringLiteral("03431");
        r.Phone = QStringLiteral("603-1");
        r.Phone2 = QStringLiteral("603-2");
        r.Fax = QStringLiteral("603-3");
        r.Comment = QStringLiteral("open Sundays");
        r.TrackStockQty = 1;
        return r;
    }
};

} // namespace

TEST_F(StoreInfoDlg, FillsBothListsFromTheProjectAndSelectsTheStoresEntries) {
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    auto* containers = Find<QComboBox>(dlg, "comboContainerList");
    auto* tables = Find<QComboBox>(dlg, "comboDiscTable");
    EXPECT_FALSE(containers->isEditable());
    EXPECT_FALSE(tables->isEditable());
    EXPECT_EQ(Entries(containers), (QStringList{"Default", "Bulk"}));
    EXPECT_EQ(Entries(tables), (QStringList{"Default", "Wholesale"}));
    EXPECT_EQ(containers->itemData(0).toInt(), doc.GetDefaultContainerID());
    EXPECT_EQ(containers->itemData(1).toInt(), bulkID);
    EXPECT_EQ(tables->itemData(0).toInt(), doc.GetDefaultDiscTableID());
    EXPECT_EQ(tables->itemData(1).toInt(), wholesaleID);
    EXPECT_EQ(containers->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(tables->currentText(), QStringLiteral("Default"));
    EXPECT_FALSE(dlg.ContainerListChanged());
    EXPECT_FALSE(dlg.DiscTableChanged());

    CStoreRecord second = Store();
    second.ContainerID = bulkID;
    second.DiscTableID = wholesaleID;
    CStoreInfoDlg other(second, &doc, 3, true);
    EXPECT_EQ(Find<QComboBox>(other, "comboContainerList")->currentText(), QStringLiteral("Bulk"));
    EXPECT_EQ(Find<QComboBox>(other, "comboDiscTable")->currentText(), QStringLiteral("Wholesale"));
    EXPECT_FALSE(other.ContainerListChanged());
    EXPECT_FALSE(other.DiscTableChanged());
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(StoreInfoDlg, ShowsAndReturnsEveryField) {
    const CStoreRecord original = Store();
    {
        CStoreInfoDlg dlg(original, &doc, 0, true);
        ASSERT_TRUE(Open(dlg));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Store Info Dialog"));
        EXPECT_EQ(Edit(dlg, "editStoreTabName")->text(), original.StoreTabName);
        EXPECT_EQ(Edit(dlg, "editStoreName")->text(), original.StoreName);
        EXPECT_EQ(Edit(dlg, "editAddress1")->text(), original.Address1);
        EXPECT_EQ(Edit(dlg, "editAddress2")->text(), original.Address2);
        EXPECT_EQ(Edit(dlg, "editCity")->text(), original.City);
        EXPECT_EQ(Edit(dlg, "editState")->text(), original.State);
        EXPECT_EQ(Edit(dlg, "editZip")->text(), original.Zip);
        EXPECT_EQ(Edit(dlg, "editPhone")->text(), original.Phone);
        EXPECT_EQ(Edit(dlg, "editPhone2")->text(), original.Phone2);
        EXPECT_EQ(Edit(dlg, "editFax")->text(), original.Fax);
        EXPECT_EQ(Edit(dlg, "editComment")->text(), original.Comment);
        EXPECT_EQ(Edit(dlg, "editShippingCost")->text(), QStringLiteral("$ 0.01"));
        EXPECT_TRUE(Find<QCheckBox>(dlg, "checkTrackInventory")->isChecked());
        // Passing through the cost without typing keeps it as it was.
        Enter(Edit(dlg, "editShippingCost"));
        Enter(Edit(dlg, "editCity"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const CStoreRecord& r = dlg.Record();
        EXPECT_EQ(r.ID, original.ID);
        EXPECT_EQ(r.ContainerID, original.ContainerID);
        EXPECT_EQ(r.DiscTableID, original.DiscTableID);
        EXPECT_EQ(r.ShippingCost, original.ShippingCost);
        EXPECT_EQ(r.StoreTabName, original.StoreTabName);
        EXPECT_EQ(r.StoreName, original.StoreName);
        EXPECT_EQ(r.Address1, original.Address1);
        EXPECT_EQ(r.Address2, original.Address2);
        EXPECT_EQ(r.City, original.City);
        EXPECT_EQ(r.State, original.State);
        EXPECT_EQ(r.Zip, original.Zip);
        EXPECT_EQ(r.Phone, original.Phone);
        EXPECT_EQ(r.Phone2, original.Phone2);
        EXPECT_EQ(r.Fax, original.Fax);
        EXPECT_EQ(r.Comment, original.Comment);
        EXPECT_EQ(r.TrackStockQty, 1);
    }
    {
        CStoreInfoDlg dlg(original, &doc, 0, true);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editStoreTabName"), QStringLiteral("Depot"));
        EnterAndType(Edit(dlg, "editStoreName"), QStringLiteral("North Depot"));
        EnterAndType(Edit(dlg, "editAddress1"), QStringLiteral("9 Mill Rd"));
        EnterAndType(Edit(dlg, "editAddress2"), QStringLiteral("Dock B"));
        EnterAndType(Edit(dlg, "editCity"), QStringLiteral("Concord"));
        EnterAndType(Edit(dlg, "editState"), QStringLiteral("MA"));
        EnterAndType(Edit(dlg, "editZip"), QStringLiteral("01742"));
        EnterAndType(Edit(dlg, "editPhone"), QStringLiteral("978-1"));
        EnterAndType(Edit(dlg, "editPhone2"), QStringLiteral("978-2"));
        EnterAndType(Edit(dlg, "editFax"), QStringLiteral("978-3"));
        EnterAndType(Edit(dlg, "editComment"), QStringLiteral("closed Mondays"));
        EnterAndType(Edit(dlg, "editShippingCost"), QStringLiteral("1.255"));
        Click(Find<QCheckBox>(dlg, "checkTrackInventory"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const CStoreRecord& r = dlg.Record();
        EXPECT_EQ(r.StoreTabName, QStringLiteral("Depot"));
        EXPECT_EQ(r.StoreName, QStringLiteral("North Depot"));
        EXPECT_EQ(r.Address1, QStringLiteral("9 Mill Rd"));
        EXPECT_EQ(r.Address2, QStringLiteral("Dock B"));
        EXPECT_EQ(r.City, QStringLiteral("Concord"));
        EXPECT_EQ(r.State, QStringLiteral("MA"));
        EXPECT_EQ(r.Zip, QStringLiteral("01742"));
        EXPECT_EQ(r.Phone, QStringLiteral("978-1"));
        EXPECT_EQ(r.Phone2, QStringLiteral("978-2"));
        EXPECT_EQ(r.Fax, QStringLiteral("978-3"));
        EXPECT_EQ(r.Comment, QStringLiteral("closed Mondays"));
        EXPECT_EQ(r.ShippingCost, 1.255); // kept as typed, not rounded
        EXPECT_EQ(r.TrackStockQty, 0);
        EXPECT_EQ(r.ContainerID, original.ContainerID);
        EXPECT_EQ(r.DiscTableID, original.DiscTableID);
    }
}

TEST_F(StoreInfoDlg, TextLongerThanItsColumnCannotBeTyped) {
    struct Field {
        const char* name;
        int size;
    };
    const Field fields[] = {{"editStoreTabName", 100}, {"editStoreName", 100}, {"editAddress1", 100},
                            {"editAddress2", 100},     {"editCity", 100},      {"editState", 50},
                            {"editZip", 20},           {"editPhone", 50},      {"editPhone2", 50},
                            {"editFax", 50},           {"editComment", 255}};
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    for (const Field& f : fields) {
        EnterAndType(Edit(dlg, f.name), QString(f.size + 3, QLatin1Char('y')));
        EXPECT_EQ(Edit(dlg, f.name)->text().size(), f.size) << f.name;
    }
}

TEST_F(StoreInfoDlg, ShippingCostIsReadWhenTheFieldIsLeft) {
    struct Case {
        const char* typed;
        const char* shown;
        double cost;
    };
    const Case cases[] = {{"-2", "$ 0.00", 0.0},    {"3.456", "$ 3.46", 3.456}, {"abc", "$ 0.00", 0.0},
                          {"$3", "$ 0.00", 0.0},    {"12.5 lb", "$12.50", 12.5}, {"0.25", "$ 0.25", 0.25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CStoreInfoDlg dlg(Store(), &doc, 0, true);
        ASSERT_TRUE(Open(dlg));
        QLineEdit* cost = Edit(dlg, "editShippingCost");
        EnterAndType(cost, QString::fromLatin1(c.typed));
        EXPECT_EQ(cost->text(), QString::fromLatin1(c.typed));
        Key(Qt::Key_Tab);
        EXPECT_EQ(cost->text(), QString::fromLatin1(c.shown));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_DOUBLE_EQ(dlg.Record().ShippingCost, c.cost);
    }
    // Still in the field when Ctrl+Enter is pressed.
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    EnterAndType(Edit(dlg, "editShippingCost"), QStringLiteral("-2"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().ShippingCost, 0.0);
    EXPECT_EQ(Edit(dlg, "editShippingCost")->text(), QStringLiteral("$ 0.00"));
}

TEST_F(StoreInfoDlg, ANewListIsTakenWithoutAskingWhenTheStoreHasNoItems) {
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    ChooseBelow(Find<QComboBox>(dlg, "comboContainerList"));
    EXPECT_EQ(Find<QComboBox>(dlg, "comboContainerList")->currentText(), QStringLiteral("Bulk"));
    EXPECT_TRUE(dlg.ContainerListChanged());
    EXPECT_FALSE(dlg.DiscTableChanged());
    ChooseBelow(Find<QComboBox>(dlg, "comboDiscTable"));
    EXPECT_TRUE(dlg.DiscTableChanged());
    EXPECT_TRUE(prompter.m_shown.isEmpty());
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().ContainerID, bulkID);
    EXPECT_EQ(dlg.Record().DiscTableID, wholesaleID);
}

TEST_F(StoreInfoDlg, ANewListIsAskedAboutWhenTheStoreHasItems) {
    struct Case {
        const char* combo;
        const QString& warning;
        bool (CStoreInfoDlg::*changed)() const;
        int CStoreRecord::*field;
    };
    const Case cases[] = {
        {"comboContainerList", kContainerWarning, &CStoreInfoDlg::ContainerListChanged, &CStoreRecord::ContainerID},
        {"comboDiscTable", kDiscountWarning, &CStoreInfoDlg::DiscTableChanged, &CStoreRecord::DiscTableID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combo);
        const CStoreRecord original = Store();
        prompter.m_shown.clear();
        prompter.m_buttons.clear();
        prompter.m_defaults.clear();
        CStoreInfoDlg dlg(original, &doc, 4, true);
        ASSERT_TRUE(Open(dlg));
        auto* combo = Find<QComboBox>(dlg, c.combo);

        // No: the previous entry comes back and nothing is changed.
        prompter.Expect(c.warning, CPrompter::Answer::No);
        ChooseBelow(combo);
        EXPECT_TRUE(prompter.AllAnswered());
        ASSERT_EQ(prompter.m_shown.size(), 1);
        EXPECT_EQ(prompter.m_buttons[0], CPrompter::Buttons::YesNo);
        EXPECT_EQ(prompter.m_defaults[0], CPrompter::Answer::No);
        EXPECT_EQ(combo->currentIndex(), 0);
        EXPECT_FALSE((dlg.*c.changed)());

        // Yes: the new entry stays.
        prompter.Expect(c.warning, CPrompter::Answer::Yes);
        ChooseBelow(combo);
        EXPECT_TRUE(prompter.AllAnswered());
        EXPECT_EQ(combo->currentIndex(), 1);
        EXPECT_TRUE((dlg.*c.changed)());

        // Moving back is a change too, and asked about again.
        prompter.Expect(c.warning, CPrompter::Answer::No);
        ChooseAbove(combo);
        EXPECT_EQ(combo->currentIndex(), 1);
        EXPECT_EQ(prompter.m_shown.size(), 3);
        EXPECT_TRUE(prompter.m_unexpected.isEmpty());

        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().*c.field, combo->itemData(1).toInt());
    }
}

TEST_F(StoreInfoDlg, RefusedChangeKeepsTheStoresOwnIDs) {
    CStoreInfoDlg dlg(Store(), &doc, 1, true);
    ASSERT_TRUE(Open(dlg));
    prompter.Expect(kContainerWarning, CPrompter::Answer::No);
    prompter.Expect(kDiscountWarning, CPrompter::Answer::No);
    ChooseBelow(Find<QComboBox>(dlg, "comboContainerList"));
    ChooseBelow(Find<QComboBox>(dlg, "comboDiscTable"));
    EXPECT_TRUE(prompter.AllAnswered());
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().ContainerID, doc.GetDefaultContainerID());
    EXPECT_EQ(dlg.Record().DiscTableID, doc.GetDefaultDiscTableID());
    EXPECT_FALSE(dlg.ContainerListChanged());
    EXPECT_FALSE(dlg.DiscTableChanged());
}

TEST_F(StoreInfoDlg, ListButtonsAskForTheirDialogsOnlyWhenTheProjectHasStores) {
    {
        CStoreInfoDlg dlg(Store(), &doc, 0, false);
        ASSERT_TRUE(Open(dlg));
        EXPECT_FALSE(Find<QPushButton>(dlg, "buttonContainers")->isEnabled());
        EXPECT_FALSE(Find<QPushButton>(dlg, "buttonDiscTables")->isEnabled());
        EXPECT_EQ(Find<QPushButton>(dlg, "buttonContainers")->text(), QStringLiteral("Containers..."));
        EXPECT_EQ(Find<QPushButton>(dlg, "buttonDiscTables")->text(), QStringLiteral("Disc. Tables..."));
    }
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    int containers = 0;
    int tables = 0;
    QObject::connect(&dlg, &CStoreInfoDlg::containersRequested, [&] { ++containers; });
    QObject::connect(&dlg, &CStoreInfoDlg::discountTablesRequested, [&] { ++tables; });
    Click(Find<QPushButton>(dlg, "buttonContainers"));
    EXPECT_EQ(containers, 1);
    EXPECT_EQ(tables, 0);
    Click(Find<QPushButton>(dlg, "buttonDiscTables"));
    EXPECT_EQ(tables, 1);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(StoreInfoDlg, RefillListsShowsEditedNamesAndKeepsTheChosenEntries) {
    CStoreInfoDlg dlg(Store(), &doc, 0, true);
    ASSERT_TRUE(Open(dlg));
    auto* containers = Find<QComboBox>(dlg, "comboContainerList");
    auto* tables = Find<QComboBox>(dlg, "comboDiscTable");
    ChooseBelow(containers); // Bulk
    QObject::connect(&dlg, &CStoreInfoDlg::containersRequested, [&] {
        // What the container lists' dialog would do: rename one list and add another.
        ASSERT_EQ(doc.GetPtrContainerNamesList()->PutItem(bulkID, QStringLiteral("Bulk goods")), 1);
        ASSERT_NE(doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Crates")), -1);
        ASSERT_NE(doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Staff")), -1);
        dlg.RefillLists();
    });
    Click(Find<QPushButton>(dlg, "buttonContainers"));
    EXPECT_EQ(Entries(containers), (QStringList{"Default", "Bulk goods", "Crates"}));
    EXPECT_EQ(Entries(tables), (QStringList{"Default", "Wholesale", "Staff"}));
    EXPECT_EQ(containers->currentText(), QStringLiteral("Bulk goods"));
    EXPECT_EQ(tables->currentText(), QStringLiteral("Default"));
    EXPECT_TRUE(dlg.ContainerListChanged());
    EXPECT_FALSE(dlg.DiscTableChanged());
    // The refilled list still guards its choice.
    ChooseBelow(containers);
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dlg.Record().ContainerID, containers->itemData(2).toInt());
}

TEST_F(StoreInfoDlg, KeysFollowTheEditingConvention) {
    {
        CStoreInfoDlg dlg(Store(), &doc, 0, true);
        ASSERT_TRUE(Open(dlg));
        for (const char* name : {"editStoreTabName", "editShippingCost", "editComment"}) {
            QLineEdit* edit = Edit(dlg, name);
            Enter(edit);
            EXPECT_EQ(edit->selectedText(), edit->text()) << name;
            Key(Qt::Key_Return);
            EXPECT_TRUE(dlg.isVisible()) << name;
        }
        Enter(Find<QComboBox>(dlg, "comboContainerList"));
        Key(Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        Enter(Edit(dlg, "editCity"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    {
        CStoreInfoDlg dlg(Store(), &doc, 0, true);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editStoreName"), QStringLiteral("Changed"));
        Key(Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_FALSE(dlg.isVisible());
    }
}
