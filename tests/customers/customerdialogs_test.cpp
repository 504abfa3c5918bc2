// The customer dialogs driven as a user drives them: focus moves, typed keys, clicks.
#include "customers/customerinfodlg.h"
#include "customers/customermultieditdlg.h"
#include "customers/customermultieditrules.h"
#include "scriptedprompter.h"

#include <QApplication>
#include <QCheckBox>
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

CCustomerRecord SampleCustomer() {
    CCustomerRecord r;
    r.ID = 17;
    r.CustomerNbr = 1042;
    r.Name = QStringLiteral("Harbour Supplies");
    r.Address1 = QStringLiteral("12 Quay Road");
    r.Address2 = QStringLiteral("Unit 4");
    r.City = QStringLiteral("Portsmouth");
    r.State = QStringLiteral("NH");
    r.Zip = QStringLiteral("03801");
    r.Phone = QStringLiteral("603-555-0100");
    r.Fax = QStringLiteral("603-555-0101");
    r.Work = QStringLiteral("603-555-0102");
    r.InvoiceCnt = 9;
    r.BalanceDue = 1234.5;
    r.DiscountRate = 0.15;
    r.TaxRate = 0.0825;
    r.Comment = QStringLiteral("Pays on the 1st");
    r.Business = 1;
    r.Taxable = 0;
    r.ShareOrder = 1;
    r.PriceChoice = 1;
    r.UserField1 = QStringLiteral("north");
    r.UserField2 = QStringLiteral("wholesale");
    return r;
}

void ExpectSameCustomer(const CCustomerRecord& a, const CCustomerRecord& b) {
    EXPECT_EQ(a.ID, b.ID);
    EXPECT_EQ(a.CustomerNbr, b.CustomerNbr);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Address1, b.Address1);
    EXPECT_EQ(a.Address2, b.Address2);
    EXPECT_EQ(a.City, b.City);
    EXPECT_EQ(a.State, b.State);
    EXPECT_EQ(a.Zip, b.Zip);
    EXPECT_EQ(a.Phone, b.Phone);
    EXPECT_EQ(a.Fax, b.Fax);
    EXPECT_EQ(a.Work, b.Work);
    EXPECT_EQ(a.InvoiceCnt, b.InvoiceCnt);
    EXPECT_EQ(a.BalanceDue, b.BalanceDue);
    EXPECT_EQ(a.DiscountRate, b.DiscountRate);
    EXPECT_EQ(a.TaxRate, b.TaxRate);
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_EQ(a.Business, b.Business);
    EXPECT_EQ(a.Taxable, b.Taxable);
    EXPECT_EQ(a.ShareOrder, b.ShareOrder);
    EXPECT_EQ(a.PriceChoice, b.PriceChoice);
    EXPECT_EQ(a.UserField1, b.UserField1);
    EXPECT_EQ(a.UserField2, b.UserField2);
}

} // namespace

// ======================================================================== Customer Info Dialog

class CustomerInfoDlg : public ::testing::Test {
protected:
    CScriptedPrompter prompter;
};

TEST_F(CustomerInfoDlg, ShowsTheRecordInItsFormats) {
    CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Customer Info Dialog"));
    EXPECT_EQ(Edit(dlg, "editCustomerNbr")->text(), QStringLiteral("1042"));
    EXPECT_EQ(Edit(dlg, "editName")->text(), QStringLiteral("Harbour Supplies"));
    EXPECT_EQ(Edit(dlg, "editAddress1")->text(), QStringLiteral("12 Quay Road"));
    EXPECT_EQ(Edit(dlg, "editAddress2")->text(), QStringLiteral("Unit 4"));
    EXPECT_EQ(Edit(dlg, "editCity")->text(), QStringLiteral("Portsmouth"));
    EXPECT_EQ(Edit(dlg, "editState")->text(), QStringLiteral("NH"));
    EXPECT_EQ(Edit(dlg, "editZip")->text(), QStringLiteral("03801"));
    EXPECT_EQ(Edit(dlg, "editPhone")->text(), QStringLiteral("603-555-0100"));
    EXPECT_EQ(Edit(dlg, "editFax")->text(), QStringLiteral("603-555-0101"));
    EXPECT_EQ(Edit(dlg, "editWork")->text(), QStringLiteral("603-555-0102"));
    EXPECT_EQ(Edit(dlg, "editUserField1")->text(), QStringLiteral("north"));
    EXPECT_EQ(Edit(dlg, "editUserField2")->text(), QStringLiteral("wholesale"));
    EXPECT_EQ(Edit(dlg, "editComment")->text(), QStringLiteral("Pays on the 1st"));
    EXPECT_EQ(Edit(dlg, "editTaxRate")->text(), QStringLiteral("8.25%"));
    EXPECT_EQ(Edit(dlg, "editDiscountRate")->text(), QStringLiteral("15.0%"));
    EXPECT_EQ(Edit(dlg, "editBalanceDue")->text(), QStringLiteral("$   1234.50"));
    EXPECT_EQ(Edit(dlg, "editInvoiceCnt")->text(), QStringLiteral("9"));
    EXPECT_TRUE(Edit(dlg, "editBalanceDue")->isReadOnly());
    EXPECT_TRUE(Edit(dlg, "editInvoiceCnt")->isReadOnly());
    EXPECT_TRUE(Find<QCheckBox>(dlg, "checkBusiness")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(dlg, "checkTaxable")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(dlg, "checkGroup")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(dlg, "radioPriceBase")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(dlg, "radioPriceDiscount")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(dlg, "radioPriceMarkup")->isChecked());
    EXPECT_EQ(Find<QPushButton>(dlg, "IDOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(Find<QPushButton>(dlg, "IDCANCEL")->text(), QStringLiteral("Cancel"));
}

TEST_F(CustomerInfoDlg, AcceptedUnchangedGivesTheSameRecordBack) {
    CCustomerRecord original = SampleCustomer();
    // Finer than shown: reading the shown texts back would change them.
    original.TaxRate = 0.12345;
    original.DiscountRate = 0.0125;
    CCustomerInfoDlg dlg(original, nullptr, &prompter);
    ASSERT_TRUE(Open(dlg));
    // Passing through the rate fields without typing must not re-read their rounded texts.
    Enter(Edit(dlg, "editTaxRate"));
    Enter(Edit(dlg, "editDiscountRate"));
    Enter(Edit(dlg, "editName"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    ExpectSameCustomer(dlg.Record(), original);
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(CustomerInfoDlg, EveryTypedFieldReachesTheRecord) {
    const CCustomerRecord original = SampleCustomer();
    CCustomerInfoDlg dlg(original, nullptr, &prompter);
    ASSERT_TRUE(Open(dlg));
    EnterAndType(Edit(dlg, "editCustomerNbr"), QStringLiteral("77"));
    EnterAndType(Edit(dlg, "editName"), QStringLiteral("Cove Traders"));
    EnterAndType(Edit(dlg, "editAddress1"), QStringLiteral("1 Main St"));
    EnterAndType(Edit(dlg, "editAddress2"), QStringLiteral("Floor 2"));
    EnterAndType(Edit(dlg, "editCity"), QStringLiteral("Dover"));
    EnterAndType(Edit(dlg, "editState"), QStringLiteral("DE"));
    EnterAndType(Edit(dlg, "editZip"), QStringLiteral("19901"));
    EnterAndType(Edit(dlg, "editPhone"), QStringLiteral("302-1"));
    EnterAndType(Edit(dlg, "editWork"), QStringLiteral("302-2"));
    EnterAndType(Edit(dlg, "editFax"), QStringLiteral("302-3"));
    EnterAndType(Edit(dlg, "editUserField1"), QStringLiteral("south"));
    EnterAndType(Edit(dlg, "editUserField2"), QStringLiteral("retail"));
    EnterAndType(Edit(dlg, "editComment"), QStringLiteral("new terms"));
    EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("6"));
    EnterAndType(Edit(dlg, "editDiscountRate"), QStringLiteral("0.2"));
    Click(Find<QCheckBox>(dlg, "checkBusiness"));
    Click(Find<QCheckBox>(dlg, "checkTaxable"));
    Click(Find<QCheckBox>(dlg, "checkGroup"));
    Click(Find<QRadioButton>(dlg, "radioPriceMarkup"));
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);

    CCustomerRecord expected = original;
    expected.CustomerNbr = 77;
    expected.Name = QStringLiteral("Cove Traders");
    expected.Address1 = QStringLiteral("1 Main St");
    expected.Address2 = QStringLiteral("Floor 2");
    expected.City = QStringLiteral("Dover");
    expected.State = QStringLiteral("DE");
    expected.Zip = QStringLiteral("19901");
    expected.Phone = QStringLiteral("302-1");
    expected.Work = QStringLiteral("302-2");
    expected.Fax = QStringLiteral("302-3");
    expected.UserField1 = QStringLiteral("south");
    expected.UserField2 = QStringLiteral("retail");
    expected.Comment = QStringLiteral("new terms");
    expected.TaxRate = 0.06;
    expected.DiscountRate = 0.2;
    expected.Business = 0;
    expected.Taxable = 1;
    expected.ShareOrder = 0;
    expected.PriceChoice = 2;
    ExpectSameCustomer(dlg.Record(), expected);
}

TEST_F(CustomerInfoDlg, TextLongerThanItsColumnCannotBeTyped) {
    struct Field {
        const char* name;
        int size;
    };
    const Field fields[] = {{"editName", 100},       {"editAddress1", 100},   {"editAddress2", 100},
                            {"editCity", 100},       {"editState", 50},       {"editZip", 20},
                            {"editPhone", 50},       {"editFax", 50},         {"editWork", 50},
                            {"editComment", 255},    {"editUserField1", 200}, {"editUserField2", 200}};
    CCustomerRecord empty;
    empty.CustomerNbr = 1;
    CCustomerInfoDlg dlg(empty, nullptr, &prompter);
    ASSERT_TRUE(Open(dlg));
    for (const Field& f : fields) {
        EnterAndType(Edit(dlg, f.name), QString(f.size + 3, QLatin1Char('x')));
        EXPECT_EQ(Edit(dlg, f.name)->text().size(), f.size) << f.name;
    }
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().Zip.size(), 20);
    EXPECT_EQ(dlg.Record().Comment.size(), 255);
}

TEST_F(CustomerInfoDlg, RatesFollowTheTypedRateRuleWhenTheFieldIsLeft) {
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
        double rate;
    };
    const Case cases[] = {
        {"editTaxRate", "7.5", "7.50%", 0.075},      {"editTaxRate", "0.075", "7.50%", 0.075},
        {"editTaxRate", "5%", "5.00%", 0.05},        {"editTaxRate", "abc", "0.00%", 0.0},
        {"editTaxRate", "0.5", "50.00%", 0.5},       {"editDiscountRate", "-3", "0.0%", 0.0},
        {"editDiscountRate", "12.5", "12.5%", 0.125}, {"editDiscountRate", "0.3", "30.0%", 0.3},
        {"editDiscountRate", "abc", "0.0%", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " typed " + c.typed);
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        QLineEdit* edit = Edit(dlg, c.field);
        EnterAndType(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed)); // not rewritten while typing
        Key(Qt::Key_Tab);
        EXPECT_NE(Focused(), edit);
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const double stored =
            QByteArray(c.field) == "editTaxRate" ? dlg.Record().TaxRate : dlg.Record().DiscountRate;
        EXPECT_DOUBLE_EQ(stored, c.rate);
    }
}

TEST_F(CustomerInfoDlg, ARateStillBeingTypedIsReadOnAccept) {
    {
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("7.5"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_DOUBLE_EQ(dlg.Record().TaxRate, 0.075);
        EXPECT_DOUBLE_EQ(dlg.Record().DiscountRate, 0.15);
    }
    {
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editDiscountRate"), QStringLiteral("-3"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().DiscountRate, 0.0);
        EXPECT_EQ(Edit(dlg, "editDiscountRate")->text(), QStringLiteral("0.0%"));
    }
    {
        // The OK button reached without the edit losing the focus.
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("3"));
        Find<QPushButton>(dlg, "IDOK")->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_DOUBLE_EQ(dlg.Record().TaxRate, 0.03);
    }
}

TEST_F(CustomerInfoDlg, EnterDoesNothingCtrlEnterAcceptsEscapeCancels) {
    {
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        for (const char* name : {"editCustomerNbr", "editName", "editTaxRate", "editComment"}) {
            Enter(Edit(dlg, name));
            Key(Qt::Key_Return);
            Key(Qt::Key_Enter, Qt::KeypadModifier);
            EXPECT_TRUE(dlg.isVisible()) << name;
        }
        Enter(Find<QCheckBox>(dlg, "checkTaxable"));
        Key(Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        Enter(Edit(dlg, "editName"));
        Key(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    {
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        EnterAndType(Edit(dlg, "editName"), QStringLiteral("Changed"));
        Key(Qt::Key_Escape);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    {
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
        ASSERT_TRUE(Open(dlg));
        Click(Find<QPushButton>(dlg, "IDCANCEL"));
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
}

TEST_F(CustomerInfoDlg, EnteringAFieldSelectsAllOfIt) {
    CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &prompter);
    ASSERT_TRUE(Open(dlg));
    Enter(Edit(dlg, "editCity"));
    Key(Qt::Key_Tab); // on to State
    QLineEdit* state = Edit(dlg, "editState");
    ASSERT_EQ(Focused(), state);
    EXPECT_EQ(state->selectedText(), QStringLiteral("NH"));
    for (const char* name : {"editName", "editTaxRate", "editDiscountRate", "editCustomerNbr"}) {
        QLineEdit* edit = Edit(dlg, name);
        Enter(edit);
        EXPECT_EQ(edit->selectedText(), edit->text()) << name;
    }
}

TEST_F(CustomerInfoDlg, RefusesACustomerNumberThatIsNotAWholeNumber) {
    for (const char* typed : {"", "12a", "1.5", "abc", "-2147483649"}) {
        SCOPED_TRACE(typed);
        CScriptedPrompter asked;
        asked.Expect(QStringLiteral("Please enter an integer."));
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &asked);
        ASSERT_TRUE(Open(dlg));
        QLineEdit* number = Edit(dlg, "editCustomerNbr");
        Enter(number);
        Key(Qt::Key_Delete);
        Type(QString::fromLatin1(typed));
        Enter(Edit(dlg, "editName"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_TRUE(asked.AllAnswered());
        EXPECT_EQ(asked.m_shown.size(), 1);
        EXPECT_EQ(Focused(), number);
        // Corrected, it goes through.
        Type(QStringLiteral("2147483646"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().CustomerNbr, 2147483646);
        EXPECT_EQ(asked.m_shown.size(), 1);
    }
}

// 0 marks a row for the validation to remove, and the number counter becomes the number + 1.
TEST_F(CustomerInfoDlg, RefusesNumberZeroAndNumbersTheCounterCannotGoPast) {
    const QString zero = QStringLiteral("The customer number cannot be 0.");
    const QString tooLarge = QStringLiteral("The customer number must be below 2147483647.");
    const struct {
        const char* typed;
        QString message;
    } cases[] = {{"0", zero}, {"-0", zero}, {"000", zero}, {"2147483647", tooLarge},
                 {"+2147483648", tooLarge}, {"99999999999999999999999", tooLarge}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CScriptedPrompter asked;
        asked.Expect(c.message);
        CCustomerInfoDlg dlg(SampleCustomer(), nullptr, &asked);
        ASSERT_TRUE(Open(dlg));
        QLineEdit* number = Edit(dlg, "editCustomerNbr");
        EnterAndType(number, QString::fromLatin1(c.typed));
        Click(Find<QPushButton>(dlg, "IDOK"));
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(asked.AllAnswered());
        EXPECT_EQ(asked.m_shown.size(), 1);
        EXPECT_EQ(Focused(), number);
        EXPECT_EQ(number->selectedText(), number->text());
        // A negative number is a number like any other.
        Type(QStringLiteral("-7"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Record().CustomerNbr, -7);
        EXPECT_EQ(asked.m_shown.size(), 1);
    }
}

TEST_F(CustomerInfoDlg, WithoutAPrompterABadNumberIsRefusedSilently) {
    CCustomerInfoDlg dlg(SampleCustomer());
    ASSERT_TRUE(Open(dlg));
    EnterAndType(Edit(dlg, "editCustomerNbr"), QStringLiteral("x"));
    Click(Find<QPushButton>(dlg, "IDOK"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Focused(), Edit(dlg, "editCustomerNbr"));
    Type(QStringLiteral("-5"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Record().CustomerNbr, -5);
}

TEST_F(CustomerInfoDlg, PriceChoiceSelectsItsRadioAndAnythingElseSelectsBase) {
    const char* radios[] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    for (int stored : {0, 1, 2, 3, -1, 99}) {
        SCOPED_TRACE(stored);
        CCustomerRecord r = SampleCustomer();
        r.PriceChoice = stored;
        CCustomerInfoDlg dlg(r, &prompter, nullptr);
        ASSERT_TRUE(Open(dlg));
        const int shown = stored >= 0 && stored <= 2 ? stored : 0;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Find<QRadioButton>(dlg, radios[i])->isChecked(), i == shown);
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.Record().PriceChoice, shown);
    }
    for (int chosen = 0; chosen < 3; ++chosen) {
        CCustomerRecord r = SampleCustomer();
        r.PriceChoice = (chosen + 1) % 3;
        CCustomerInfoDlg dlg(r, &prompter, nullptr);
        ASSERT_TRUE(Open(dlg));
        Click(Find<QRadioButton>(dlg, radios[chosen]));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dlg.Record().PriceChoice, chosen);
    }
}

// ===================================================================== Customer: Multi-Edit Dialog

TEST(CustomerMultiEditDlg, StartsWithNothingChosen) {
    CCustomerMultiEditDlg dlg(2);
    ASSERT_TRUE(Open(dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Customer: Multi-Edit Dialog"));
    EXPECT_EQ(Edit(dlg, "editDiscountRate")->text(), QStringLiteral(" 0.00%"));
    EXPECT_EQ(Edit(dlg, "editTaxRate")->text(), QStringLiteral(" 0.00%"));
    EXPECT_TRUE(Find<QRadioButton>(dlg, "radioPriceMarkup")->isChecked());
    for (const char* flag : {"checkBusiness", "checkTaxable", "checkGroup"})
        EXPECT_EQ(Find<QCheckBox>(dlg, flag)->checkState(), Qt::PartiallyChecked) << flag;
    // Values typed without ticking their boxes change nothing.
    EnterAndType(Edit(dlg, "editCity"), QStringLiteral("Dover"));
    EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("5"));
    Click(Find<QRadioButton>(dlg, "radioPriceBase"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const CCustomerMultiEdit& c = dlg.Changes();
    EXPECT_FALSE(c.AnyChange());
    EXPECT_EQ(c.business, -1);
    EXPECT_EQ(c.taxable, -1);
    EXPECT_EQ(c.group, -1);
}

TEST(CustomerMultiEditDlg, TickedChangesCarryTheirValues) {
    CCustomerMultiEditDlg dlg(0);
    ASSERT_TRUE(Open(dlg));
    Click(Find<QCheckBox>(dlg, "checkCity"));
    EnterAndType(Edit(dlg, "editCity"), QStringLiteral("Dover"));
    Click(Find<QCheckBox>(dlg, "checkZip"));
    // The zip is left empty on purpose.
    Click(Find<QCheckBox>(dlg, "checkDiscountRate"));
    EnterAndType(Edit(dlg, "editDiscountRate"), QStringLiteral("7.5"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Edit(dlg, "editDiscountRate")->text(), QStringLiteral(" 7.50%"));
    Click(Find<QCheckBox>(dlg, "checkTaxRate"));
    EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("-3"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Edit(dlg, "editTaxRate")->text(), QStringLiteral(" 0.00%"));
    Click(Find<QCheckBox>(dlg, "checkUserField2"));
    EnterAndType(Edit(dlg, "editUserField2"), QStringLiteral("retail"));
    Click(Find<QCheckBox>(dlg, "checkPriceChoice"));
    Click(Find<QRadioButton>(dlg, "radioPriceDiscount"));
    Click(Find<QPushButton>(dlg, "IDOK"));
    ASSERT_EQ(dlg.result(), QDialog::Accepted);

    const CCustomerMultiEdit& c = dlg.Changes();
    EXPECT_TRUE(c.AnyChange());
    EXPECT_TRUE(c.city);
    EXPECT_EQ(c.cityText, QStringLiteral("Dover"));
    EXPECT_FALSE(c.state);
    EXPECT_TRUE(c.zip);
    EXPECT_EQ(c.zipText, QString());
    EXPECT_TRUE(c.discount);
    EXPECT_DOUBLE_EQ(c.discountRate, 0.075);
    EXPECT_TRUE(c.tax);
    EXPECT_EQ(c.taxRate, 0.0);
    EXPECT_FALSE(c.user1);
    EXPECT_TRUE(c.user2);
    EXPECT_EQ(c.user2Text, QStringLiteral("retail"));
    EXPECT_TRUE(c.price);
    EXPECT_EQ(c.priceChoice, 1);
    EXPECT_EQ(c.business, -1);
}

TEST(CustomerMultiEditDlg, ARateStillBeingTypedIsReadOnAccept) {
    CCustomerMultiEditDlg dlg(0);
    ASSERT_TRUE(Open(dlg));
    Click(Find<QCheckBox>(dlg, "checkTaxRate"));
    EnterAndType(Edit(dlg, "editTaxRate"), QStringLiteral("0.0825"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.Changes().tax);
    EXPECT_DOUBLE_EQ(dlg.Changes().taxRate, 0.0825);
}

TEST(CustomerMultiEditDlg, AFlagAppliesOnlyOnceClicked) {
    struct Case {
        int clicks;
        int applied;
    };
    // Undecided -> checked -> unchecked -> undecided again.
    for (const Case& k : {Case{0, -1}, Case{1, 1}, Case{2, 0}, Case{3, -1}}) {
        SCOPED_TRACE(k.clicks);
        CCustomerMultiEditDlg dlg(0);
        ASSERT_TRUE(Open(dlg));
        for (int i = 0; i < k.clicks; ++i) Click(Find<QCheckBox>(dlg, "checkTaxable"));
        Click(Find<QCheckBox>(dlg, "checkGroup"));
        Click(Find<QCheckBox>(dlg, "checkGroup"));
        Key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const CCustomerMultiEdit& c = dlg.Changes();
        EXPECT_EQ(c.taxable, k.applied);
        EXPECT_EQ(c.group, 0);
        EXPECT_EQ(c.business, -1);
        EXPECT_TRUE(c.AnyChange());
    }
}

TEST(CustomerMultiEditDlg, KeysFollowTheEditingConvention) {
    CCustomerMultiEditDlg dlg(1);
    ASSERT_TRUE(Open(dlg));
    Click(Find<QCheckBox>(dlg, "checkState"));
    EnterAndType(Edit(dlg, "editState"), QStringLiteral("ME"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    Enter(Edit(dlg, "editDiscountRate"));
    EXPECT_EQ(Edit(dlg, "editDiscountRate")->selectedText(), QStringLiteral(" 0.00%"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.Changes().AnyChange());
}

TEST(CustomerMultiEditDlg, PriceRadiosStartOnTheActiveChoice) {
    const char* radios[] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    for (int active : {0, 1, 2, 5}) {
        CCustomerMultiEditDlg dlg(active);
        const int shown = active <= 2 ? active : 0;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Find<QRadioButton>(dlg, radios[i])->isChecked(), i == shown) << active;
    }
}

// ======================================================================== ApplyCustomerMultiEdit

TEST(ApplyCustomerMultiEdit, NoChangesLeaveTheCustomerAsItWas) {
    const CCustomerRecord original = SampleCustomer();
    CCustomerRecord r = original;
    CCustomerMultiEdit none;
    none.cityText = QStringLiteral("ignored");
    none.taxRate = 0.5;
    none.priceChoice = 2;
    EXPECT_FALSE(none.AnyChange());
    ApplyCustomerMultiEdit(none, r);
    ExpectSameCustomer(r, original);
}

TEST(ApplyCustomerMultiEdit, ReplacesOnlyTheChosenFields) {
    const CCustomerRecord original = SampleCustomer();
    CCustomerMultiEdit all;
    all.city = all.state = all.zip = all.discount = all.tax = all.user1 = all.user2 = all.price = true;
    all.cityText = QStringLiteral("Bath");
    all.stateText = QStringLiteral("ME");
    all.zipText = QStringLiteral("04530");
    all.user1Text = QStringLiteral("east");
    all.user2Text = QStringLiteral("mail");
    all.discountRate = 0.3;
    all.taxRate = 0.055;
    all.priceChoice = 2;
    all.business = 0;
    all.taxable = 1;
    all.group = 0;
    CCustomerRecord r = original;
    ApplyCustomerMultiEdit(all, r);

    CCustomerRecord expected = original;
    expected.City = QStringLiteral("Bath");
    expected.State = QStringLiteral("ME");
    expected.Zip = QStringLiteral("04530");
    expected.UserField1 = QStringLiteral("east");
    expected.UserField2 = QStringLiteral("mail");
    expected.DiscountRate = 0.3;
    expected.TaxRate = 0.055;
    expected.PriceChoice = 2;
    expected.Business = 0;
    expected.Taxable = 1;
    expected.ShareOrder = 0;
    ExpectSameCustomer(r, expected);

    // One at a time: each switch moves its own field only.
    CCustomerMultiEdit onlyTax;
    onlyTax.tax = true;
    onlyTax.taxRate = 0.01;
    onlyTax.cityText = QStringLiteral("not ticked");
    r = original;
    ApplyCustomerMultiEdit(onlyTax, r);
    expected = original;
    expected.TaxRate = 0.01;
    ExpectSameCustomer(r, expected);

    CCustomerMultiEdit onlyGroup;
    onlyGroup.group = 0;
    r = original;
    ApplyCustomerMultiEdit(onlyGroup, r);
    expected = original;
    expected.ShareOrder = 0;
    ExpectSameCustomer(r, expected);
}

TEST(ApplyCustomerMultiEdit, EmptyTextsAreStoredAsABlank) {
    CCustomerMultiEdit blanks;
    blanks.city = blanks.state = blanks.zip = blanks.user1 = blanks.user2 = true;
    CCustomerRecord r = SampleCustomer();
    ApplyCustomerMultiEdit(blanks, r);
    for (const QString* text : {&r.City, &r.State, &r.Zip, &r.UserField1, &r.UserField2})
        EXPECT_EQ(*text, QStringLiteral(" "));
    EXPECT_EQ(r.Name, SampleCustomer().Name);
}
