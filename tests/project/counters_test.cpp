// The identifier counters when two documents hold one file, after a crash left rows above the
// counters, at the top of the 32-bit range, and across a refused file.
#include "db/database.h"
#include "db/recordset.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "projectfixture.h"
#include "scriptedprompter.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class Counters : public ProjectFixture {
protected:
    static QString Raw(const QString& path, const char* sql) {
        sqlite3* h = nullptr;
        QString first;
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &h), SQLITE_OK);
        sqlite3_busy_timeout(h, 5000);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(h);
        else if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
            first = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        sqlite3_close(h);
        return first;
    }
};

TEST_F(Counters, TwoDocumentsOnOneFileNeverHandOutAUsedValueNorGoBack) {
    const QString path = Create(QStringLiteral("two"));
    CScriptedPrompter otherPrompter;
    CQuorvaneDoc other(&otherPrompter);
    ASSERT_TRUE(doc.OpenProject(path));
    ASSERT_TRUE(other.OpenProject(path));

    EXPECT_EQ(doc.GetHighWaterCustomerID(), 1);
    doc.IncrementCustomerID();
    EXPECT_EQ(other.GetHighWaterCustomerID(), 2) << "the other document sees the value handed out";
    doc.SetInvoiceNbr(50);
    other.IncrementCustomerID();
    EXPECT_EQ(doc.GetHighWaterCustomerID(), 3);
    EXPECT_EQ(Raw(path, "SELECT HighWaterInvoiceNbr FROM HighWater"), QStringLiteral("50"))
        << "a change of one counter leaves the others in the file alone";
    EXPECT_EQ(other.GetHighWaterInvoiceNbr(), 50);

    // Inside a write transaction the row is read again before the change.
    {
        db::Transaction tx(*other.GetPtrDatabase());
        EXPECT_EQ(other.GetHighWaterStoreItemsID(), 1);
        other.IncrementStoreItemsID();
        other.IncrementStoreItemsID();
        tx.commit();
    }
    doc.IncrementStoreItemsID();
    EXPECT_EQ(Raw(path, "SELECT HighWaterStoreItemsID FROM HighWater"), QStringLiteral("4"));
    other.OnFileCloseProject();
}

TEST_F(Counters, RowsAddedThroughTwoDocumentsGetDistinctIdentifiers) {
    const QString path = Create(QStringLiteral("rows"));
    CScriptedPrompter otherPrompter;
    CQuorvaneDoc other(&otherPrompter);
    ASSERT_TRUE(doc.OpenProject(path));
    ASSERT_TRUE(other.OpenProject(path));
    const int first = doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("first"), 0.1);
    const int second = other.GetPtrLookupTable()->AddItem(1, QStringLiteral("second"), 0.2);
    const int third = doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("third"), 0.3);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(third, second + 1);
    EXPECT_EQ(Raw(path, "SELECT count(DISTINCT ID) FROM Lookup"), Raw(path, "SELECT count(*) FROM Lookup"));
    other.OnFileCloseProject();
}

TEST_F(Counters, OpenRaisesEachCounterAboveTheIdentifiersInItsTables) {
    const QString path = Create(QStringLiteral("crashed"));
    // As after a crash between storing rows and counting them, plus a store table left behind.
    Raw(path, "INSERT INTO Customer (ID, CustomerNbr) VALUES (7, 3)");
    Raw(path, "INSERT INTO StoreItems_1 (ID) VALUES (40)");
    Raw(path, "CREATE TABLE StoreItems_9 (ID INTEGER)");
    Raw(path, "INSERT INTO Invoice (ID, InvoiceGroupID) VALUES (5, 12)");
    Raw(path, "UPDATE HighWater SET HighWaterCustomerID = 1, HighWaterDaoStringListID = 2");

    ASSERT_TRUE(doc.OpenProject(path));
    const CQuorvaneDoc::Counters& held = doc.HeldCounters();
    EXPECT_EQ(held[CQuorvaneDoc::CustomerID], 8);
    EXPECT_EQ(held[CQuorvaneDoc::InvoiceID], 6);
    EXPECT_EQ(held[CQuorvaneDoc::InvoiceGroupID], 13);
    EXPECT_EQ(held[CQuorvaneDoc::StoreItemsID], 41);
    EXPECT_EQ(held[CQuorvaneDoc::StoreID], 10) << "a store table's name is taken too";
    EXPECT_EQ(held[CQuorvaneDoc::DaoStringListID], 86);
    EXPECT_EQ(held[CQuorvaneDoc::CustomerNbr], 1) << "running numbers are the validation's work";
    EXPECT_EQ(Raw(path, "SELECT HighWaterCustomerID FROM HighWater"), QStringLiteral("8")) << "written back";
}

TEST_F(Counters, StopAtTheLargest32BitNumberInsteadOfWrapping) {
    const QString path = Create(QStringLiteral("top"));
    ASSERT_TRUE(doc.OpenProject(path));
    doc.SetCustomerNbr(CQuorvaneDoc::kCounterMax);
    doc.IncrementCustomerNbr();
    EXPECT_EQ(doc.GetHighWaterCustomerNbr(), CQuorvaneDoc::kCounterMax);
    doc.SetInvoiceNbr(10); // a setter never lowers a counter another user may rely on
    doc.SetInvoiceNbr(4);
    EXPECT_EQ(doc.GetHighWaterInvoiceNbr(), 10);
    doc.OnFileCloseProject();
    Raw(path, "INSERT INTO Customer (ID) VALUES (2147483647)");
    ASSERT_TRUE(doc.OpenProject(path));
    EXPECT_EQ(doc.GetHighWaterCustomerID(), CQuorvaneDoc::kCounterMax);
}

TEST_F(Counters, ARefusedFileLeavesNothingInTheNextNewProject) {
    const QString shared = Create(QStringLiteral("data"));
    const QString user = Create(QStringLiteral("user"), shared);
    Raw(shared, "UPDATE Project SET Version = 1003, BarPosition = 123");
    EXPECT_FALSE(doc.DoOpenProject(user));
    EXPECT_EQ(doc.GetProjectVersion(), CQuorvaneDoc::kProjectVersion);

    const QString fresh = Create(QStringLiteral("fresh"));
    EXPECT_EQ(Raw(fresh, "SELECT Version FROM Project"), QStringLiteral("1002"));
    EXPECT_EQ(Raw(fresh, "SELECT BarPosition FROM Project"), QStringLiteral("380"));
    EXPECT_TRUE(doc.OpenProject(fresh));
}

TEST_F(Counters, ASharedProjectsDataFileKeepsARollbackJournal) {
    const QString shared = Create(QStringLiteral("data"));
    const QString user = Create(QStringLiteral("user"), shared);
    ASSERT_TRUE(doc.OpenProject(user));
    EXPECT_EQ(Raw(shared, "PRAGMA journal_mode"), QStringLiteral("delete"));
    doc.IncrementCustomerID();
    EXPECT_EQ(Raw(shared, "SELECT HighWaterCustomerID FROM HighWater"), QStringLiteral("2"));
}

} // namespace
