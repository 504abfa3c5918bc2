#include "database.h"

#include "recordset.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <sqlite3.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif

namespace db {

namespace {

// Hidden key of every table: never reused after a delete, so a recordset that still holds
// a deleted key can never land on a newer row. It is also the natural (insertion) order.
const char* const kRowKey = "qv_rowkey";

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// NFS, SMB/CIFS, FUSE (sshfs and the like), AFS, Ceph, 9p: file systems whose locks and
// shared memory cannot be trusted across hosts.
bool onNetworkFileSystem(const QString& path) {
#ifdef __linux__
    struct statfs fs {};
    if (statfs(QFileInfo(path).absolutePath().toLocal8Bit().constData(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x5346414FUL: // AFS
    case 0x00C36400UL: // Ceph
    case 0x01021997UL: // 9p
        return true;
    default: return false;
    }
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

struct Database::Cache {
    QHash<QString, sqlite3_stmt*> statements;
    QSet<QString> indexed;
};

Database::Database() : m_cache(std::make_unique<Cache>()), m_recordsets(std::make_shared<Recordsets>()) {}

Database::~Database() {
    try {
        close();
    } catch (...) {
    }
}

[[noreturn]] void Database::raise(const QString& context) const {
    QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("Database is not open.");
    if (!context.isEmpty()) msg = context + QStringLiteral(": ") + msg;
    throw Error(msg);
}

void Database::create(const QString& path, Journal journal) {
    if (isOpen()) throw Error(QStringLiteral("A database is already open."));
    const QFileInfo info(path);
    if (info.exists()) throw Error(QStringLiteral("Database already exists."));
    if (!info.absoluteDir().exists())
        throw Error(QStringLiteral("Cannot create '%1': the folder does not exist.").arg(path));
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
        sqlite3_close_v2(handle);
        throw Error(QStringLiteral("Cannot create '%1': %2").arg(path, msg));
    }
    m_db = handle;
    m_path = path;
    m_readOnly = false;
    try {
        configure(journal);
    } catch (...) {
        close();
        QFile::remove(path);
        throw;
    }
}

void Database::open(const QString& path, bool readOnly, Journal journal) {
    if (isOpen()) throw Error(QStringLiteral("A database is already open."));
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        throw Error(QStringLiteral("Could not find file '%1'.").arg(path));
    if (info.size() == 0) // SQLite would take it for a new database and write into it
        throw Error(QStringLiteral("'%1' is not a database file.").arg(path));
    // The permission bits too: a privileged user may write anyway, but the file is marked read-only.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!readOnly && (!info.isWritable() || !(info.permissions() & anyWrite)))
        throw Error(QStringLiteral("The file '%1' is read-only.").arg(path));
    sqlite3* handle = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
        sqlite3_close_v2(handle);
        throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, msg));
    }
    m_db = handle;
    m_path = path;
    m_readOnly = readOnly;
    // Before the first read: a file another program holds locked is waited for, not refused.
    sqlite3_busy_timeout(m_db, 5000);
    try {
        // SQLite opens lazily; reading the schema is what tells a database from other files.
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr) !=
                SQLITE_OK ||
            sqlite3_step(st) != SQLITE_ROW) {
            const int code = sqlite3_errcode(m_db);
            sqlite3_finalize(st);
            if (code == SQLITE_NOTADB)
                throw Error(QStringLiteral("'%1' is not a database file.").arg(path));
            raise(QStringLiteral("Cannot open '%1'").arg(path));
        }
        sqlite3_finalize(st);
        if (!readOnly && sqlite3_db_readonly(m_db, "main") == 1)
            throw Error(QStringLiteral("The file '%1' is read-only.").arg(path));
        configure(journal);
    } catch (...) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_path.clear();
        throw;
    }
}

void Database::configure(Journal journal) {
    sqlite3_busy_timeout(m_db, 5000);
    sqlite3_extended_result_codes(m_db, 1);
    if (m_readOnly) return;
    // Full sync: a change that has returned survives a crash. On one host a write-ahead log
    // makes a commit one sync instead of several; a shared file keeps the rollback journal.
    const bool wal = journal == Journal::Local && !onNetworkFileSystem(m_path);
    exec(wal ? QStringLiteral("PRAGMA journal_mode=WAL") : QStringLiteral("PRAGMA journal_mode=DELETE"));
    exec(QStringLiteral("PRAGMA synchronous=FULL"));
}

QString Database::journalMode() const {
    if (!m_db) return {};
    sqlite3_stmt* st = nullptr;
    QString mode;
    if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        mode = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).toLower();
    sqlite3_finalize(st);
    return mode;
}

void Database::finalizeCache() {
    for (sqlite3_stmt* st : std::as_const(m_cache->statements)) sqlite3_finalize(st);
    m_cache->statements.clear();
    m_cache->indexed.clear();
}

void Database::close() {
    if (!m_db) return;
    finalizeCache();
    if (!m_readOnly) {
        if (m_transDepth > 0) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        // Back to a rollback journal so the closed file stands alone and opens read-only
        // anywhere; fails harmlessly while other users still hold a shared file.
        sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (m_transDepth > 0)
        for (Recordset* rs : std::vector<Recordset*>(m_recordsets->list)) rs->transactionEnded(0, false);
    m_transDepth = 0;
    m_path.clear();
    ++m_generation;
}

sqlite3_stmt* Database::prepareCached(const QString& sql) {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    auto it = m_cache->statements.find(sql);
    if (it != m_cache->statements.end()) {
        sqlite3_reset(it.value());
        sqlite3_clear_bindings(it.value());
        return it.value();
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                           &st, nullptr) != SQLITE_OK)
        raise();
    m_cache->statements.insert(sql, st);
    return st;
}

void Database::exec(const QString& sql) {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
        sqlite3_free(err);
        throw Error(msg);
    }
}

QStringList Database::tableNames() const {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    QStringList names;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT name FROM sqlite_master WHERE type='table' AND "
                           "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                           -1, &st, nullptr) != SQLITE_OK)
        raise();
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return names;
}

bool Database::hasTable(const QString& name) const {
    const QStringList names = tableNames();
    return names.contains(name, Qt::CaseInsensitive);
}

TableDef Database::tableDef(const QString& name) const {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    TableDef def;
    const QString sql = QStringLiteral("PRAGMA table_info(%1)").arg(quoted(name));
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) raise();
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString field =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        if (field == QLatin1String(kRowKey)) continue;
        const QString declared =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        FieldDef f;
        f.name = field;
        if (!parseDeclaredType(declared, f.type, f.size)) {
            // A table this program did not make: take the nearest engine type.
            const QString d = declared.toUpper();
            if (d.contains(QLatin1String("INT"))) f.type = Type::Long;
            else if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("TEXT")) ||
                     d.contains(QLatin1String("CLOB")) || d.isEmpty()) {
                f.type = Type::Text;
                f.size = 255;
            } else f.type = Type::Double;
        }
        def.fields.push_back(f);
    }
    sqlite3_finalize(st);
    if (def.fields.empty()) throw Error(QStringLiteral("Table '%1' does not exist.").arg(name));
    def.name = name;
    return def;
}

void Database::createTable(const TableDef& def) {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    if (def.name.trimmed().isEmpty() || def.fields.empty())
        throw Error(QStringLiteral("A table needs a name and at least one field."));
    if (hasTable(def.name))
        throw Error(QStringLiteral("Table '%1' already exists.").arg(def.name));
    QStringList columns;
    columns << QStringLiteral("%1 INTEGER PRIMARY KEY AUTOINCREMENT").arg(quoted(kRowKey));
    for (const FieldDef& f : def.fields) columns << quoted(f.name) + QLatin1Char(' ') + declaredType(f);
    exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(def.name), columns.join(QStringLiteral(", "))));
    for (const FieldDef& f : def.fields)
        if (f.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) ensureIndex(def.name, f.name);
    ++m_generation;
}

void Database::ensureIndex(const QString& table, const QString& field) {
    if (!m_db || m_readOnly) return;
    const QString key = table.toLower() + QLatin1Char('\x1f') + field.toLower();
    if (m_cache->indexed.contains(key)) return;
    bool text = false;
    for (const FieldDef& f : tableDef(table).fields)
        if (f.name.compare(field, Qt::CaseInsensitive) == 0) text = f.type == Type::Text;
    const QString name = QStringLiteral("qvix_%1_%2").arg(table, field);
    const QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2(%3%4)")
                            .arg(quoted(name), quoted(table), quoted(field),
                                 text ? QStringLiteral(" COLLATE NOCASE") : QString());
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK &&
        m_transDepth == 0)
        m_cache->indexed.insert(key); // inside a transaction it may yet be rolled back
}

std::int64_t Database::maxValue(const QString& table, const QString& field) {
    sqlite3_stmt* st = prepareCached(QStringLiteral("SELECT max(CAST(%1 AS INTEGER)) FROM %2")
                                         .arg(quoted(field), quoted(table)));
    const int rc = sqlite3_step(st);
    const std::int64_t value = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) raise();
    return value;
}

void Database::beginTrans() {
    if (!m_db) throw Error(QStringLiteral("Database is not open."));
    if (m_transDepth == 0) {
        exec(QStringLiteral("BEGIN IMMEDIATE"));
        ++m_transSerial;
    } else {
        exec(QStringLiteral("SAVEPOINT qv_sp%1").arg(m_transDepth));
    }
    ++m_transDepth;
    for (Recordset* rs : m_recordsets->list) rs->transactionBegun(m_transDepth);
}

void Database::commitTrans() {
    if (m_transDepth <= 0) throw Error(QStringLiteral("No transaction is open."));
    if (m_transDepth == 1) exec(QStringLiteral("COMMIT"));
    else exec(QStringLiteral("RELEASE qv_sp%1").arg(m_transDepth - 1));
    --m_transDepth;
    for (Recordset* rs : m_recordsets->list) rs->transactionEnded(m_transDepth, true);
}

void Database::rollback() {
    if (m_transDepth <= 0) throw Error(QStringLiteral("No transaction is open."));
    --m_transDepth;
    ++m_generation;
    // The recordsets return to their rows even when the engine reports an error here.
    struct Restore {
        Database& db;
        ~Restore() {
            for (Recordset* rs : std::vector<Recordset*>(db.m_recordsets->list))
                rs->transactionEnded(db.m_transDepth, false);
        }
    } restore{*this};
    if (m_transDepth == 0) exec(QStringLiteral("ROLLBACK"));
    else exec(QStringLiteral("ROLLBACK TO qv_sp%1; RELEASE qv_sp%1").arg(m_transDepth));
}

} // namespace db
