// The customer list on real windows: adding, editing and deleting through the dialogs.
#include "listharness.h"

#include "db/recordset.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Fills the customer dialog like a person would and presses OK.
std::function<int(QDialog&)> FillCustomer(const QString& name, const QString& number = QString(),
                                          const QString& taxRate = QString(), bool taxable = false) {
    return [=](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Customer Info Dialog"));
        dlg.show();
        auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("editName"));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, name);
        if (!number.isEmpty()) {
            auto* nbr = dlg.findChild<QLineEdit*>(QStringLiteral("editCustomerNbr"));
            nbr->setText(number);
        }
        if (!taxRate.isEmpty()) {
            auto* tax = dlg.findChild<QLineEdit*>(QStringLiteral("editTaxRate"));
            tax->setFocus();
            tax->selectAll();
            QTest::keyClicks(tax, taxRate);
            dlg.findChild<QLineEdit*>(QStringLiteral("editName"))->setFocus(); // leaves the rate
        }
        if (taxable) dlg.findChild<QCheckBox*>(QStringLiteral("checkTaxable"))->setChecked(true);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    };
}

std::function<int(QDialog&)> CancelDialog() {
    return [](QDialog&) { return int(QDialog::Rejected); };
}

class CustomerList : public ::testing::Test {
protected:
    ListHarness h;
    void SetUp() override { h.NewProject(); }

    void Add(const QString& name, const QString& number = QString()) {
        h.prompter.ExpectDialog(FillCustomer(name, number));
        h.customers->OnEditAddItem();
    }
    int StoredCustomers() {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Customer]"));
        return int(rs.recordCount());
    }
};

TEST_F(CustomerList, AddingThroughTheDialogStoresTheRowAndAdvancesTheCounters) {
    h.prompter.ExpectDialog(FillCustomer(QStringLiteral("Alice"), QString(), QStringLiteral("7.5"), true));
    h.customers->OnEditAddItem();
    ASSERT_EQ(h.customers->GetItemCount(), 1);
    EXPECT_EQ(h.customers->GetItemText(0, 0), QStringLiteral("Alice"));
    EXPECT_EQ(h.customers->GetItemText(0, 2), QStringLiteral("Y")); // "Tax" column
    EXPECT_EQ(h.customers->GetCurrentID(), 1);
    EXPECT_EQ(h.doc.GetHighWaterCustomerID(), 2);
    EXPECT_EQ(h.doc.GetHighWaterCustomerNbr(), 2);
    EXPECT_DOUBLE_EQ(h.customers->GetCustomerDefTaxRate(), 0.075);
    EXPECT_TRUE(h.customers->IsTaxable());

    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Customer]"));
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.textValue(QStringLiteral("City")), QStringLiteral(" ")); // empty texts stored as a blank
    EXPECT_EQ(rs.intValue(QStringLiteral("CustomerNbr")), 1);

    // A number typed above the counter moves it past that number.
    Add(QStringLiteral("Bob"), QStringLiteral("50"));
    EXPECT_EQ(h.doc.GetHighWaterCustomerNbr(), 51);
    EXPECT_EQ(h.doc.GetHighWaterCustomerID(), 3);
    EXPECT_TRUE(h.prompter.AllAnswered());
}

TEST_F(CustomerList, CancellingTheDialogChangesNothing) {
    h.prompter.ExpectDialog(CancelDialog());
    h.customers->OnEditAddItem();
    EXPECT_EQ(h.customers->GetItemCount(), 0);
    EXPECT_EQ(StoredCustomers(), 0);
    EXPECT_EQ(h.doc.GetHighWaterCustomerID(), 1);
    EXPECT_EQ(h.doc.GetHighWaterCustomerNbr(), 1);
}

TEST_F(CustomerList, EditingRewritesTheRowAndANumberBelowTheCounterLeavesIt) {
    Add(QStringLiteral("Alice"));
    Add(QStringLiteral("Bob"));
    h.customers->SelectOnly(0);
    h.prompter.ExpectDialog(FillCustomer(QStringLiteral("Alicia"), QStringLiteral("7")));
    h.customers->OnEditItem();
    EXPECT_EQ(h.customers->GetItemText(0, 0), QStringLiteral("Alicia"));
    EXPECT_EQ(h.doc.GetHighWaterCustomerNbr(), 8);
    h.prompter.ExpectDialog(FillCustomer(QStringLiteral("Alicia"), QStringLiteral("2")));
    h.customers->OnEditItem();
    EXPECT_EQ(h.doc.GetHighWaterCustomerNbr(), 8);
    EXPECT_EQ(h.customers->GetCustomerIDFromCustomerNumber(2), 1);
    EXPECT_EQ(h.customers->GetCustomerName(2), QStringLiteral("Bob"));
    EXPECT_EQ(h.customers->GetCustomerName(99), QStringLiteral(" "));
}

TEST_F(CustomerList, DeletingAsksWhileVerifyDeleteIsOn) {
    Add(QStringLiteral("Alice"));
    Add(QStringLiteral("Bob"));
    Add(QStringLiteral("Carol"));
    h.customers->SelectOnly(1);
    h.prompter.Expect(QStringLiteral("Delete Customer Record?"), CPrompter::Answer::No);
    h.customers->OnEditDelItem();
    EXPECT_EQ(h.customers->GetItemCount(), 3);
    ASSERT_FALSE(h.prompter.m_defaults.empty());
    EXPECT_EQ(h.prompter.m_defaults.back(), CPrompter::Answer::No);
    EXPECT_EQ(h.prompter.m_buttons.back(), CPrompter::Buttons::YesNo);

    h.prompter.Expect(QStringLiteral("Delete Customer Record?"), CPrompter::Answer::Yes);
    h.customers->OnEditDelItem();
    EXPECT_EQ(h.customers->GetItemCount(), 2);
    EXPECT_EQ(StoredCustomers(), 2);
    EXPECT_NE(h.customers->GetCurrentID(), -1);

    h.doc.OnToggleVerifyDelete();
    const size_t asked = h.prompter.m_shown.size();
    h.customers->SelectOnly(0);
    h.customers->OnEditDelItem();
    EXPECT_EQ(h.prompter.m_shown.size(), asked); // no question
    EXPECT_EQ(h.customers->GetItemCount(), 1);
    EXPECT_EQ(h.customers->GetItemText(0, 0), QStringLiteral("Carol"));
}

TEST_F(CustomerList, DeletingSeveralAsksOnceAndDeletesAllSelected) {
    for (const char* n : {"A", "B", "C", "D"}) Add(QString::fromLatin1(n));
    h.customers->SelectOnly(0);
    h.customers->ClickRow(2, Qt::ShiftModifier);
    ASSERT_EQ(h.customers->GetSelectedCount(), 3);
    h.prompter.Expect(QStringLiteral("Delete all selected records?"), CPrompter::Answer::Yes);
    h.customers->OnEditDelItem();
    EXPECT_TRUE(h.prompter.AllAnswered());
    ASSERT_EQ(h.customers->GetItemCount(), 1);
    EXPECT_EQ(h.customers->GetItemText(0, 0), QStringLiteral("D"));
    EXPECT_EQ(StoredCustomers(), 1);
}

TEST_F(CustomerList, ValidationDropsNumberZeroAndWarnsOfDuplicates) {
    Add(QStringLiteral("A"), QStringLiteral("7"));
    Add(QStringLiteral("B"), QStringLiteral("7"));
    Add(QStringLiteral("C"), QStringLiteral("0"));
    h.customers->ValidateAllRecords();
    EXPECT_EQ(StoredCustomers(), 2);
    EXPECT_TRUE(h.customers->HasDuplicateNumbers());
    EXPECT_EQ(h.prompter.m_shown.last(),
              QStringLiteral("WARNING!\n\nMore than one customer has\nthe same customer number.\n"
                             "Invoices will be assigned to\nthe first customer found."));
}

TEST_F(CustomerList, CellsFollowTheirFormats) {
    Add(QStringLiteral("Alice"));
    db::Recordset& rs = *h.customers->GetPtrRecordset();
    ASSERT_TRUE(h.customers->ActivateRecordInRecordset(1));
    rs.edit();
    rs.setValue(QStringLiteral("BalanceDue"), 12.3);
    rs.setValue(QStringLiteral("TaxRate"), 0.0825);
    rs.setValue(QStringLiteral("PriceChoice"), 2);
    rs.update();
    EXPECT_EQ(CCustomerListCtrl::CellTextOf(rs, 11), QStringLiteral("$   12.30"));
    EXPECT_EQ(CCustomerListCtrl::CellTextOf(rs, 13), QStringLiteral(" 8.25%"));
    EXPECT_EQ(CCustomerListCtrl::CellTextOf(rs, 17), QStringLiteral("Markup"));
    EXPECT_EQ(CCustomerListCtrl::CellTextOf(rs, 14), QStringLiteral(" "));
    rs.edit();
    rs.setValue(QStringLiteral("BalanceDue"), 1234.5);
    rs.update();
    EXPECT_EQ(CCustomerListCtrl::CellTextOf(rs, 11), QStringLiteral("$ 1234.50"));
}

TEST_F(CustomerList, RowsComeBackAfterReopening) {
    Add(QStringLiteral("Alice"));
    Add(QStringLiteral("Bob"));
    const QString path = h.doc.GetPathName();
    h.doc.OnFileCloseProject();
    EXPECT_EQ(h.customers->GetItemCount(), 0);
    ASSERT_TRUE(h.doc.OpenProject(path));
    ASSERT_EQ(h.customers->GetItemCount(), 2);
    EXPECT_EQ(h.customers->GetItemText(1, 0), QStringLiteral("Bob"));
    EXPECT_EQ(h.doc.GetHighWaterCustomerID(), 3);
}

} // namespace

namespace {

TEST_F(CustomerList, EditingSeveralChangesOnlyTheTickedFieldsOfTheSelectedCustomers) {
    Add(QStringLiteral("A"));
    Add(QStringLiteral("B"));
    Add(QStringLiteral("C"));
    h.customers->SelectOnly(0);
    h.customers->ClickRow(2, Qt::ControlModifier);
    h.prompter.ExpectDialog([](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Customer: Multi-Edit Dialog"));
        dlg.show();
        dlg.findChild<QCheckBox*>(QStringLiteral("checkCity"))->setChecked(true);
        dlg.findChild<QLineEdit*>(QStringLiteral("editCity"))->setText(QStringLiteral("Rivertown"));
        QTest::mouseClick(dlg.findChild<QCheckBox*>(QStringLiteral("checkTaxable")), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        return dlg.result();
    });
    h.customers->OnEditItem();
    EXPECT_TRUE(h.prompter.AllAnswered());
    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Customer]"));
    QStringList cities;
    std::vector<int> taxable;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        cities << rs.textValue(QStringLiteral("City"));
        taxable.push_back(rs.intValue(QStringLiteral("Taxable")));
    }
    EXPECT_EQ(cities, (QStringList{"Rivertown", " ", "Rivertown"}));
    EXPECT_EQ(taxable, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(h.customers->GetItemText(0, 2), QStringLiteral("Y")); // the rows show it at once
}

} // namespace
