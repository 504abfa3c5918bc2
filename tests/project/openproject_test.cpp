// Opening, verifying, sharing and closing project files, with the bad files a user may pick.
#include "db/database.h"
#include "db/recordset.h"
#include "project/quorvanedoc.h"
#include "projectfixture.h"
#include "scriptedprompter.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class ProjectFile : public ProjectFixture {
protected:
    static void RawExec(const QString& path, const char* sql) {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &h), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(h, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
        sqlite3_close(h);
    }

    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ProjectFile, OpenReadsTheRowAndTheCountersAndCloseResetsThem) {
    const QString path = Create(QStringLiteral("p"));
    ASSERT_TRUE(doc.OpenProject(path));
    EXPECT_TRUE(doc.IsDatabaseOpen());
    EXPECT_EQ(doc.GetDescription(), QStringLiteral("desc p"));
    EXPECT_EQ(doc.GetHighWaterStoreID(), 2);
    EXPECT_EQ(doc.GetHighWaterDaoStringListID(), 86);
    EXPECT_EQ(doc.GetDefaultDiscTableID(), 1);
    EXPECT_EQ(doc.GetDefaultContainerID(), 2);

    doc.IncrementCustomerID();
    doc.IncrementCustomerID();
    doc.SetInvoiceNbr(50);
    doc.SetBarPosition(222);
    doc.OnToggleVerifyDelete();
    doc.SetDescription(QString(400, QLatin1Char('x')));
    doc.OnFileCloseProject();
    EXPECT_FALSE(doc.IsDatabaseOpen());
    EXPECT_EQ(doc.GetHighWaterCustomerID(), 1);
    EXPECT_EQ(doc.GetHighWaterInvoiceNbr(), 1);
    EXPECT_TRUE(doc.IsVerifyOn());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Untitled"));

    ASSERT_TRUE(doc.OpenProject(path));
    EXPECT_EQ(doc.GetHighWaterCustomerID(), 3);
    EXPECT_EQ(doc.GetHighWaterInvoiceNbr(), 50);
    EXPECT_EQ(doc.GetBarPosition(), 222);
    EXPECT_FALSE(doc.IsVerifyOn());
    EXPECT_EQ(doc.GetDescription(), QString(255, QLatin1Char('x')));
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(ProjectFile, ColumnLayoutsSurviveReopening) {
    const QString path = Create(QStringLiteral("cols"));
    ASSERT_TRUE(doc.OpenProject(path));
    doc.OnFileCloseProject();
    db::Database file;
    file.open(path, true);
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [ColumnDefs]"));
    EXPECT_EQ(rs.recordCount(), 75); // rewritten in place, not appended
}

TEST_F(ProjectFile, OtherVersionsAreRefused) {
    const QString path = Create(QStringLiteral("v"));
    for (const char* sql : {"UPDATE Project SET Version = 1001", "UPDATE Project SET Version = 1003"}) {
        RawExec(path, sql);
        prompter.m_shown.clear();
        EXPECT_FALSE(doc.DoOpenProject(path));
        EXPECT_EQ(prompter.m_shown,
                  (QStringList{"Unrecognized project file version!", "Failed to open project."}));
        EXPECT_FALSE(doc.IsProjectOpen());
    }
}

TEST_F(ProjectFile, BadFilesFailWithAMessageAndLeaveNothingOpen) {
    const QString text = folder.path(QStringLiteral("notes.qvp"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'z'));
    }
    const QString empty = folder.path(QStringLiteral("empty.qvp"));
    {
        db::Database d;
        d.create(empty);
        d.createTable(db::TableDef{QStringLiteral("Other"), {{QStringLiteral("ID"), db::Type::Long, 0}}});
    }
    const QString readOnly = Create(QStringLiteral("ro"));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const bool runningAsRoot = QFileInfo(readOnly).isWritable(); // root may write anyway

    std::vector<QString> bad{text, empty, folder.path(QStringLiteral("missing.qvp")),
                             folder.path(QStringLiteral("no/such/folder/p.qvp"))};
    if (!runningAsRoot) bad.push_back(readOnly);
    for (const QString& path : bad) {
        prompter.m_shown.clear();
        const QByteArray before = Bytes(path);
        EXPECT_FALSE(doc.DoOpenProject(path)) << path.toStdString();
        EXPECT_EQ(prompter.m_shown, QStringList{QStringLiteral("Failed to open project.")});
        EXPECT_FALSE(doc.IsProjectOpen());
        EXPECT_EQ(Bytes(path), before) << "a failed open must not change the file";
    }
}

TEST_F(ProjectFile, ANewProjectNeverReplacesAnExistingFileNorLeavesAHalfMadeOne) {
    const QString existing = folder.path(QStringLiteral("keep.qvp"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    CQuorvaneDoc::NewProjectRequest request;
    request.path = existing;
    EXPECT_FALSE(doc.CreateNewProject(request));
    EXPECT_EQ(prompter.m_shown, QStringList{QStringLiteral("Failed to create new project.")});
    EXPECT_EQ(Bytes(existing), QByteArray("precious"));

    prompter.m_shown.clear();
    request.path = folder.path(QStringLiteral("nowhere/p"));
    EXPECT_FALSE(doc.CreateNewProject(request));
    EXPECT_EQ(prompter.m_shown, QStringList{QStringLiteral("Failed to create new project.")});
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("nowhere"))));
    EXPECT_FALSE(doc.IsProjectOpen());
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files), QStringList{QStringLiteral("keep.qvp")});
}

TEST_F(ProjectFile, ASharedProjectKeepsOnlyTheUsersRowAndColumnsInTheUsersFile) {
    const QString shared = Create(QStringLiteral("shared"));
    const QString user = Create(QStringLiteral("user"), shared);
    {
        db::Database file;
        file.open(user, true);
        EXPECT_EQ(file.tableNames(), (QStringList{"Project", "ColumnDefs"}));
    }
    ASSERT_TRUE(doc.OpenProject(user));
    EXPECT_TRUE(doc.IsShared());
    EXPECT_EQ(doc.GetSharedFileSpec(), shared);
    EXPECT_EQ(doc.GetDescription(), QStringLiteral("desc user")); // the user's own values
    EXPECT_EQ(doc.GetPtrDatabase()->path(), shared);
    EXPECT_NE(doc.GetPtrColumnDefs(), nullptr);
    doc.SetBarPosition(300);
    doc.OnFileCloseProject();

    // The user's layouts went to the user's file, the bar position too; the shared file is untouched.
    db::Database u;
    u.open(user, true);
    db::Recordset cols(u);
    cols.open(QStringLiteral("select * from [ColumnDefs]"));
    EXPECT_EQ(cols.recordCount(), 20 + 27 + 9 + 19);
    db::Recordset row(u);
    row.open(QStringLiteral("select * from [Project]"));
    EXPECT_EQ(row.intValue(QStringLiteral("BarPosition")), 300);
    db::Database s;
    s.open(shared, true);
    db::Recordset srow(s);
    srow.open(QStringLiteral("select * from [Project]"));
    EXPECT_EQ(srow.intValue(QStringLiteral("BarPosition")), 380);
}

TEST_F(ProjectFile, ASharedProjectNeedsItsSharedFile) {
    CQuorvaneDoc::NewProjectRequest request;
    request.path = folder.path(QStringLiteral("user"));
    request.share = true;
    request.sharedFile = folder.path(QStringLiteral("absent.qvp"));
    EXPECT_FALSE(doc.CreateNewProject(request));
    EXPECT_EQ(prompter.m_shown, QStringList{QStringLiteral("Failed to find file:\n\n%1").arg(request.sharedFile)});
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("user.qvp"))));

    // A shared file that is not a project.
    prompter.m_shown.clear();
    request.sharedFile = folder.path(QStringLiteral("junk.qvp"));
    {
        QFile f(request.sharedFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'j'));
    }
    EXPECT_FALSE(doc.CreateNewProject(request));
    EXPECT_EQ(prompter.m_shown, (QStringList{QStringLiteral("Failed to open shared database:\n\n%1").arg(request.sharedFile),
                                             QStringLiteral("Failed to create new project.")}));
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("user.qvp"))));
}

TEST_F(ProjectFile, AMovedSharedFileIsLocatedAndTheNextOpenSucceeds) {
    const QString shared = Create(QStringLiteral("shared"));
    const QString user = Create(QStringLiteral("user"), shared);
    const QString moved = folder.path(QStringLiteral("moved.qvp"));
    ASSERT_TRUE(QFile::rename(shared, moved));

    prompter.Expect(QStringLiteral("Failed to find file:\n\n%1\n\nDo you want to locate it now?").arg(shared),
                    CPrompter::Answer::Yes);
    prompter.ExpectFile(moved);
    EXPECT_FALSE(doc.OpenProject(user)); // fails once, by design
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(prompter.m_unexpected.isEmpty());
    ASSERT_EQ(prompter.m_fileRequests.size(), 1u);
    EXPECT_EQ(prompter.m_fileRequests[0].defaultExt, QStringLiteral("qvp"));

    ASSERT_TRUE(doc.OpenProject(user));
    EXPECT_EQ(doc.GetSharedFileSpec(), moved);
    doc.OnFileCloseProject();

    // Answering No leaves the file as it was.
    ASSERT_TRUE(QFile::rename(moved, shared + QStringLiteral(".gone")));
    prompter.Expect(QStringLiteral("Failed to find file:\n\n%1\n\nDo you want to locate it now?").arg(moved),
                    CPrompter::Answer::No);
    EXPECT_FALSE(doc.OpenProject(user));
    EXPECT_TRUE(prompter.AllAnswered());
}

} // namespace
