#include "dbtesthelpers.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <thread>

using namespace dbtest;

namespace {

QString DescriptionOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const db::Error& e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

TEST(DbFile, CreateRefusesExistingFilesAndMissingFolders) {
    TempFolder folder;
    const QString existing = folder.path(QStringLiteral("existing.qdb"));
    {
        db::Database database;
        database.create(existing);
        database.createTable(ItemTable());
    }
    const QString text = folder.path(QStringLiteral("notes.txt"));
    WriteFile(text, "keep me\n");
    const QByteArray before = ReadFile(existing);

    db::Database database;
    EXPECT_EQ(DescriptionOf([&] { database.create(existing); }),
              QStringLiteral("Database already exists."));
    EXPECT_EQ(DescriptionOf([&] { database.create(text); }),
              QStringLiteral("Database already exists."));
    EXPECT_EQ(DescriptionOf([&] { database.create(folder.root()); }),
              QStringLiteral("Database already exists."));
    EXPECT_FALSE(database.isOpen());
    EXPECT_EQ(ReadFile(text), QByteArray("keep me\n"));
    EXPECT_EQ(ReadFile(existing), before);

    EXPECT_THROW(database.create(folder.path(QStringLiteral("no/such/folder/x.qdb"))), db::Error);
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("no"))));
    EXPECT_FALSE(database.isOpen());

    // The refusals leave the object usable.
    database.create(folder.path(QStringLiteral("fresh.qdb")));
    EXPECT_TRUE(database.isOpen());
    EXPECT_TRUE(database.tableNames().isEmpty());
    EXPECT_THROW(database.create(folder.path(QStringLiteral("second.qdb"))), db::Error);
    EXPECT_THROW(database.open(existing), db::Error);
    EXPECT_EQ(database.path(), folder.path(QStringLiteral("fresh.qdb")));
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("second.qdb"))));

    // A database closed before it has any table is still a database.
    database.close();
    database.open(folder.path(QStringLiteral("fresh.qdb")));
    EXPECT_TRUE(database.isOpen());
    EXPECT_TRUE(database.tableNames().isEmpty());
}

TEST(DbFile, OpenRefusesWhatIsNotAWritableDatabase) {
    TempFolder folder;
    db::Database database;
    const QString missing = folder.path(QStringLiteral("missing.qdb"));
    EXPECT_THROW(database.open(missing), db::Error);
    EXPECT_THROW(database.open(missing, true), db::Error);
    EXPECT_FALSE(QFileInfo::exists(missing)) << "opening must not create the file";
    EXPECT_THROW(database.open(folder.root()), db::Error);

    const QString text = folder.path(QStringLiteral("notes.txt"));
    WriteFile(text, QByteArray("This is a plain text file, not a database.\n").repeated(100));
    const QByteArray textBefore = ReadFile(text);
    EXPECT_THROW(database.open(text), db::Error);
    EXPECT_THROW(database.open(text, true), db::Error);
    EXPECT_EQ(ReadFile(text), textBefore);

    const QString empty = folder.path(QStringLiteral("empty.qdb"));
    WriteFile(empty, QByteArray());
    EXPECT_THROW(database.open(empty), db::Error);
    EXPECT_EQ(QFileInfo(empty).size(), 0) << "a refused file is left as it was";
    EXPECT_FALSE(database.isOpen());

    // A read-only file: refused for writing, fine for reading, and writes are refused.
    const QString locked = folder.path(QStringLiteral("locked.qdb"));
    {
        db::Database maker;
        maker.create(locked);
        maker.createTable(ItemTable());
        db::Recordset rs(maker);
        rs.open(QStringLiteral("select * from Item"));
        AddItem(rs, 1, QStringLiteral("one"));
    }
    ASSERT_TRUE(
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_TRUE(
        DescriptionOf([&] { database.open(locked); }).contains(QStringLiteral("read-only")));
    EXPECT_FALSE(database.isOpen());
    database.open(locked, true);
    EXPECT_TRUE(database.isReadOnly());
    {
        db::Recordset rs(database);
        rs.open(QStringLiteral("select * from Item"));
        EXPECT_EQ(WalkIds(rs), std::vector<int>({1}));
        rs.addNew();
        rs.setValue(QStringLiteral("ID"), 2);
        EXPECT_THROW(rs.update(), db::Error);
        rs.moveFirst();
        EXPECT_THROW(rs.remove(), db::Error);
        EXPECT_TRUE(rs.findFirst(QStringLiteral("ItemName = 'ONE'")));
    }
    EXPECT_THROW(database.createTable(ItemTable(QStringLiteral("Other"))), db::Error);
    database.close();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(RawCount(locked, QStringLiteral("Item")), 1);
}

// A closed database is one file, whether it was created, written in and out of transactions,
// closed with a transaction open, or only read.
TEST(DbFile, ClosedDatabaseLeavesNoFileBesideIt) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("single.qdb"));
    const QStringList alone{QStringLiteral("single.qdb")};
    {
        db::Database database;
        database.create(path);
        database.createTable(ItemTable());
        db::Recordset rs(database);
        rs.open(QStringLiteral("select * from Item"));
        AddItem(rs, 1, QStringLiteral("one"));
        EXPECT_TRUE(rs.findFirst(QStringLiteral("[Group] = 0"))); // may build an index
        database.beginTrans();
        AddItem(rs, 2, QStringLiteral("two"));
        database.commitTrans();
        rs.close();
        database.close();
        EXPECT_EQ(FilesIn(folder.root()), alone);
    }
    {
        db::Database database;
        database.open(path);
        db::Recordset rs(database);
        rs.open(QStringLiteral("select * from Item"));
        database.beginTrans();
        AddItem(rs, 3, QStringLiteral("three"));
        // Left to the destructor, transaction still open.
    }
    EXPECT_EQ(FilesIn(folder.root()), alone);
    {
        db::Database database;
        database.open(path, true);
        db::Recordset rs(database);
        rs.open(QStringLiteral("select * from Item"));
        EXPECT_EQ(WalkIds(rs), std::vector<int>({1, 2}));
    }
    EXPECT_EQ(FilesIn(folder.root()), alone);

    // The single file holds everything: a copy of it alone opens with all rows.
    const QString copy = folder.path(QStringLiteral("copy.qdb"));
    ASSERT_TRUE(QFile::copy(path, copy));
    EXPECT_EQ(RawCount(copy, QStringLiteral("Item")), 2);
    EXPECT_EQ(RawQuery(copy, "PRAGMA integrity_check"),
              std::vector<QString>({QStringLiteral("ok")}));
}

// A file another program holds locked is waited for: the open succeeds once the lock goes.
TEST(DbFile, OpenWaitsForAFileAnotherProgramHoldsLocked) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("locked.qdb"));
    {
        db::Database database;
        database.create(path);
        database.createTable(ItemTable());
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread holder([raw] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    });
    db::Database database;
    EXPECT_EQ(DescriptionOf([&] { database.open(path); }), QStringLiteral("(no error)"));
    holder.join();
    sqlite3_close(raw);
}

// A write-ahead log needs every user on one host: a shared file keeps the rollback journal.
TEST(DbFile, SharedFilesKeepARollbackJournal) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("shared.qdb"));
    {
        db::Database database;
        database.create(path, db::Journal::Shared);
        EXPECT_EQ(database.journalMode(), QStringLiteral("delete"));
        database.createTable(ItemTable());
    }
    db::Database database;
    database.open(path, false, db::Journal::Shared);
    EXPECT_EQ(database.journalMode(), QStringLiteral("delete"));
    EXPECT_EQ(RawQuery(path, "PRAGMA journal_mode"), std::vector<QString>({QStringLiteral("delete")}));
    database.close();
    database.open(path);
    EXPECT_EQ(database.journalMode(), QStringLiteral("wal")) << "one user on a local disk";
}
