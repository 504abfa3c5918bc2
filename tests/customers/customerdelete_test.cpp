// Deleting customers with their invoices and lines, and the customer queries, on real windows.
#include "listharness.h"

#include "db/recordset.h"
#include "userinput.h"

#include <QPushButton>
#include <sqlite3.h>

namespace {

// Fills the customer dialog like a person would and presses OK.
std::function<int(QDialog&)> FillCustomer(const QString& name, const QString& number,
                                          const QString& taxRate) {
    return [=](QDialog& dlg) {
        if (!Open(dlg))
            return int(QDialog::Rejected);
        TypeAndLeave(Find<QLineEdit>(dlg, "editName"), name);
        TypeAndLeave(Find<QLineEdit>(dlg, "editCustomerNbr"), number);
        TypeAndLeave(Find<QLineEdit>(dlg, "editTaxRate"), taxRate);
        Click(Find<QPushButton>(dlg, "IDOK"));
        return dlg.result();
    };
}

// Alice (ID 1, number 10, tax 5 %) with invoices 1 and 2 of two lines each; Bob (ID 2, number
// 20, tax 8 %) with invoice 3 of one line.
class Shop {
public:
    Shop() {
        h.NewProject();
        AddCustomer(QStringLiteral("Alice"), QStringLiteral("10"), QStringLiteral("5"));
        AddCustomer(QStringLiteral("Bob"), QStringLiteral("20"), QStringLiteral("8"));
        AddInvoice(1, 1, 100.0, 40.0);
        AddInvoice(2, 1, 50.0, 0.0);
        AddInvoice(3, 2, 70.0, 0.0);
        const int lineInvoice[] = {1, 1, 2, 2, 3};
        db::Recordset lines(*h.doc.GetPtrDatabase());
        lines.open(QStringLiteral("select * from [InvoiceItems]"));
        for (int id = 1; id <= 5; ++id) {
            lines.addNew();
            lines.setValue(QStringLiteral("ID"), id);
            lines.setValue(QStringLiteral("InvoiceID"), lineInvoice[id - 1]);
            lines.update();
        }
        SelectCustomer(0);
    }

    void AddCustomer(const QString& name, const QString& number, const QString& taxRate) {
        h.prompter.ExpectDialog(FillCustomer(name, number, taxRate));
        h.customers->OnEditAddItem();
    }
    void AddInvoice(int id, int customerID, double total, double paid) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [Invoice]"));
        rs.addNew();
        rs.setValue(QStringLiteral("ID"), id);
        rs.setValue(QStringLiteral("CustomerID"), customerID);
        rs.setValue(QStringLiteral("InvoiceNumber"), id);
        rs.setValue(QStringLiteral("InvoiceTotal"), total);
        rs.setValue(QStringLiteral("AmountPaid"), paid);
        rs.update();
    }
    // Clicks the customer's row, which shows its invoices.
    void SelectCustomer(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect cell = h.customers->visualRect(h.customers->Model()->index(row, 0));
        QTest::mouseClick(h.customers->viewport(), Qt::LeftButton, modifiers, cell.center());
        Settle();
    }
    // Answers Yes to the question; then expects the message that tells why it failed, if any.
    void PressDelete(const QString& question, const QString& failure = QString()) {
        h.prompter.Expect(question, CPrompter::Answer::Yes);
        if (!failure.isEmpty())
            h.prompter.Expect(failure);
        h.customers->setFocus();
        QTest::keyClick(h.customers, Qt::Key_Delete);
        Settle();
    }
    void Exec(const char* sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(h.doc.GetPtrDatabase()->handle(), sql, nullptr, nullptr, &error),
                  SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
    }
    // The IDs stored in a table, in order.
    std::vector<int> StoredIDs(const char* table) {
        db::Recordset rs(*h.doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [%1]").arg(QLatin1String(table)));
        std::vector<int> ids;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            ids.push_back(rs.intValue(QStringLiteral("ID")));
        return ids;
    }
    void ExpectNothingDeleted() {
        EXPECT_EQ(StoredIDs("Customer"), (std::vector<int>{1, 2}));
        EXPECT_EQ(StoredIDs("Invoice"), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(StoredIDs("InvoiceItems"), (std::vector<int>{1, 2, 3, 4, 5}));
        EXPECT_EQ(h.customers->GetItemCount(), 2);
    }

    ListHarness h;
};

// Refuses to let any statement read Invoice.CustomerID, so that the filtered requery fails.
int DenyInvoiceCustomerID(void*, int action, const char* table, const char* column, const char*,
                          const char*) {
    const bool denied = action == SQLITE_READ && table && column &&
                        qstrcmp(table, "Invoice") == 0 && qstrcmp(column, "CustomerID") == 0;
    return denied ? SQLITE_DENY : SQLITE_OK;
}

TEST(CustomerDelete, AFailedDeleteOfAnInvoiceALineOrTheCustomerDeletesNothingAndSaysSo) {
    struct Case {
        const char* table;
        int lockedID;
    };
    for (const Case& c : {Case{"Invoice", 2}, Case{"InvoiceItems", 4}, Case{"Customer", 1}}) {
        SCOPED_TRACE(c.table);
        Shop shop;
        ListHarness& h = shop.h;
        shop.Exec(QStringLiteral("CREATE TRIGGER locked BEFORE DELETE ON [%1] WHEN old.ID = %2 "
                                 "BEGIN SELECT RAISE(ABORT, 'Row is locked'); END")
                      .arg(QLatin1String(c.table))
                      .arg(c.lockedID)
                      .toUtf8()
                      .constData());
        shop.PressDelete(QStringLiteral("Delete Customer Record?"),
                         QStringLiteral("Row is locked"));
        EXPECT_TRUE(h.prompter.AllAnswered());
        EXPECT_TRUE(h.prompter.m_unexpected.isEmpty())
            << h.prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
        shop.ExpectNothingDeleted();
        // Alice stays selected and her invoices are shown again.
        EXPECT_EQ(h.customers->GetCurrentID(), 1);
        EXPECT_EQ(h.customers->GetCustomerNumber(), 10);
        EXPECT_EQ(h.invoices->GetItemCount(), 2);

        // Unlocked, the delete takes Alice, her invoices and their lines, and nothing of Bob's.
        shop.Exec("DROP TRIGGER locked");
        shop.PressDelete(QStringLiteral("Delete Customer Record?"));
        EXPECT_EQ(shop.StoredIDs("Customer"), (std::vector<int>{2}));
        EXPECT_EQ(shop.StoredIDs("Invoice"), (std::vector<int>{3}));
        EXPECT_EQ(shop.StoredIDs("InvoiceItems"), (std::vector<int>{5}));
        ASSERT_EQ(h.customers->GetItemCount(), 1);
        EXPECT_EQ(h.customers->GetCurrentID(), 2);
        EXPECT_EQ(h.invoices->GetItemCount(), 1);
    }
}

TEST(CustomerDelete, AFailedRequeryOfTheCustomersInvoicesDeletesNothing) {
    Shop shop;
    ListHarness& h = shop.h;
    sqlite3_set_authorizer(h.doc.GetPtrDatabase()->handle(), DenyInvoiceCustomerID, nullptr);
    shop.PressDelete(QStringLiteral("Delete Customer Record?"));
    sqlite3_set_authorizer(h.doc.GetPtrDatabase()->handle(), nullptr, nullptr);
    shop.ExpectNothingDeleted();
    ASSERT_EQ(h.prompter.m_shown.size(), 2); // the question, then why it failed
    EXPECT_TRUE(h.prompter.m_shown[1].contains(QStringLiteral("CustomerID")))
        << h.prompter.m_shown[1].toStdString();
    shop.SelectCustomer(1);
    shop.SelectCustomer(0);
    EXPECT_EQ(h.invoices->GetItemCount(), 2);
}

// Relies on a rollback giving every open recordset back the rows it deleted.
TEST(CustomerDelete, DeletingSeveralIsOneTransaction) {
    Shop shop;
    ListHarness& h = shop.h;
    shop.Exec("CREATE TRIGGER locked BEFORE DELETE ON [Invoice] WHEN old.ID = 3 "
              "BEGIN SELECT RAISE(ABORT, 'Row is locked'); END");
    shop.SelectCustomer(1, Qt::ControlModifier);
    ASSERT_EQ(h.customers->GetSelectedCount(), 2);
    shop.PressDelete(QStringLiteral("Delete all selected records?"),
                     QStringLiteral("Row is locked"));
    EXPECT_TRUE(h.prompter.AllAnswered());
    shop.ExpectNothingDeleted();
    shop.SelectCustomer(0);
    EXPECT_EQ(h.customers->GetCustomerNumber(), 10);
    EXPECT_EQ(h.invoices->GetItemCount(), 2);
    shop.SelectCustomer(1);
    EXPECT_EQ(h.customers->GetCustomerNumber(), 20);
    EXPECT_EQ(h.invoices->GetItemCount(), 1);
}

TEST(CustomerQueries, AskingForACustomerByNumberLeavesTheSelectedCustomerCurrent) {
    Shop shop;
    ListHarness& h = shop.h;
    ASSERT_EQ(h.customers->GetCurrentID(), 1);
    EXPECT_EQ(h.customers->GetCustomerIDFromCustomerNumber(20), 2);
    EXPECT_EQ(h.customers->GetCustomerIDFromCustomerNumber(99), -1);
    EXPECT_EQ(h.customers->GetCustomerID(), 1);
    EXPECT_EQ(h.customers->GetCustomerNumber(), 10);
    EXPECT_DOUBLE_EQ(h.customers->GetCustomerDefTaxRate(), 0.05);

    // An invoice change refreshes the selected customer's totals, not the one just found.
    EXPECT_EQ(h.customers->GetCustomerIDFromCustomerNumber(20), 2);
    h.invoices->UpdateCustomerRecord();
    db::Recordset rs(*h.doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Customer]"));
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 1")));
    EXPECT_EQ(rs.intValue(QStringLiteral("InvoiceCnt")), 2);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("BalanceDue")), 110.0);
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    EXPECT_EQ(rs.intValue(QStringLiteral("InvoiceCnt")), 0);
    EXPECT_DOUBLE_EQ(rs.doubleValue(QStringLiteral("BalanceDue")), 0.0);
}

TEST(CustomerNumbers, NumberZeroIsRefusedSoTheValidationKeepsTheCustomer) {
    Shop shop;
    ListHarness& h = shop.h;
    h.prompter.Expect(QStringLiteral("The customer number cannot be 0."));
    h.prompter.ExpectDialog([](QDialog& dlg) {
        if (!Open(dlg))
            return int(QDialog::Rejected);
        TypeAndLeave(Find<QLineEdit>(dlg, "editCustomerNbr"), QStringLiteral("0"));
        Click(Find<QPushButton>(dlg, "IDOK"));
        EXPECT_TRUE(dlg.isVisible());
        dlg.reject(); // the user gives up
        return dlg.result();
    });
    const QRect alice = h.customers->visualRect(h.customers->Model()->index(0, 0));
    QTest::mouseDClick(h.customers->viewport(), Qt::LeftButton, Qt::NoModifier, alice.center());
    Settle();
    EXPECT_TRUE(h.prompter.AllAnswered());
    h.customers->ValidateAllRecords();
    shop.ExpectNothingDeleted();
    EXPECT_EQ(h.customers->GetCustomerNumber(), 10);
}

} // namespace

namespace {

// An imported customer without a number is removed by the validation with its invoices and
// their lines, never leaving invoices of no customer.
TEST(CustomerNumbers, TheValidationRemovesACustomerWithoutANumberWithItsInvoices) {
    Shop shop;
    shop.Exec("UPDATE Customer SET CustomerNbr = 0 WHERE ID = 2");
    shop.h.customers->ValidateAllRecords();
    EXPECT_EQ(shop.StoredIDs("Customer"), (std::vector<int>{1}));
    EXPECT_EQ(shop.StoredIDs("Invoice"), (std::vector<int>{1, 2}));
    EXPECT_EQ(shop.StoredIDs("InvoiceItems"), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(shop.h.customers->GetItemCount(), 1);
}

} // namespace
